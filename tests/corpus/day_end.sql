-- Day end: the eight count checks on both databases, then the branch locks.
GO

-- CheckOnlineRowsTables: Sales
-- on: branch
-- expect-rows: 1
Select count(InvID) from tblSales where InvDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: Sales
-- on: central
-- expect-rows: 1
Select count(InvID) from tblSales where InvDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: SalesItem
-- on: branch
-- expect-rows: 1
Select count(tblSalesItem.invID) from tblSales,tblSalesItem where tblSales.InvID=tblSalesItem.InvID and InvDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: SalesItem
-- on: central
-- expect-rows: 1
Select count(tblSalesItem.invID) from tblSales,tblSalesItem where tblSales.InvID=tblSalesItem.InvID and InvDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: StockJournal
-- on: branch
-- expect-rows: 1
Select count(InvID) from tblStockJournal where InvDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: StockJournal
-- on: central
-- expect-rows: 1
Select count(InvID) from tblStockJournal where InvDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: StockJournalItem
-- on: branch
-- expect-rows: 1
Select count(tblStockJournalDetail.invID) from tblStockJournalDetail,tblStockJournal where tblStockJournalDetail.InvID=tblStockJournal.InvID and InvDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: StockJournalItem
-- on: central
-- expect-rows: 1
Select count(tblStockJournalDetail.invID) from tblStockJournalDetail,tblStockJournal where tblStockJournalDetail.InvID=tblStockJournal.InvID and InvDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: Order
-- on: branch
-- expect-rows: 1
Select count(InvID) from tblOrder where InvDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: Order
-- on: central
-- expect-rows: 1
Select count(InvID) from tblOrder where InvDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: OrderItem
-- on: branch
-- expect-rows: 1
Select count(tblOrder.invID) from tblOrderItem,tblOrder where tblOrderItem.InvID=tblOrder.InvID and InvDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: OrderItem
-- on: central
-- expect-rows: 1
Select count(tblOrder.invID) from tblOrderItem,tblOrder where tblOrderItem.InvID=tblOrder.InvID and InvDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: Notes
-- on: branch
-- expect-rows: 1
Select count(vchID) from tblNotes where VchDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: Notes
-- on: central
-- expect-rows: 1
Select count(vchID) from tblNotes where VchDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: Jobcard
-- on: branch
-- expect-rows: 1
Select count(JobCardID) from tblJobcard where JobCardDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- CheckOnlineRowsTables: Jobcard
-- on: central
-- expect-rows: 1
Select count(JobCardID) from tblJobcard where JobCardDate>='01/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207)
GO

-- lock the branch vouchers
-- on: branch
-- expect-rows: 0
update tblSales set  LockMode=1 where iNVdate <='06/Dec/2026' 
GO

-- lock the branch vouchers
-- on: branch
-- expect-rows: 0
update tblNotes set  LockMode=1 where Vchdate <='06/Dec/2026' 
GO

-- lock the branch vouchers
-- on: branch
-- expect-rows: 0
update tblStockJournal set  LockMode=1 where iNVdate <='06/Dec/2026' 
GO

-- lock the branch vouchers
-- on: branch
-- expect-rows: 0
update tblJobcard set  LockMode=1 where JobCarddate <='06/Dec/2026' 
GO

-- lock the branch vouchers
-- on: branch
-- expect-rows: 0
update tblOrder set  LockMode=1 where iNVdate <='06/Dec/2026' 
GO

-- Day End
-- on: branch
Select count(InvID) from tblSales where InvDate>='07/Dec/2026' and tblSales.CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
Select count(tblSalesItem.InvID) from tblSales,tblSalesItem where tblSales.InvID=tblSalesItem.InvID and InvDate>='07/Dec/2026' and tblSales.CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
Select count(InvID) from tblStockJournal where InvDate>='07/Dec/2026' and tblStockJournal.CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
Select count(tblStockJournalDetail.InvID) from tblStockJournal,tblStockJournalDetail where tblStockJournal.InvID=tblStockJournalDetail.InvID and InvDate>='07/Dec/2026' and tblStockJournal.CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
Select count(InvID) from tblOrder where InvDate>='07/Dec/2026' and tblOrder.CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
Select count(tblOrderItem.InvID) from tblOrder,tblOrderItem where tblOrder.InvID=tblOrderItem.InvID and InvDate>='07/Dec/2026' and tblOrder.CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
Select count(VchID) from tblNotes where VchDate>='07/Dec/2026' and tblNotes.CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
Select count(JobCardID) from tblJobCard where JobCardDate>='07/Dec/2026' and tblJobCard.CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

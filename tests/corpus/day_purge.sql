-- Day Purge (the maintenance page's sales deleter): the working date's vouchers of the branch's cost centre
-- and ticked voucher types are counted and deleted at head office, then every ticked voucher at the branch.
-- prepare: upgrade
GO

-- Day Purge
-- on: branch
Select count(*) from tblSales where 1=1 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: central
Select count(*) from tblSales where InvDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: branch
Select count(*) from tblSalesItem where InvID in (Select InvID from tblSales where 1=1 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: central
Select count(*) from tblSalesItem where InvID in (Select InvID from tblSales where InvDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: branch
Select count(*) from tblNotes where 1=1 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: central
Select count(*) from tblNotes where VchDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: branch
Select count(*) from tblStockJournal where 1=1 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: central
Select count(*) from tblStockJournal where InvDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: branch
Select count(*) from tblStockJournalDetail where InvID in (Select InvID from tblStockJournal where 1=1 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: central
Select count(*) from tblStockJournalDetail where InvID in (Select InvID from tblStockJournal where InvDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: branch
Select count(*) from tblJobCard where 1=1 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: central
Select count(*) from tblJobCard where JobCardDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: branch
Select count(*) from tblJobCardDetail where JobCardID in (Select JobCardID from tblJobCard where 1=1 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: central
Select count(*) from tblJobCardDetail where JobCardID in (Select JobCardID from tblJobCard where JobCardDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: branch
Select count(*) from tblOrder where 1=1 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: central
Select count(*) from tblOrder where InvDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: branch
Select count(*) from tblOrderItem where InvID in (Select InvID from tblOrder where 1=1 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: central
Select count(*) from tblOrderItem where InvID in (Select InvID from tblOrder where InvDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: branch
Select count(*) from tblActivity
GO

-- Day Purge
-- on: central
delete from tblStockHistory where Vchdate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: central
delete from tblSalesItem where InvID in (Select InvID from tblSales where InvDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: central
delete from tblSales where InvDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: central
delete from tblNotes where VchDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: central
delete from tblStockJournalDetail where InvID in (Select InvID from tblStockJournal where InvDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: central
delete from tblStockJournal where InvDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: central
delete from tblJobCardDetail where JobCardID in (Select JobCardID from tblJobCard where JobCardDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: central
delete from tblJobCard where JobCardDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: central
delete from tblOrderItem where InvID in (Select InvID from tblOrder where InvDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: central
delete from tblOrder where InvDate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: central
delete from TBLVOUCHER where TRdate= '07/Dec/2026' and CCID=2 and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: branch
delete from tblSalesItem where InvID in (Select InvID from tblSales where 1=1 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: branch
delete from tblStockJournalDetail where InvID in (Select InvID from tblStockJournal where 1=1 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: branch
delete from tblJobCardDetail where JobCardID in (Select JobCardID from tblJobCard where 1=1 and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Day Purge
-- on: branch
delete from tblOrderItem where InvID in (Select InvID from tblOrder where 1=1 and vchtypeID in (206,203,202,201,205,207,204))
GO

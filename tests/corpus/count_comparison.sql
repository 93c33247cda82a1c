-- Count comparison: master counts and the working day's voucher counts, the same query on both
-- databases; the month's sales by day through the linked server; the transfer voucher types.
-- prepare: linked-server
GO

-- FillDataCount: master counts (the two account-group labels differ only in case)
-- on: branch
-- expect-rows: 13
 SELECT     'Category' AS Property, COUNT(CategoryID) AS Nos From tblCategories  Union SELECT     'ItemMaster' AS Property, COUNT(ItemID) AS Nos From tblItemMaster  Union SELECT     'Costcentre' AS Property, COUNT(CCID) AS Nos From tblcostCentre  Union SELECT     'Area' AS Property, COUNT(AreaID) AS Nos From tblArea  Union SELECT     'AccountGroup' AS Property, COUNT(AccountGroupID) AS Nos From tblAccountGroup  Union SELECT     'Employee' AS Property, COUNT(EmpID) AS Nos From tblEmployee  Union SELECT     'Ledger' AS Property, COUNT(LID) AS Nos FROM         tblLedger AS tblEmployee_1  Union SELECT     'TaxClass' AS Property, COUNT(TaxClassID) AS Nos From tblTaxClass  Union SELECT     'HSNCode' AS Property, COUNT(HSNID) AS Nos From tblHSNCODE  Union SELECT     'Usergroup' AS Property, COUNT(ID) AS Nos From tblUserGroupMaster  Union SELECT     'Accountgroup' AS Property, COUNT(AccountgroupID) AS Nos From tblAccountgroup   Union SELECT     'User' AS Property, COUNT(UserID) AS Nos From tblUserMaster   Union SELECT     'Pricelist' AS Property, COUNT(UNIQUEID) AS Nos From tblpricelist   Union SELECT     'BoardRateMaster' AS Property, COUNT(ID) AS Nos  From tblBoardRateMaster WHERE     (Vchdate = (SELECT     MAX(Vchdate) AS Expr1 FROM          tblBoardRateMaster AS tblBoardRateMaster_1 WHERE      (ItemID = tblBoardRateMaster.ItemID)))  ORDER BY Property 
GO

-- FillDataCount: master counts (the two account-group labels differ only in case)
-- on: central
-- expect-rows: 13
 SELECT     'Category' AS Property, COUNT(CategoryID) AS Nos From tblCategories  Union SELECT     'ItemMaster' AS Property, COUNT(ItemID) AS Nos From tblItemMaster  Union SELECT     'Costcentre' AS Property, COUNT(CCID) AS Nos From tblcostCentre  Union SELECT     'Area' AS Property, COUNT(AreaID) AS Nos From tblArea  Union SELECT     'AccountGroup' AS Property, COUNT(AccountGroupID) AS Nos From tblAccountGroup  Union SELECT     'Employee' AS Property, COUNT(EmpID) AS Nos From tblEmployee  Union SELECT     'Ledger' AS Property, COUNT(LID) AS Nos FROM         tblLedger AS tblEmployee_1  Union SELECT     'TaxClass' AS Property, COUNT(TaxClassID) AS Nos From tblTaxClass  Union SELECT     'HSNCode' AS Property, COUNT(HSNID) AS Nos From tblHSNCODE  Union SELECT     'Usergroup' AS Property, COUNT(ID) AS Nos From tblUserGroupMaster  Union SELECT     'Accountgroup' AS Property, COUNT(AccountgroupID) AS Nos From tblAccountgroup   Union SELECT     'User' AS Property, COUNT(UserID) AS Nos From tblUserMaster   Union SELECT     'Pricelist' AS Property, COUNT(UNIQUEID) AS Nos From tblpricelist   Union SELECT     'BoardRateMaster' AS Property, COUNT(ID) AS Nos  From tblBoardRateMaster WHERE     (Vchdate = (SELECT     MAX(Vchdate) AS Expr1 FROM          tblBoardRateMaster AS tblBoardRateMaster_1 WHERE      (ItemID = tblBoardRateMaster.ItemID)))  ORDER BY Property 
GO

-- FillTransCount: the working day's voucher counts
-- on: branch
-- expect-value: StockJournalDetail
-- expect-rows: 9
 SELECT     'Sales' AS Property, COUNT(InvID) AS Nos From tblSales Where InvDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207) Union SELECT     'SalesItem' AS Property, COUNT(InvID) AS Nos From tblSalesItem Where InvID in(Select InvID from tblSales where InvDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)) Union SELECT     'Receipt' AS Property, COUNT(VchID) AS Nos From tblNOtes where VchDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207) Union SELECT     'StockJournal' AS Property, COUNT(VchID) AS Nos From tblStockJournal where InvDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207) Union SELECT     'StockJournalDetail' AS Property, COUNT(InvID) AS Nos From tblStockJournalDetail Where InvID in(Select InvID from tblStockJournal where InvDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)) Union SELECT     'JobCard' AS Property, COUNT(jobcardid) AS Nos From tblJobcard where JobcardDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207) Union SELECT     'JobCardDetail' AS Property, COUNT(JobCardID) AS Nos From tblJobCardDetail Where JobCardID in(Select JobCardID from tblJobCard where JobcardDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)) Union SELECT     'Order' AS Property, COUNT(InvID) AS Nos From tblOrder Where InvDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207) Union SELECT     'OrderItem' AS Property, COUNT(InvID) AS Nos From tblOrderItem Where InvID in(Select InvID from tblOrder where InvDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)) ORDER BY Property DESC 
GO

-- FillTransCount: the working day's voucher counts
-- on: central
-- expect-value: StockJournalDetail
-- expect-rows: 9
 SELECT     'Sales' AS Property, COUNT(InvID) AS Nos From tblSales Where InvDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207) Union SELECT     'SalesItem' AS Property, COUNT(InvID) AS Nos From tblSalesItem Where InvID in(Select InvID from tblSales where InvDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)) Union SELECT     'Receipt' AS Property, COUNT(VchID) AS Nos From tblNOtes where VchDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207) Union SELECT     'StockJournal' AS Property, COUNT(VchID) AS Nos From tblStockJournal where InvDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207) Union SELECT     'StockJournalDetail' AS Property, COUNT(InvID) AS Nos From tblStockJournalDetail Where InvID in(Select InvID from tblStockJournal where InvDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)) Union SELECT     'JobCard' AS Property, COUNT(jobcardid) AS Nos From tblJobcard where JobcardDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207) Union SELECT     'JobCardDetail' AS Property, COUNT(JobCardID) AS Nos From tblJobCardDetail Where JobCardID in(Select JobCardID from tblJobCard where JobcardDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)) Union SELECT     'Order' AS Property, COUNT(InvID) AS Nos From tblOrder Where InvDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207) Union SELECT     'OrderItem' AS Property, COUNT(InvID) AS Nos From tblOrderItem Where InvID in(Select InvID from tblOrder where InvDate ='06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)) ORDER BY Property DESC 
GO

-- seed: a branch sale of the month
-- on: branch
INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, Party, CCID) VALUES (1, 'S1-0001', '05/Dec/2026', 201, 'Walk-in Customer', 2)
GO

-- seed: a central sale of the month
-- on: central
INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, Party, CCID) VALUES (1, 'S1-0001', '05/Dec/2026', 201, 'Walk-in Customer', 2)
GO

-- seed: a central sale of another day
-- on: central
INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, Party, CCID) VALUES (2, 'SL-0001', '20/Nov/2026', 1, 'Walk-in Customer', 1)
GO

-- FillSalesComparison: the month's sales by day on both sides
-- on: branch
-- expect-rows: 2
select InvDate ,sum(DESKTOPSALE) as DESKTOPSALE , sum(ONLINESALE) as ONLINESALE from( SELECT     InvDate, 0 AS DESKTOPSALE, COUNT(InvId) AS ONLINESALE From [embedded:servers/central].HO01.dbo.tblSales WHERE     (InvDate between '06/Nov/2026' and '06/Dec/2026')  GROUP BY InvDate Union All SELECT     InvDate, COUNT(InvId) AS DESKTOPSALE, 0 AS ONLINESALE FROM  tblSales AS tblSales_1 WHERE     (InvDate between '06/Nov/2026' and '06/Dec/2026' ) GROUP BY InvDate ) m group by m.invdate order by m.invdate
GO

-- SSTab1 page 5: voucher types with incoming stock for the branch
-- on: central
-- expect-rows: 3
 SELECT  Distinct tblStockHistory.VchTypeID, tblVchType.VchType, tblStockHistory.CCID FROM     tblStockHistory INNER JOIN  tblVchType ON tblStockHistory.VchTypeID = tblVchType.VchTypeID Where ParentID in(6,5,16,2,1005) and CCID =2 and (tblStockHistory.qtyIN > 0) 
GO

-- SSTab1 page 5: a cost centre without transfers
-- on: central
-- expect-rows: 0
 SELECT  Distinct tblStockHistory.VchTypeID, tblVchType.VchType, tblStockHistory.CCID FROM     tblStockHistory INNER JOIN  tblVchType ON tblStockHistory.VchTypeID = tblVchType.VchTypeID Where ParentID in(6,5,16,2,1005) and CCID =3 and (tblStockHistory.qtyIN > 0) 
GO

-- Compare page
-- on: branch
select InvDate ,sum(DESKTOPSALE) as DESKTOPSALE , sum(ONLINESALE) as ONLINESALE from( SELECT     InvDate, 0 AS DESKTOPSALE, COUNT(InvId) AS ONLINESALE From [embedded:servers/central].[HO01].dbo.tblSales WHERE     (InvDate between '07/Nov/2026' and '07/Dec/2026')  GROUP BY InvDate Union All SELECT     InvDate, COUNT(InvId) AS DESKTOPSALE, 0 AS ONLINESALE FROM  tblSales AS tblSales_1 WHERE     (InvDate between '07/Nov/2026' and '07/Dec/2026' ) GROUP BY InvDate ) m group by m.invdate order by m.invdate
GO

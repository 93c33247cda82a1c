-- Master download: the central change log above the mark, then for each changed master row
-- the branch delete and the copy query on the central database.
-- prepare: upgrade
GO

-- ERP: head office changes a ledger
-- on: central
-- expect-rows: 1
UPDATE tblLedger SET Phone = '0484 223344' WHERE LID = 7
GO

-- ERP: head office changes an item
-- on: central
-- expect-rows: 1
UPDATE tblItemMaster SET Rack = 'R9' WHERE ItemID = 9
GO

-- ERP: head office deletes an area
-- on: central
-- expect-rows: 1
DELETE FROM tblArea WHERE AreaID = 4
GO

-- ERP: head office changes a price
-- on: central
-- expect-rows: 1
UPDATE tblpricelist SET PLSrate = 400 WHERE UNIQUEID = 5
GO

-- uploadMasters: change-log rows above the mark
-- on: central
-- expect-value: 1
-- expect-rows: 4
 SELECT   ID, TableName, tblUniqueID, Action, Active, DateofAction From tblActivity where ISNULL(pARENTid,0)=0 AND id>0 ORDER BY ID 
GO

-- uploadMasters: change-log rows above a later mark
-- on: central
-- expect-value: 4
-- expect-rows: 1
 SELECT   ID, TableName, tblUniqueID, Action, Active, DateofAction From tblActivity where ISNULL(pARENTid,0)=0 AND id>3 ORDER BY ID 
GO

-- uploadMasters: delete the branch row of tblCategories
-- on: branch
-- expect-rows: 1
Delete from tblCategories where categoryID=2
GO

-- uploadMasters: copy query of tblCategories
-- on: central
-- expect-rows: 1
SELECT  * from tblCategories where  categoryID=2
GO

-- uploadMasters: delete the branch row of tblCostCentre
-- on: branch
-- expect-rows: 1
Delete from tblCostCentre where CCID=3
GO

-- uploadMasters: copy query of tblCostCentre
-- on: central
-- expect-rows: 1
SELECT  * from tblCostCentre where  CCID=3
GO

-- uploadMasters: delete the branch row of tblEmployee
-- on: branch
-- expect-rows: 1
Delete from tblEmployee where EMPID=2
GO

-- uploadMasters: copy query of tblEmployee
-- on: central
-- expect-rows: 1
SELECT  * from tblEmployee where  EMPID=2
GO

-- uploadMasters: delete the branch row of tblItemMaster
-- on: branch
-- expect-rows: 1
Delete from tblItemMaster where ItemID=9
GO

-- uploadMasters: copy query of tblItemMaster
-- on: central
-- expect-rows: 1
SELECT  * from tblItemMaster where  ItemID=9
GO

-- uploadMasters: delete the branch row of tblLedger
-- on: branch
-- expect-rows: 1
Delete from tblLedger where LID=7
GO

-- uploadMasters: copy query of tblLedger
-- on: central
-- expect-rows: 1
SELECT  * from tblLedger where  LID=7
GO

-- uploadMasters: delete the branch row of tblTaxClass
-- on: branch
-- expect-rows: 1
Delete from tblTaxClass where TaxClassID=4
GO

-- uploadMasters: copy query of tblTaxClass
-- on: central
-- expect-rows: 1
SELECT  * from tblTaxClass where  TaxClassID=4
GO

-- uploadMasters: delete the branch row of tblUserMaster
-- on: branch
-- expect-rows: 1
Delete from tblUserMaster where UserID=2
GO

-- uploadMasters: copy query of tblUserMaster
-- on: central
-- expect-rows: 1
SELECT  * from tblUserMaster where  UserID=2
GO

-- uploadMasters: delete the branch row of tblUserGroupMaster
-- on: branch
-- expect-rows: 1
Delete from tblUserGroupMaster where ID=2
GO

-- uploadMasters: copy query of tblUserGroupMaster
-- on: central
-- expect-rows: 1
SELECT  * from tblUserGroupMaster where  ID=2
GO

-- uploadMasters: delete the branch row of tblHSNCODE
-- on: branch
-- expect-rows: 1
Delete from tblHSNCODE where HSNID=5
GO

-- uploadMasters: copy query of tblHSNCODE
-- on: central
-- expect-rows: 1
SELECT  * from tblHSNCODE where  HSNID=5
GO

-- uploadMasters: delete the branch row of tblVchType
-- on: branch
-- expect-rows: 1
Delete from tblVchType where VchTypeID=201
GO

-- uploadMasters: copy query of tblVchType
-- on: central
-- expect-rows: 1
SELECT  * from tblVchType where  VchTypeID=201
GO

-- uploadMasters: delete the branch row of tblCustomerProfile
-- on: branch
-- expect-rows: 1
Delete from tblCustomerProfile where ProfileID=1
GO

-- uploadMasters: copy query of tblCustomerProfile
-- on: central
-- expect-rows: 1
SELECT  * from tblCustomerProfile where  ProfileID=1
GO

-- uploadMasters: delete the branch row of tblArea
-- on: branch
-- expect-rows: 1
Delete from tblArea where AreaID=4
GO

-- uploadMasters: copy query of tblArea
-- on: central
-- expect-rows: 0
SELECT  * from tblArea where  AreaID=4
GO

-- uploadMasters: delete the branch price-list row (tblpriceList)
-- on: branch
-- expect-rows: 1
Delete from tblpriceList where UNIQUEID=5
GO

-- uploadMasters: price-list copy query (tblpriceList)
-- on: central
-- expect-rows: 1
SELECT  PLID,PriceList,blnPercentage,ItemID,SRate,MRP,SrPercent,MRPPercent,PLSrate,PLMRP,CatchAll,ActiveStatus,Description,SrPercentAU,PLSrateAU,SrPercentAU2,PLSrateAU2,CalculationType,BlnShowAsDiscount,UNIQUEID from tblpriceList where  UNIQUEID=5
GO

-- uploadMasters: delete the branch price-list row (tblpricelist)
-- on: branch
-- expect-rows: 0
Delete from tblpricelist where UNIQUEID=5
GO

-- uploadMasters: price-list copy query (tblpricelist)
-- on: central
-- expect-rows: 1
SELECT  PLID,PriceList,blnPercentage,ItemID,SRate,MRP,SrPercent,MRPPercent,PLSrate,PLMRP,CatchAll,ActiveStatus,Description,SrPercentAU,PLSrateAU,SrPercentAU2,PLSrateAU2,CalculationType,BlnShowAsDiscount,UNIQUEID from tblpricelist where  UNIQUEID=5
GO

-- uploadMasters: copy of the ledger
-- on: branch
-- expect-rows: 1
Insert into tblLedger (LID,LName,LAliasName,AccountGroupID,Address,Phone,AreaID,OpeningBalance,CreditLimit,TaxRegNo,CreatedDate,ActiveStatus) values (7,'O''Brien Traders','O''BRIEN TRADERS',5,' ','0484 223344',4,0,0,' ','01/Apr/2026',1)
GO

-- Master download pass (AutoSynch pass)
-- on: central
SELECT  * from tblItemMaster where  ItemID in (3,9)
GO

-- Master download pass (AutoSynch pass)
-- on: central
SELECT  * from tblLedger where  LID in (101)
GO

-- Master download pass (AutoSynch pass)
-- on: central
SELECT  * from tblArea where  AreaID in (4)
GO

-- Master download pass (AutoSynch pass)
-- on: branch
Insert into tblArea (AreaID,AreaName,AreaCode,ActiveStatus) values (4,'Zone 4 (revised 2)','HB',1)
GO

-- Master download pass (AutoSynch pass)
-- on: branch
select max(ID) as LastID from tblactivity
GO

-- Master download pass (AutoSynch pass)
-- on: branch
select * from (SELECT 0 as ID, 'tblSales' AS tablename, InvID AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM tblSales WHERE (SyncStat = 0) Union Select 0 as ID, 'tblNotes' AS tablename, VchID AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, VchDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM tblNotes WHERE (SyncStat = 0) Union Select 0 as ID, 'tblStockJournal' AS tablename, InvID AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM tblStockJournal WHERE (SyncStat = 0) Union Select 0 as ID, 'tblJobCard' AS tablename, JobCardID AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, JobCardDate AS dateofaction, JobCardTime AS ActionTime,SyncStat FROM tblJobCard WHERE (SyncStat = 0) Union Select 0 as ID, 'tblOrder' AS tablename, InvID AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM tblOrder WHERE (SyncStat = 0)) as M where m.dateofaction='07/Dec/2026' or SyncStat =0
GO

-- Master download pass (AutoSynch pass)
-- on: branch
Select getdate() as Now
GO

-- Master download pass (AutoSynch pass)
-- on: branch
SELECT (SELECT count(*) FROM tblSales WHERE isnull(SyncStat,0)=0) + (SELECT count(*) FROM tblNotes WHERE isnull(SyncStat,0)=0) + (SELECT count(*) FROM tblStockJournal WHERE isnull(SyncStat,0)=0) + (SELECT count(*) FROM tblJobCard WHERE isnull(SyncStat,0)=0) + (SELECT count(*) FROM tblOrder WHERE isnull(SyncStat,0)=0) AS Waiting, (SELECT count(*) FROM tblSales WHERE isnull(SyncStat,0)<>0 AND InvDate='07/Dec/2026') + (SELECT count(*) FROM tblNotes WHERE isnull(SyncStat,0)<>0 AND VchDate='07/Dec/2026') + (SELECT count(*) FROM tblStockJournal WHERE isnull(SyncStat,0)<>0 AND InvDate='07/Dec/2026') + (SELECT count(*) FROM tblJobCard WHERE isnull(SyncStat,0)<>0 AND JobCardDate='07/Dec/2026') + (SELECT count(*) FROM tblOrder WHERE isnull(SyncStat,0)<>0 AND InvDate='07/Dec/2026') AS SentToday, (SELECT min(ActionTime) FROM tblactivity WHERE ID > 0 AND ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45) AND Action not in ('Update')) AS Oldest, getdate() AS BranchNow
GO

-- Master download pass (AutoSynch pass)
-- on: central
SELECT (SELECT count(*) FROM tblActivity WHERE ISNULL(ParentID,0)=0 AND ID <= 6 AND DateofAction='07/Dec/2026') AS MastersToday, (SELECT count(*) FROM tblActivity WHERE ISNULL(ParentID,0)=0 AND ID > 6) AS MastersWaiting, (SELECT TOP 1 SQLSERVERNAME FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH' AND BlockDataEntry=1 AND DATEDIFF(second, Timeof, getDate()) < 50 AND DATEDIFF(second, Timeof, getDate()) > -50 ORDER BY Timeof DESC) AS LockHolder
GO

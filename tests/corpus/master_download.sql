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

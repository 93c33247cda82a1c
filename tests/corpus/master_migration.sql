-- Full master migration: each master table emptied at the branch and refilled, in bulk through
-- the linked server or row by row; then the settings synchronisation.
-- prepare: upgrade
-- prepare: linked-server
GO

-- cmdFullSync: empty the branch table (tblLedger)
-- on: branch
Delete from tblLedger
GO

-- InsertBulkTransfer (tblLedger)
-- on: branch
-- expect-rows: 20
Insert into tblLedger select * from [embedded:servers/central].HO01.dbo.tblLedger
GO

-- InsertBulkTransfer: its own delete first (tblLedger)
-- on: branch
-- expect-rows: 20
Delete from tblLedger
GO

-- InsertBulkTransfer (tblLedger) again
-- on: branch
-- expect-rows: 20
Insert into tblLedger select * from [embedded:servers/central].HO01.dbo.tblLedger
GO

-- cmdFullSync: empty the branch table (tblArea)
-- on: branch
Delete from tblArea
GO

-- InsertBulkTransfer (tblArea)
-- on: branch
-- expect-rows: 4
Insert into tblArea select * from [embedded:servers/central].HO01.dbo.tblArea
GO

-- InsertBulkTransfer: its own delete first (tblArea)
-- on: branch
-- expect-rows: 4
Delete from tblArea
GO

-- InsertBulkTransfer (tblArea) again
-- on: branch
-- expect-rows: 4
Insert into tblArea select * from [embedded:servers/central].HO01.dbo.tblArea
GO

-- cmdFullSync: empty the branch table (tblCategory)
-- on: branch
Delete from tblCategories
GO

-- InsertBulkTransfer (tblCategories)
-- on: branch
-- expect-rows: 4
Insert into tblCategories select * from [embedded:servers/central].HO01.dbo.tblCategories
GO

-- InsertBulkTransfer: its own delete first (tblCategories)
-- on: branch
-- expect-rows: 4
Delete from tblCategories
GO

-- InsertBulkTransfer (tblCategories) again
-- on: branch
-- expect-rows: 4
Insert into tblCategories select * from [embedded:servers/central].HO01.dbo.tblCategories
GO

-- cmdFullSync: empty the branch table (tblItemMaster)
-- on: branch
Delete from tblItemMaster
GO

-- InsertBulkTransfer (tblItemMaster)
-- on: branch
-- expect-rows: 50
Insert into tblItemMaster select * from [embedded:servers/central].HO01.dbo.tblItemMaster
GO

-- InsertBulkTransfer: its own delete first (tblItemMaster)
-- on: branch
-- expect-rows: 50
Delete from tblItemMaster
GO

-- InsertBulkTransfer (tblItemMaster) again
-- on: branch
-- expect-rows: 50
Insert into tblItemMaster select * from [embedded:servers/central].HO01.dbo.tblItemMaster
GO

-- cmdFullSync: empty the branch table (tblPricelist)
-- on: branch
Delete from tblPricelist 
GO

-- InsertBulkTransfer (tblPricelist)
-- on: branch
Insert into tblPricelist(  PLID, PriceList, blnPercentage,ItemID, SRate, MRP, SrPercent, MRPPercent, PLSrate, PLMRP, CatchAll, ActiveStatus, Description, SrPercentAU, PLSrateAU , SrPercentAU2, PLSrateAU2, CalculationType, BlnShowAsDiscount,UNIQUEID) select   PLID, PriceList, blnPercentage,ItemID, SRate, MRP, SrPercent, MRPPercent, PLSrate, PLMRP, CatchAll, ActiveStatus, Description, SrPercentAU, PLSrateAU , SrPercentAU2, PLSrateAU2, CalculationType, BlnShowAsDiscount,UNIQUEID from [embedded:servers/central].HO01.dbo.tblPricelist
GO

-- InsertBulkTransfer: its own delete first (tblPricelist)
-- on: branch
Delete from tblPricelist
GO

-- InsertBulkTransfer (tblPricelist) again
-- on: branch
Insert into tblPricelist(  PLID, PriceList, blnPercentage,ItemID, SRate, MRP, SrPercent, MRPPercent, PLSrate, PLMRP, CatchAll, ActiveStatus, Description, SrPercentAU, PLSrateAU , SrPercentAU2, PLSrateAU2, CalculationType, BlnShowAsDiscount,UNIQUEID) select   PLID, PriceList, blnPercentage,ItemID, SRate, MRP, SrPercent, MRPPercent, PLSrate, PLMRP, CatchAll, ActiveStatus, Description, SrPercentAU, PLSrateAU , SrPercentAU2, PLSrateAU2, CalculationType, BlnShowAsDiscount,UNIQUEID from [embedded:servers/central].HO01.dbo.tblPricelist
GO

-- cmdFullSync: empty the branch table (tblTaxClass)
-- on: branch
Delete from tblTaxClass 
GO

-- InsertBulkTransfer (tblTaxClass)
-- on: branch
-- expect-rows: 4
Insert into tblTaxClass(TaxClassID,TaxName,GSTPER,CSTPER,RateInclusive,PSTPer,RateInclusivePurchase,blnCessOnTax,PCSTPER,ExciseDutyPer,EDCessPer,EDCessPer2,PExciseDutyPer,PEDCessPer,PEDCessPer2,CompCessQty,ActiveStatus,GSTCESSPur,GSTCESSSALE,CGSTTaxPer,SGSTTaxPer,IGSTTaxPer,CessPer) select TaxClassID,TaxName,GSTPER,CSTPER,RateInclusive,PSTPer,RateInclusivePurchase,blnCessOnTax,PCSTPER,ExciseDutyPer,EDCessPer,EDCessPer2,PExciseDutyPer,PEDCessPer,PEDCessPer2,CompCessQty,ActiveStatus,GSTCESSPur,GSTCESSSALE,CGSTTaxPer,SGSTTaxPer,IGSTTaxPer,CessPer from [embedded:servers/central].HO01.dbo.tblTaxClass
GO

-- InsertBulkTransfer: its own delete first (tblTaxClass)
-- on: branch
-- expect-rows: 4
Delete from tblTaxClass
GO

-- InsertBulkTransfer (tblTaxClass) again
-- on: branch
-- expect-rows: 4
Insert into tblTaxClass(TaxClassID,TaxName,GSTPER,CSTPER,RateInclusive,PSTPer,RateInclusivePurchase,blnCessOnTax,PCSTPER,ExciseDutyPer,EDCessPer,EDCessPer2,PExciseDutyPer,PEDCessPer,PEDCessPer2,CompCessQty,ActiveStatus,GSTCESSPur,GSTCESSSALE,CGSTTaxPer,SGSTTaxPer,IGSTTaxPer,CessPer) select TaxClassID,TaxName,GSTPER,CSTPER,RateInclusive,PSTPer,RateInclusivePurchase,blnCessOnTax,PCSTPER,ExciseDutyPer,EDCessPer,EDCessPer2,PExciseDutyPer,PEDCessPer,PEDCessPer2,CompCessQty,ActiveStatus,GSTCESSPur,GSTCESSSALE,CGSTTaxPer,SGSTTaxPer,IGSTTaxPer,CessPer from [embedded:servers/central].HO01.dbo.tblTaxClass
GO

-- cmdFullSync: empty the branch table (tblHSNCode)
-- on: branch
Delete from tblHsnCode 
GO

-- InsertBulkTransfer (tblHsnCode)
-- on: branch
-- expect-rows: 5
Insert into tblHsnCode(HSNID, HSNCODE, HSNDECRIPTION, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, TaxClassID, TaxClassID1, TaxClassID2, TaxClassID3, TaxClassID4,blnSlabSystem , slabtaxString, HSNCODEUnique) select HSNID, HSNCODE, HSNDECRIPTION, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, TaxClassID, TaxClassID1, TaxClassID2, TaxClassID3, TaxClassID4,blnSlabSystem , slabtaxString, HSNCODEUnique from [embedded:servers/central].HO01.dbo.tblHsnCode
GO

-- InsertBulkTransfer: its own delete first (tblHsnCode)
-- on: branch
-- expect-rows: 5
Delete from tblHsnCode
GO

-- InsertBulkTransfer (tblHsnCode) again
-- on: branch
-- expect-rows: 5
Insert into tblHsnCode(HSNID, HSNCODE, HSNDECRIPTION, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, TaxClassID, TaxClassID1, TaxClassID2, TaxClassID3, TaxClassID4,blnSlabSystem , slabtaxString, HSNCODEUnique) select HSNID, HSNCODE, HSNDECRIPTION, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, TaxClassID, TaxClassID1, TaxClassID2, TaxClassID3, TaxClassID4,blnSlabSystem , slabtaxString, HSNCODEUnique from [embedded:servers/central].HO01.dbo.tblHsnCode
GO

-- cmdFullSync: empty the branch table (tblUserMaster)
-- on: branch
Delete from tblUserMaster
GO

-- InsertBulkTransfer (tblUserMaster)
-- on: branch
-- expect-rows: 2
Insert into tblUserMaster select * from [embedded:servers/central].HO01.dbo.tblUserMaster
GO

-- InsertBulkTransfer: its own delete first (tblUserMaster)
-- on: branch
-- expect-rows: 2
Delete from tblUserMaster
GO

-- InsertBulkTransfer (tblUserMaster) again
-- on: branch
-- expect-rows: 2
Insert into tblUserMaster select * from [embedded:servers/central].HO01.dbo.tblUserMaster
GO

-- cmdFullSync: empty the branch table (tblEmployee)
-- on: branch
Delete from tblEmployee
GO

-- InsertBulkTransfer (tblEmployee)
-- on: branch
-- expect-rows: 3
Insert into tblEmployee select * from [embedded:servers/central].HO01.dbo.tblEmployee
GO

-- InsertBulkTransfer: its own delete first (tblEmployee)
-- on: branch
-- expect-rows: 3
Delete from tblEmployee
GO

-- InsertBulkTransfer (tblEmployee) again
-- on: branch
-- expect-rows: 3
Insert into tblEmployee select * from [embedded:servers/central].HO01.dbo.tblEmployee
GO

-- cmdFullSync: empty the branch table (tblCostcentre)
-- on: branch
Delete from tblCostcentre
GO

-- InsertBulkTransfer (tblCostcentre)
-- on: branch
-- expect-rows: 3
Insert into tblCostcentre select * from [embedded:servers/central].HO01.dbo.tblCostcentre
GO

-- InsertBulkTransfer: its own delete first (tblCostcentre)
-- on: branch
-- expect-rows: 3
Delete from tblCostcentre
GO

-- InsertBulkTransfer (tblCostcentre) again
-- on: branch
-- expect-rows: 3
Insert into tblCostcentre select * from [embedded:servers/central].HO01.dbo.tblCostcentre
GO

-- cmdFullSync: empty the branch table (tblAccountGroup)
-- on: branch
Delete from tblAccountGroup
GO

-- InsertBulkTransfer (tblAccountGroup)
-- on: branch
-- expect-rows: 11
Insert into tblAccountGroup select * from [embedded:servers/central].HO01.dbo.tblAccountGroup
GO

-- InsertBulkTransfer: its own delete first (tblAccountGroup)
-- on: branch
-- expect-rows: 11
Delete from tblAccountGroup
GO

-- InsertBulkTransfer (tblAccountGroup) again
-- on: branch
-- expect-rows: 11
Insert into tblAccountGroup select * from [embedded:servers/central].HO01.dbo.tblAccountGroup
GO

-- cmdFullSync: empty the branch table (tblCustomerProfile)
-- on: branch
Delete from tblCustomerProfile
GO

-- InsertBulkTransfer (tblCustomerProfile)
-- on: branch
-- expect-rows: 2
Insert into tblCustomerProfile select * from [embedded:servers/central].HO01.dbo.tblCustomerProfile
GO

-- InsertBulkTransfer: its own delete first (tblCustomerProfile)
-- on: branch
-- expect-rows: 2
Delete from tblCustomerProfile
GO

-- InsertBulkTransfer (tblCustomerProfile) again
-- on: branch
-- expect-rows: 2
Insert into tblCustomerProfile select * from [embedded:servers/central].HO01.dbo.tblCustomerProfile
GO

-- cmdFullSync: empty the branch table (tblCustomerCard)
-- on: branch
Delete from tblCustomerCard
GO

-- InsertBulkTransfer (tblCustomerCard)
-- on: branch
-- expect-rows: 2
Insert into tblCustomerCard select * from [embedded:servers/central].HO01.dbo.tblCustomerCard
GO

-- InsertBulkTransfer: its own delete first (tblCustomerCard)
-- on: branch
-- expect-rows: 2
Delete from tblCustomerCard
GO

-- InsertBulkTransfer (tblCustomerCard) again
-- on: branch
-- expect-rows: 2
Insert into tblCustomerCard select * from [embedded:servers/central].HO01.dbo.tblCustomerCard
GO

-- cmdFullSync: empty the branch table (tblCurrency)
-- on: branch
Delete from tblCurrency
GO

-- InsertBulkTransfer (tblCurrency)
-- on: branch
-- expect-rows: 2
Insert into tblCurrency select * from [embedded:servers/central].HO01.dbo.tblCurrency
GO

-- InsertBulkTransfer: its own delete first (tblCurrency)
-- on: branch
-- expect-rows: 2
Delete from tblCurrency
GO

-- InsertBulkTransfer (tblCurrency) again
-- on: branch
-- expect-rows: 2
Insert into tblCurrency select * from [embedded:servers/central].HO01.dbo.tblCurrency
GO

-- cmdFullSync: empty the branch table (tblCurrencyDetail)
-- on: branch
Delete from tblCurrencyDetail
GO

-- InsertBulkTransfer (tblCurrencyDetail)
-- on: branch
-- expect-rows: 2
Insert into tblCurrencyDetail select * from [embedded:servers/central].HO01.dbo.tblCurrencyDetail
GO

-- InsertBulkTransfer: its own delete first (tblCurrencyDetail)
-- on: branch
-- expect-rows: 2
Delete from tblCurrencyDetail
GO

-- InsertBulkTransfer (tblCurrencyDetail) again
-- on: branch
-- expect-rows: 2
Insert into tblCurrencyDetail select * from [embedded:servers/central].HO01.dbo.tblCurrencyDetail
GO

-- check: the ledgers arrived
-- on: branch
-- expect-value: 20
SELECT COUNT(*) AS Nos FROM tblLedger
GO

-- check: the apostrophe survived the linked server
-- on: branch
-- expect-value: O'Brien Traders
SELECT LName FROM tblLedger WHERE LID = 7
GO

-- user groups: widen the access level (branch)
-- on: branch
alter table tblUserGroupMaster alter column Accesslevel  VarChar (6000)
GO

-- user groups: widen the access level (central)
-- on: central
alter table tblUserGroupMaster alter column Accesslevel  VarChar (6000)
GO

-- cmdFullSync: empty the branch table (tblUserGroupMaster)
-- on: branch
-- expect-rows: 2
Delete from tblUserGroupMaster
GO

-- user groups: source rows
-- on: central
-- expect-rows: 2
Select * from tblUserGroupMaster
GO

-- user groups: row copy
-- on: branch
-- expect-rows: 1
Insert into tblUserGroupMaster (ID,GroupName,Accesslevel,ActiveStatus) values (1,'Administrators','11111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111',1)
GO

-- cmdFullSync: empty the branch table (tblGodown)
-- on: branch
-- expect-rows: 2
Delete from tblGodown
GO

-- godowns row by row: the source query, ids included
-- on: central
-- expect-rows: 2
Select * from tblGodown
GO

-- godowns row by row: the copy keeps head office's id
-- on: branch
-- expect-rows: 1
Insert into tblGodown (GodownID,GodownName,GodownCode) values (1,'Main Store','MS')
GO

-- godowns in bulk by position: the rebuilt branch table has GodownID last
-- on: branch
-- expect-error: Error converting data type varchar to numeric
Insert into tblGodown select * from [embedded:servers/central].HO01.dbo.tblGodown
GO

-- godowns in bulk: the central columns by name
-- on: central
-- expect-rows: 0
SELECT * FROM tblGodown WHERE 1 = 0
GO

-- godowns in bulk: its own delete first
-- on: branch
-- expect-rows: 1
Delete from tblGodown
GO

-- godowns in bulk: every column by name into the rebuilt branch table
-- on: branch
-- expect-rows: 2
Insert into tblGodown(GodownID,GodownName,GodownCode) select GodownID,GodownName,GodownCode from [embedded:servers/central].HO01.dbo.tblGodown
GO

-- godowns in bulk: the ids came along
-- on: branch
-- expect-value: 3
Select sum(GodownID) from tblGodown
GO

-- board rates are imported, not deleted
-- on: branch
-- expect-value: 107
Select count(*) from tblBoardRateMaster
GO

-- cmdSettingsSynch: empty the branch settings
-- on: branch
-- expect-rows: 32
Delete from tblAppSettings
GO

-- cmdSettingsSynch: the settings source
-- on: central
-- expect-rows: 32
SELECT KeyName,ValueName  FROM tblAppSettings 
GO

-- cmdSettingsSynch: a settings row copy
-- on: branch
-- expect-rows: 1
Insert into tblAppSettings (KeyName,ValueName) values ('BLNBATCHCODE','1')
GO

-- cmdSettingsSynch: empty the branch voucher types
-- on: branch
-- expect-rows: 28
Delete from tblVchType
GO

-- cmdSettingsSynch: the voucher types source
-- on: central
-- expect-rows: 23
Select * from tblvchtype where    (ParentID IN (1, 3, 7, 8, 9, 10, 18, 5, 42, 43, 14, 44, 45)) 
GO

-- cmdSettingsSynch: a voucher type row copy
-- on: branch
-- expect-rows: 1
Insert into tblVchType (VchTypeID,VchType,ParentID,ShortName,Prefix,PrimaryCCIDS,BLNUseForClientSync,SortOrder,ActiveStatus) values (201,'Sales BR1',1,'S1','S1','2',1,100,1)
GO

-- Master Synchronisation
-- on: central
Select * from tblLedger
GO

-- Master Synchronisation
-- on: central
Select * from tblArea
GO

-- Master Synchronisation
-- on: central
Select * from tblItemMaster
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblPricelist
GO

-- Master Synchronisation
-- on: branch
Insert into tblPricelist(  PLID, PriceList, blnPercentage,ItemID, SRate, MRP, SrPercent, MRPPercent, PLSrate, PLMRP, CatchAll, ActiveStatus, Description, SrPercentAU, PLSrateAU , SrPercentAU2, PLSrateAU2, CalculationType, BlnShowAsDiscount,UNIQUEID) select   PLID, PriceList, blnPercentage,ItemID, SRate, MRP, SrPercent, MRPPercent, PLSrate, PLMRP, CatchAll, ActiveStatus, Description, SrPercentAU, PLSrateAU , SrPercentAU2, PLSrateAU2, CalculationType, BlnShowAsDiscount,UNIQUEID from [embedded:servers/central].[HO01].dbo.tblPricelist
GO

-- Master Synchronisation
-- on: central
Select * from tblTaxClass
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblTaxClass
GO

-- Master Synchronisation
-- on: branch
Insert into tblTaxClass (TaxClassID,TaxName,GSTPER,CSTPER,RateInclusive,PSTPer,RateInclusivePurchase,blnCessOnTax,PCSTPER,ExciseDutyPer,EDCessPer,EDCessPer2,PExciseDutyPer,PEDCessPer,PEDCessPer2,CompCessQty,ActiveStatus,GSTCESSPur,GSTCESSSALE,CGSTTaxPer,SGSTTaxPer,IGSTTaxPer,CessPer) values (1,'GST 0%',0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,0)
GO

-- Master Synchronisation
-- on: central
Select * from tblHsnCode
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblHsnCode
GO

-- Master Synchronisation
-- on: branch
Insert into tblHsnCode (HSNID,HSNCODE,HSNDECRIPTION,CGSTTaxPer,SGSTTaxPer,IGSTTaxPer,TaxClassID,TaxClassID1,TaxClassID2,TaxClassID3,TaxClassID4,blnSlabSystem,slabtaxString,HSNCODEUnique) values (1,'1006','Rice',2.5,2.5,5,2,0,0,0,0,0,'','1006')
GO

-- Master Synchronisation
-- on: central
Select * from tblUserMaster
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblUserMaster
GO

-- Master Synchronisation
-- on: branch
Insert into tblUserMaster (UserID,UserName,Password,UserGroupID,EmpID,ActiveStatus) values (1,'admin','admin',1,0,1)
GO

-- Master Synchronisation
-- on: central
Select * from tblEmployee
GO

-- Master Synchronisation
-- on: central
Select * from tblCostcentre
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblCostcentre
GO

-- Master Synchronisation
-- on: branch
Insert into tblCostcentre (CCID,CCName,CCCode,Address,Phone,ActiveStatus) values (1,'Head Office','HO','12 Market Road',' ',1)
GO

-- Master Synchronisation
-- on: central
Select * from tblAccountGroup
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblAccountGroup
GO

-- Master Synchronisation
-- on: branch
Insert into tblAccountGroup (AccountGroupID,AccountGroup,GroupUnder,Nature,ActiveStatus) values (1,'Capital Account',0,'Liability',1)
GO

-- Master Synchronisation
-- on: central
Select * from tblCustomerProfile
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblCustomerProfile
GO

-- Master Synchronisation
-- on: branch
Insert into tblCustomerProfile (ProfileID,ProfileName,LID,Phone,Email,BirthDate,ActiveStatus) values (1,'O''Brien Traders',7,'98470 11111','obrien@example.com',NULL,1)
GO

-- Master Synchronisation
-- on: central
Select * from tblCustomerCard
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblCustomerCard
GO

-- Master Synchronisation
-- on: branch
Insert into tblCustomerCard (CustomerCardID,CardNo,ProfileID,Points,IssueDate,ActiveStatus) values (1,'CARD-0001',1,120.5,'2026-04-15T00:00:00.000',1)
GO

-- Master Synchronisation
-- on: central
Select * from tblCurrency
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblCurrency
GO

-- Master Synchronisation
-- on: branch
Insert into tblCurrency (CurrencyID,CurrencyName,Symbol,MinorCurrency,DecimalPlaces) values (1,'Rupee','Rs','Paise',2)
GO

-- Master Synchronisation
-- on: central
Select * from tblCurrencyDetail
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblCurrencyDetail
GO

-- Master Synchronisation
-- on: branch
Insert into tblCurrencyDetail (CurrencyDetailID,CurrencyID,ConversionRate,EffectiveDate) values (1,1,1,'2026-04-01T00:00:00.000')
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblLedger
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblLedger select * from [embedded:servers/central].[HO01].dbo.tblLedger
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblArea
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblArea select * from [embedded:servers/central].[HO01].dbo.tblArea
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblCategories
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblCategories select * from [embedded:servers/central].[HO01].dbo.tblCategories
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblItemMaster
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblItemMaster select * from [embedded:servers/central].[HO01].dbo.tblItemMaster
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblTaxClass
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblTaxClass(TaxClassID,TaxName,GSTPER,CSTPER,RateInclusive,PSTPer,RateInclusivePurchase,blnCessOnTax,PCSTPER,ExciseDutyPer,EDCessPer,EDCessPer2,PExciseDutyPer,PEDCessPer,PEDCessPer2,CompCessQty,ActiveStatus,GSTCESSPur,GSTCESSSALE,CGSTTaxPer,SGSTTaxPer,IGSTTaxPer,CessPer) select TaxClassID,TaxName,GSTPER,CSTPER,RateInclusive,PSTPer,RateInclusivePurchase,blnCessOnTax,PCSTPER,ExciseDutyPer,EDCessPer,EDCessPer2,PExciseDutyPer,PEDCessPer,PEDCessPer2,CompCessQty,ActiveStatus,GSTCESSPur,GSTCESSSALE,CGSTTaxPer,SGSTTaxPer,IGSTTaxPer,CessPer from [embedded:servers/central].[HO01].dbo.tblTaxClass
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblHsnCode
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblHsnCode(HSNID, HSNCODE, HSNDECRIPTION, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, TaxClassID, TaxClassID1, TaxClassID2, TaxClassID3, TaxClassID4,blnSlabSystem , slabtaxString, HSNCODEUnique) select HSNID, HSNCODE, HSNDECRIPTION, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, TaxClassID, TaxClassID1, TaxClassID2, TaxClassID3, TaxClassID4,blnSlabSystem , slabtaxString, HSNCODEUnique from [embedded:servers/central].[HO01].dbo.tblHsnCode
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblUserMaster
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblUserMaster select * from [embedded:servers/central].[HO01].dbo.tblUserMaster
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblEmployee
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblEmployee select * from [embedded:servers/central].[HO01].dbo.tblEmployee
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblCostcentre
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblCostcentre select * from [embedded:servers/central].[HO01].dbo.tblCostcentre
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblGodown
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblGodown(GodownID,GodownName,GodownCode) select GodownID,GodownName,GodownCode from [embedded:servers/central].[HO01].dbo.tblGodown
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblAccountGroup
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblAccountGroup select * from [embedded:servers/central].[HO01].dbo.tblAccountGroup
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblCustomerProfile
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblCustomerProfile select * from [embedded:servers/central].[HO01].dbo.tblCustomerProfile
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblCustomerCard
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblCustomerCard select * from [embedded:servers/central].[HO01].dbo.tblCustomerCard
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblCurrency
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblCurrency select * from [embedded:servers/central].[HO01].dbo.tblCurrency
GO

-- Master Synchronisation: the branch table emptied first
-- on: branch
Delete from tblCurrencyDetail
GO

-- Master Synchronisation, bulk (Master Synchronisation)
-- on: branch
Insert into tblCurrencyDetail select * from [embedded:servers/central].[HO01].dbo.tblCurrencyDetail
GO

-- Migrate Mismatch (red) Items
-- on: branch
 Update TBLSTOCK SET  Active = (SELECT  Active FROM [embedded:servers/central].[HO01].dbo.TBLSTOCK AS st WHERE (TBLSTOCK.CCID = CCID) AND (TBLSTOCK.BatchUnique = BatchUnique) AND (TBLSTOCK.ItemID = ItemID))  
GO

-- Migrate Mismatch (red) Items
-- on: central
SELECT ID, TableName FROM tblActivity WHERE ID>6 AND ID<=7 ORDER BY ID
GO

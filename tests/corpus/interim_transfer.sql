-- Interim stock transfer import: listing the central vouchers addressed to the branch, their
-- items and stock, the branch's opening journal for them, and the downloaded mark.
-- prepare: upgrade
GO

-- parent type of the chosen voucher type
-- on: central
-- expect-value: 16
select ParentID from tblVchtype where VchTypeID=16
GO

-- parent type of an unknown voucher type
-- on: central
-- expect-rows: 0
select ParentID from tblVchtype where VchTypeID=999
GO

-- list: board rates, no day start
-- on: central
-- expect-rows: 1
SELECT  TOP (1) 0 as InvID,'NONUM' as InvNo,   Vchdate AS InvDate,'' as BillTime,'' as Party, Customfield1 FROM  tblBoardRateMaster AS tblBoardRateMaster_1   ORDER BY Vchdate DESC
GO

-- list: board rates from the day start
-- on: central
-- expect-rows: 1
SELECT  TOP (1) 0 as InvID,'NONUM' as InvNo,  Vchdate AS InvDate,'' as BillTime,'' as Party, Customfield1 FROM  tblBoardRateMaster AS tblBoardRateMaster_1 where  Vchdate>='01/Dec/2026' ORDER BY Vchdate DESC
GO

-- list: purchases, no day start
-- on: central
-- expect-rows: 1
select  top 50 InvId, InvNo, InvDate,BillTime, Party,Customfield1 From tblPurchase Where VchTypeID=2 and (CCID = 2 ) oRDER BY InvDate desc
GO

-- list: purchases from the day start
-- on: central
-- expect-rows: 1
select  top 50 InvId, InvNo, InvDate,BillTime, Party,Customfield1 From tblPurchase Where VchTypeID=2 and StockDate>='01/Dec/2026' and BillTime>'09:30 AM' and  StockDate='05/Dec/2026' and (CCID = 2 ) oRDER BY InvDate desc
GO

-- list: opening stock journals, no day start
-- on: central
-- expect-rows: 1
select  top 50 InvId, InvNo, InvDate,BillTime, Party,Customfield1 From tblStockJournal Where VchTypeID=1005 and (CCID = 2  ) oRDER BY InvDate desc
GO

-- list: opening stock journals from the day start
-- on: central
-- expect-rows: 0
select  top 50 InvId, InvNo, InvDate,BillTime, Party,Customfield1 From tblStockJournal Where VchTypeID=1005 and InvDate>='01/Dec/2026' and BillTime>'09:30 AM' and INvDate>='05/Dec/2026' and (CCID = 2  ) oRDER BY InvDate desc 
GO

-- list: transfers to the branch, no day start
-- on: central
-- expect-rows: 1
select  top 50 InvId, InvNo, InvDate,BillTime, Party,Customfield1 From tblStockJournal Where VchTypeID=16 and (DestCCID = 2  ) oRDER BY InvDate desc 
GO

-- list: transfers to the branch from the day start
-- on: central
-- expect-rows: 1
select  top 50 InvId, InvNo, InvDate,BillTime, Party,Customfield1 From tblStockJournal Where VchTypeID=16 and InvDate>='01/Dec/2026' and BillTime>'09:30 AM' and (DestCCID = 2  ) oRDER BY InvDate desc
GO

-- list: transfers after a later bill time
-- on: central
-- expect-rows: 0
select  top 50 InvId, InvNo, InvDate,BillTime, Party,Customfield1 From tblStockJournal Where VchTypeID=16 and InvDate>='01/Dec/2026' and BillTime>'11:45 AM' and (DestCCID = 2  ) oRDER BY InvDate desc
GO

-- items of a purchase
-- on: central
-- expect-rows: 2
SELECT     tblPurchaseItem.SlNo, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblPurchaseItem.Qty,tblPurchaseItem.BatchCode FROM         tblPurchaseItem INNER JOIN  tblItemMaster ON tblPurchaseItem.ItemId = tblItemMaster.ItemID where invID=1 ORDER BY tblPurchaseItem.SlNo
GO

-- items of a stock journal
-- on: central
-- expect-rows: 3
SELECT    SLNo, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblStockJournalDetail.QtyIN, tblStockJournalDetail.QtyOut, tblStockJournalDetail.BatchCode   FROM  tblItemMaster INNER JOIN tblStockJournalDetail ON tblItemMaster.ItemID = tblStockJournalDetail.ItemID where invID=3 ORDER BY tblStockJournalDetail.SlNo
GO

-- stock of the transfer (expiry off, batches on)
-- on: central
-- expect-rows: 3
SELECT     tblItemMaster.BlnExpiryItem, tblStock.SupplierID, tblStock.GodownID, tblStock.CCID, tblItemMaster.AlterUnitConversion, '12-Jan-2020' AS Expiry,tblItemMaster.ItemID, tblItemMaster.ProductTypeID, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblItemMaster.CategoryID, tblItemMaster.Description, tblItemMaster.Unit, tblItemMaster.AlterUnit, tblItemMaster.AlterUnit2, tblItemMaster.TaxClassID, tblItemMaster.Rack, tblItemMaster.Manufacturer, tblCategories.Category, tblItemMaster.ProductType, tblStock.Prate AS ValuationRate, tblStock.Prate, tblStock.Crate, tblStock.SRate, tblStock.Mrp, tblStock.BatchUnique, tblStock.BatchCode, tblStock.PRateAU, tblStock.SrateAU, tblStock.CRateAU, tblStock.MRPAU, tblStock.PrateAU2, tblStock.SrateAU2, tblStock.CRateAU2, tblStock.MRPAU2, SUM(tblStockHistory_1.QtyIN) AS Qty  FROM         tblCategories INNER JOIN  tblItemMaster INNER JOIN tblStock ON tblItemMaster.ItemID = tblStock.ItemID ON tblCategories.CategoryID = tblItemMaster.CategoryID INNER JOIN tblStockHistory AS tblStockHistory_1 ON tblStock.ItemID = tblStockHistory_1.ItemID  AND tblStock.BatchUnique = tblStockHistory_1.BatchUnique   AND tblStock.CCID = tblStockHistory_1.CCID GROUP BY tblItemMaster.BlnExpiryItem, tblStock.SupplierID, tblStock.GodownID, tblStock.CCID, tblItemMaster.AlterUnitConversion, tblItemMaster.ItemID, tblItemMaster.ProductTypeID, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblItemMaster.CategoryID, tblItemMaster.Description, tblItemMaster.Unit, tblItemMaster.AlterUnit, tblItemMaster.AlterUnit2, tblItemMaster.TaxClassID, tblItemMaster.Rack, tblItemMaster.Manufacturer, tblCategories.Category, tblItemMaster.ProductType, tblStock.Prate, tblStock.Crate, tblStock.SRate, tblStock.Mrp, tblStock.BatchUnique,   tblStock.BatchCode, tblStock.PRateAU, tblStock.SrateAU, tblStock.CRateAU, tblStock.MRPAU, tblStock.PrateAU2, tblStock.SrateAU2, tblStock.CRateAU2, tblStock.MRPAU2,tblStock.MRPAU2, tblStockHistory_1.RefId, tblStockHistory_1.VchTypeID  Having tblStock.CCID = 2 And vchtypeID = 16 And refID = 3
GO

-- stock of the transfer (expiry off, batches off)
-- on: central
-- expect-rows: 3
SELECT     tblItemMaster.BlnExpiryItem, tblStock.SupplierID, tblStock.GodownID, tblStock.CCID, tblItemMaster.AlterUnitConversion, '12-Jan-2020' AS Expiry,tblItemMaster.ItemID, tblItemMaster.ProductTypeID, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblItemMaster.CategoryID, tblItemMaster.Description, tblItemMaster.Unit, tblItemMaster.AlterUnit, tblItemMaster.AlterUnit2, tblItemMaster.TaxClassID, tblItemMaster.Rack, tblItemMaster.Manufacturer, tblCategories.Category, tblItemMaster.ProductType, tblStock.Prate AS ValuationRate, tblStock.Prate, tblStock.Crate, tblStock.SRate, tblStock.Mrp, tblStock.BatchUnique, tblStock.BatchCode, tblStock.PRateAU, tblStock.SrateAU, tblStock.CRateAU, tblStock.MRPAU, tblStock.PrateAU2, tblStock.SrateAU2, tblStock.CRateAU2, tblStock.MRPAU2, SUM(tblStockHistory_1.QtyIN) AS Qty  FROM         tblCategories INNER JOIN  tblItemMaster INNER JOIN tblStock ON tblItemMaster.ItemID = tblStock.ItemID ON tblCategories.CategoryID = tblItemMaster.CategoryID INNER JOIN tblStockHistory AS tblStockHistory_1 ON tblStock.ItemID = tblStockHistory_1.ItemID   AND tblStock.CCID = tblStockHistory_1.CCID GROUP BY tblItemMaster.BlnExpiryItem, tblStock.SupplierID, tblStock.GodownID, tblStock.CCID, tblItemMaster.AlterUnitConversion, tblItemMaster.ItemID, tblItemMaster.ProductTypeID, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblItemMaster.CategoryID, tblItemMaster.Description, tblItemMaster.Unit, tblItemMaster.AlterUnit, tblItemMaster.AlterUnit2, tblItemMaster.TaxClassID, tblItemMaster.Rack, tblItemMaster.Manufacturer, tblCategories.Category, tblItemMaster.ProductType, tblStock.Prate, tblStock.Crate, tblStock.SRate, tblStock.Mrp, tblStock.BatchUnique,   tblStock.BatchCode, tblStock.PRateAU, tblStock.SrateAU, tblStock.CRateAU, tblStock.MRPAU, tblStock.PrateAU2, tblStock.SrateAU2, tblStock.CRateAU2, tblStock.MRPAU2,tblStock.MRPAU2, tblStockHistory_1.RefId, tblStockHistory_1.VchTypeID  Having tblStock.CCID = 2 And vchtypeID = 16 And refID = 3
GO

-- stock of the transfer (expiry on, batches on)
-- on: central
-- expect-rows: 3
SELECT     tblItemMaster.BlnExpiryItem, tblStock.SupplierID, tblStock.GodownID, tblStock.CCID, tblItemMaster.AlterUnitConversion, tblstock.expiry AS Expiry,tblItemMaster.ItemID, tblItemMaster.ProductTypeID, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblItemMaster.CategoryID, tblItemMaster.Description, tblItemMaster.Unit, tblItemMaster.AlterUnit, tblItemMaster.AlterUnit2, tblItemMaster.TaxClassID, tblItemMaster.Rack, tblItemMaster.Manufacturer, tblCategories.Category, tblItemMaster.ProductType, tblStock.Prate AS ValuationRate, tblStock.Prate, tblStock.Crate, tblStock.SRate, tblStock.Mrp, tblStock.BatchUnique, tblStock.BatchCode, tblStock.PRateAU, tblStock.SrateAU, tblStock.CRateAU, tblStock.MRPAU, tblStock.PrateAU2, tblStock.SrateAU2, tblStock.CRateAU2, tblStock.MRPAU2, SUM(tblStockHistory_1.QtyIN) AS Qty  FROM         tblCategories INNER JOIN  tblItemMaster INNER JOIN tblStock ON tblItemMaster.ItemID = tblStock.ItemID ON tblCategories.CategoryID = tblItemMaster.CategoryID INNER JOIN tblStockHistory AS tblStockHistory_1 ON tblStock.ItemID = tblStockHistory_1.ItemID  AND tblStock.BatchUnique = tblStockHistory_1.BatchUnique   AND tblStock.CCID = tblStockHistory_1.CCID GROUP BY tblItemMaster.BlnExpiryItem, tblStock.SupplierID, tblStock.GodownID, tblStock.CCID, tblItemMaster.AlterUnitConversion, tblItemMaster.ItemID, tblItemMaster.ProductTypeID, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblItemMaster.CategoryID, tblItemMaster.Description, tblItemMaster.Unit, tblItemMaster.AlterUnit, tblItemMaster.AlterUnit2, tblItemMaster.TaxClassID, tblItemMaster.Rack, tblItemMaster.Manufacturer, tblCategories.Category, tblItemMaster.ProductType, tblStock.Prate, tblStock.Crate, tblStock.SRate, tblStock.Mrp, tblStock.BatchUnique,   tblStock.expiry,tblStock.BatchCode, tblStock.PRateAU, tblStock.SrateAU, tblStock.CRateAU, tblStock.MRPAU, tblStock.PrateAU2, tblStock.SrateAU2, tblStock.CRateAU2, tblStock.MRPAU2,tblStock.MRPAU2, tblStockHistory_1.RefId, tblStockHistory_1.VchTypeID  Having tblStock.CCID = 2 And vchtypeID = 16 And refID = 3
GO

-- stock of the transfer (expiry on, batches off)
-- on: central
-- expect-rows: 3
SELECT     tblItemMaster.BlnExpiryItem, tblStock.SupplierID, tblStock.GodownID, tblStock.CCID, tblItemMaster.AlterUnitConversion, tblstock.expiry AS Expiry,tblItemMaster.ItemID, tblItemMaster.ProductTypeID, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblItemMaster.CategoryID, tblItemMaster.Description, tblItemMaster.Unit, tblItemMaster.AlterUnit, tblItemMaster.AlterUnit2, tblItemMaster.TaxClassID, tblItemMaster.Rack, tblItemMaster.Manufacturer, tblCategories.Category, tblItemMaster.ProductType, tblStock.Prate AS ValuationRate, tblStock.Prate, tblStock.Crate, tblStock.SRate, tblStock.Mrp, tblStock.BatchUnique, tblStock.BatchCode, tblStock.PRateAU, tblStock.SrateAU, tblStock.CRateAU, tblStock.MRPAU, tblStock.PrateAU2, tblStock.SrateAU2, tblStock.CRateAU2, tblStock.MRPAU2, SUM(tblStockHistory_1.QtyIN) AS Qty  FROM         tblCategories INNER JOIN  tblItemMaster INNER JOIN tblStock ON tblItemMaster.ItemID = tblStock.ItemID ON tblCategories.CategoryID = tblItemMaster.CategoryID INNER JOIN tblStockHistory AS tblStockHistory_1 ON tblStock.ItemID = tblStockHistory_1.ItemID   AND tblStock.CCID = tblStockHistory_1.CCID GROUP BY tblItemMaster.BlnExpiryItem, tblStock.SupplierID, tblStock.GodownID, tblStock.CCID, tblItemMaster.AlterUnitConversion, tblItemMaster.ItemID, tblItemMaster.ProductTypeID, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblItemMaster.CategoryID, tblItemMaster.Description, tblItemMaster.Unit, tblItemMaster.AlterUnit, tblItemMaster.AlterUnit2, tblItemMaster.TaxClassID, tblItemMaster.Rack, tblItemMaster.Manufacturer, tblCategories.Category, tblItemMaster.ProductType, tblStock.Prate, tblStock.Crate, tblStock.SRate, tblStock.Mrp, tblStock.BatchUnique,   tblStock.expiry,tblStock.BatchCode, tblStock.PRateAU, tblStock.SrateAU, tblStock.CRateAU, tblStock.MRPAU, tblStock.PrateAU2, tblStock.SrateAU2, tblStock.CRateAU2, tblStock.MRPAU2,tblStock.MRPAU2, tblStockHistory_1.RefId, tblStockHistory_1.VchTypeID  Having tblStock.CCID = 2 And vchtypeID = 16 And refID = 3
GO

-- stock of a purchase
-- on: central
-- expect-rows: 2
SELECT     tblItemMaster.BlnExpiryItem, tblStock.SupplierID, tblStock.GodownID, tblStock.CCID, tblItemMaster.AlterUnitConversion, '12-Jan-2020' AS Expiry,tblItemMaster.ItemID, tblItemMaster.ProductTypeID, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblItemMaster.CategoryID, tblItemMaster.Description, tblItemMaster.Unit, tblItemMaster.AlterUnit, tblItemMaster.AlterUnit2, tblItemMaster.TaxClassID, tblItemMaster.Rack, tblItemMaster.Manufacturer, tblCategories.Category, tblItemMaster.ProductType, tblStock.Prate AS ValuationRate, tblStock.Prate, tblStock.Crate, tblStock.SRate, tblStock.Mrp, tblStock.BatchUnique, tblStock.BatchCode, tblStock.PRateAU, tblStock.SrateAU, tblStock.CRateAU, tblStock.MRPAU, tblStock.PrateAU2, tblStock.SrateAU2, tblStock.CRateAU2, tblStock.MRPAU2, SUM(tblStockHistory_1.QtyIN) AS Qty  FROM         tblCategories INNER JOIN  tblItemMaster INNER JOIN tblStock ON tblItemMaster.ItemID = tblStock.ItemID ON tblCategories.CategoryID = tblItemMaster.CategoryID INNER JOIN tblStockHistory AS tblStockHistory_1 ON tblStock.ItemID = tblStockHistory_1.ItemID  AND tblStock.BatchUnique = tblStockHistory_1.BatchUnique   AND tblStock.CCID = tblStockHistory_1.CCID GROUP BY tblItemMaster.BlnExpiryItem, tblStock.SupplierID, tblStock.GodownID, tblStock.CCID, tblItemMaster.AlterUnitConversion, tblItemMaster.ItemID, tblItemMaster.ProductTypeID, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblItemMaster.CategoryID, tblItemMaster.Description, tblItemMaster.Unit, tblItemMaster.AlterUnit, tblItemMaster.AlterUnit2, tblItemMaster.TaxClassID, tblItemMaster.Rack, tblItemMaster.Manufacturer, tblCategories.Category, tblItemMaster.ProductType, tblStock.Prate, tblStock.Crate, tblStock.SRate, tblStock.Mrp, tblStock.BatchUnique,   tblStock.BatchCode, tblStock.PRateAU, tblStock.SrateAU, tblStock.CRateAU, tblStock.MRPAU, tblStock.PrateAU2, tblStock.SrateAU2, tblStock.CRateAU2, tblStock.MRPAU2,tblStock.MRPAU2, tblStockHistory_1.RefId, tblStockHistory_1.VchTypeID  Having tblStock.CCID = 2 And vchtypeID = 2 And refID = 1
GO

-- re-import: the journal of an earlier import
-- on: branch
-- expect-rows: 0
Select * from tblStockJournal where ProfileID=16 and RefNo='3'
GO

-- re-import: delete the earlier journal
-- on: branch
-- expect-rows: 0
 delete from tblStockJournal where INvID=1
GO

-- re-import: delete its lines
-- on: branch
-- expect-rows: 0
 delete from tblStockJournalDetail where INvID=1
GO

-- NextId of the journal
-- on: branch
-- expect-value: NULL
Select max(invid) + 1 as MAxid from tblStockJournal
GO

-- opening journal of the transfer
-- on: branch
-- expect-rows: 1
 insert into tblStockJournal(VchID,InvId,InvNo,RefNO,AutoNum,SortNumber,InvDate,VchType,MOP,LedgerId,Party,Discount,TaxType,TaxAmt,Astamt,GrossAmt,BillAmt,OtherExpense,ComputerName,Taxable,NonTaxable,UsConversion,UsAmount,OrderInfo,DespatchInfo,ItemDiscountTotal,UserNarration,SalesManID,Cancelled,CCID,currencyid,OrderIds,VchTypeid,RoundOff,RoundOffMode,RoundOffBlock,BuyersName,PreCarriageBy,PlaceofReceiptbyPC,FlightNo,PortOfLoading,TermsofDelivery,FinalDestination,Countryoforigin,CountryOfDestination,GrossWeight,OutStandingAmt,ReceiptAmt,ReceiptID,CessOntax,NoteIDs,UserName,DiscPer,CustDiscPer,CardLedgerID,CustomField1,CustomField2,CustomField3,CustomField4,PartyAddress,MRPValue,UserID,AgentID ,Accounts,CashDiscount, SaleAmount  ,DPerType_ManualCalc_Customer,deliveryNoteNo,ICF3Tot,ICF4Tot,DestCCID,NetAmount,ProfileID,RegNo,BlnWaitForAuthorisation,BillTime,ServInvID) values (1,1,'1','3',0,1,'06/Dec/2026','Opening(FromTransfer)','Cash',100,'',0,'<None>',0,0,0,0,0,'synch',0,0,1,0,'','',0,'',1,0,2,1,'0',1005,0,0,0,'','','','','','','','','','','0','0',0,0,'0','QMR',0,0,0,'','',0,0,'',480 ,1,0,0,0,0,3,'',0,0,0,0,16,'',0,'11:47 AM',3)
GO

-- journal line
-- on: branch
-- expect-rows: 1
 insert into tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batch,TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode,ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1,iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerAU2,MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierID,HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) values  (1,1,1,10,0,380,380,420,450,0,'B00001',0,0,0,0,1,0,'','','0','B00001',0,0,0,0,0,0,'12/Jan/2020',1,'','',0,0,0,0,0,0,0,0,0,0,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,'','','',1,'B00001')
GO

-- journal line, stock out
-- on: branch
-- expect-rows: 1
 insert into tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batch,TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode,ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1,iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerAU2,MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierID,HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) values  (1,1,2,0,4,140,140,155,165,0,'B00002',0,0,0,0,1,0,'','','0','B00002',0,0,0,0,0,0,'12/Jan/2020',1,'','',0,0,0,0,0,0,0,0,0,0,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,'','','',1,'B00002')
GO

-- check: the journal names the central voucher
-- on: branch
-- expect-rows: 1
Select * from tblStockJournal where ProfileID=16 and RefNo='3'
GO

-- check: the bill time
-- on: branch
-- expect-value: 1900-01-01 11:47:00.000
SELECT BillTime FROM tblStockJournal WHERE InvId = 1
GO

-- unattended import: every waiting voucher of every type, no day start shown
-- on: central
-- expect-rows: 2
SELECT v.VchTypeID, t.ParentID, v.InvId, v.InvNo, v.InvDate, v.BillTime, v.Party, v.Customfield1, (Select top 1 isnull(SQLSERVERNAME,'') from [tblDayActivity] where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 and isnull(SQLSERVERNAME,'')<>'Branch One' order by ID) AS Holder, (Select top 1 Getdate() from tblSettings) AS ServDate, (Select top 1 getutcdate() from tblSettings) AS ServUtc FROM tblPurchase v INNER JOIN tblVchType t ON t.VchTypeID = v.VchTypeID WHERE t.ParentID = 2 and isnull(v.Customfield1,'')<>'DOWNLAODED' and (v.CCID = 2 ) and exists (Select 1 from tblStockHistory h where h.VchTypeID = v.VchTypeID and h.CCID = 2 and h.QtyIN > 0) UNION ALL SELECT v.VchTypeID, t.ParentID, v.InvId, v.InvNo, v.InvDate, v.BillTime, v.Party, v.Customfield1, (Select top 1 isnull(SQLSERVERNAME,'') from [tblDayActivity] where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 and isnull(SQLSERVERNAME,'')<>'Branch One' order by ID) AS Holder, (Select top 1 Getdate() from tblSettings) AS ServDate, (Select top 1 getutcdate() from tblSettings) AS ServUtc FROM tblStockJournal v INNER JOIN tblVchType t ON t.VchTypeID = v.VchTypeID WHERE t.ParentID in (5,6) and isnull(v.Customfield1,'')<>'DOWNLAODED' and (v.CCID = 2  ) and exists (Select 1 from tblStockHistory h where h.VchTypeID = v.VchTypeID and h.CCID = 2 and h.QtyIN > 0) UNION ALL SELECT v.VchTypeID, t.ParentID, v.InvId, v.InvNo, v.InvDate, v.BillTime, v.Party, v.Customfield1, (Select top 1 isnull(SQLSERVERNAME,'') from [tblDayActivity] where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 and isnull(SQLSERVERNAME,'')<>'Branch One' order by ID) AS Holder, (Select top 1 Getdate() from tblSettings) AS ServDate, (Select top 1 getutcdate() from tblSettings) AS ServUtc FROM tblStockJournal v INNER JOIN tblVchType t ON t.VchTypeID = v.VchTypeID WHERE t.ParentID = 16 and isnull(v.Customfield1,'')<>'DOWNLAODED' and (v.DestCCID = 2  ) and exists (Select 1 from tblStockHistory h where h.VchTypeID = v.VchTypeID and h.CCID = 2 and h.QtyIN > 0) ORDER BY VchTypeID, InvDate desc, InvId desc
GO

-- import: the voucher type, another branch's push lock, head office's clock
-- on: central
-- expect-value: 16
select (select top 1 ParentID from tblVchtype where VchTypeID=16) as ParentID, (Select top 1 isnull(SQLSERVERNAME,'') from [tblDayActivity] where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 and isnull(SQLSERVERNAME,'')<>'Branch One' order by ID) as Holder, (Select top 1 Getdate() from tblSettings) AS ServDate, (Select top 1 getutcdate() from tblSettings) AS ServUtc
GO

-- mark the purchase downloaded, the push lock taken and given back in its transaction
-- on: central
-- newline: CRLF
SET XACT_ABORT ON
DECLARE @lock int, @holder varchar(50)
BEGIN TRANSACTION
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and (SQLSERVERNAME='Branch One' or BlockDataEntry is null or BlockDataEntry<>1 or (Timeof is null or DATEDIFF(second, Timeof, getDate()) >= 50 or DATEDIFF(second, Timeof, getDate()) <= -50))
 INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,ActivitiesDetail,Timeof) Select 'BLOCKFASTPUSH',1,'Branch One','','Blocking for data pushing from client',getDate() where not exists (Select 1 from [tblDayActivity] with (updlock, holdlock) where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50)
SELECT @lock = count(*) FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' AND BlockDataEntry=1 AND SQLSERVERNAME='Branch One'
SELECT TOP 1 @holder = SQLSERVERNAME FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 ORDER BY ID
IF @lock > 0
BEGIN
update  tblPurchase set Customfield1='DOWNLAODED' where INvID=1
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and SQLSERVERNAME='Branch One'
END
COMMIT TRANSACTION
SET XACT_ABORT OFF
SELECT @lock AS LockHeld, @holder AS Holder
GO

-- mark the stock journal downloaded, the push lock taken and given back in its transaction
-- on: central
-- newline: CRLF
SET XACT_ABORT ON
DECLARE @lock int, @holder varchar(50)
BEGIN TRANSACTION
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and (SQLSERVERNAME='Branch One' or BlockDataEntry is null or BlockDataEntry<>1 or (Timeof is null or DATEDIFF(second, Timeof, getDate()) >= 50 or DATEDIFF(second, Timeof, getDate()) <= -50))
 INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,ActivitiesDetail,Timeof) Select 'BLOCKFASTPUSH',1,'Branch One','','Blocking for data pushing from client',getDate() where not exists (Select 1 from [tblDayActivity] with (updlock, holdlock) where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50)
SELECT @lock = count(*) FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' AND BlockDataEntry=1 AND SQLSERVERNAME='Branch One'
SELECT TOP 1 @holder = SQLSERVERNAME FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 ORDER BY ID
IF @lock > 0
BEGIN
update  tblsTOCKjOURNAL set Customfield1='DOWNLAODED' where INvID=3
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and SQLSERVERNAME='Branch One'
END
COMMIT TRANSACTION
SET XACT_ABORT OFF
SELECT @lock AS LockHeld, @holder AS Holder
GO

-- check: the marks are written and no lock row is left
-- on: central
-- expect-value: 2
SELECT (SELECT count(*) FROM tblPurchase WHERE InvID = 1 AND Customfield1 = 'DOWNLAODED') + (SELECT count(*) FROM tblStockJournal WHERE InvID = 3 AND Customfield1 = 'DOWNLAODED') + (SELECT count(*) FROM tblDayActivity WHERE Activity = 'BLOCKFASTPUSH')
GO

-- unattended import: every waiting voucher of every type since the day start shown (all marked)
-- on: central
-- expect-rows: 0
SELECT v.VchTypeID, t.ParentID, v.InvId, v.InvNo, v.InvDate, v.BillTime, v.Party, v.Customfield1, (Select top 1 isnull(SQLSERVERNAME,'') from [tblDayActivity] where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 and isnull(SQLSERVERNAME,'')<>'Branch One' order by ID) AS Holder, (Select top 1 Getdate() from tblSettings) AS ServDate, (Select top 1 getutcdate() from tblSettings) AS ServUtc FROM tblPurchase v INNER JOIN tblVchType t ON t.VchTypeID = v.VchTypeID WHERE t.ParentID = 2 and isnull(v.Customfield1,'')<>'DOWNLAODED' and v.StockDate>='2026-12-01' and v.BillTime>'09:30 AM' and  v.StockDate='2026-12-05' and (v.CCID = 2 ) and exists (Select 1 from tblStockHistory h where h.VchTypeID = v.VchTypeID and h.CCID = 2 and h.QtyIN > 0) UNION ALL SELECT v.VchTypeID, t.ParentID, v.InvId, v.InvNo, v.InvDate, v.BillTime, v.Party, v.Customfield1, (Select top 1 isnull(SQLSERVERNAME,'') from [tblDayActivity] where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 and isnull(SQLSERVERNAME,'')<>'Branch One' order by ID) AS Holder, (Select top 1 Getdate() from tblSettings) AS ServDate, (Select top 1 getutcdate() from tblSettings) AS ServUtc FROM tblStockJournal v INNER JOIN tblVchType t ON t.VchTypeID = v.VchTypeID WHERE t.ParentID in (5,6) and isnull(v.Customfield1,'')<>'DOWNLAODED' and v.InvDate>='2026-12-01' and v.BillTime>'09:30 AM' and v.INvDate>='2026-12-05' and (v.CCID = 2  ) and exists (Select 1 from tblStockHistory h where h.VchTypeID = v.VchTypeID and h.CCID = 2 and h.QtyIN > 0) UNION ALL SELECT v.VchTypeID, t.ParentID, v.InvId, v.InvNo, v.InvDate, v.BillTime, v.Party, v.Customfield1, (Select top 1 isnull(SQLSERVERNAME,'') from [tblDayActivity] where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 and isnull(SQLSERVERNAME,'')<>'Branch One' order by ID) AS Holder, (Select top 1 Getdate() from tblSettings) AS ServDate, (Select top 1 getutcdate() from tblSettings) AS ServUtc FROM tblStockJournal v INNER JOIN tblVchType t ON t.VchTypeID = v.VchTypeID WHERE t.ParentID = 16 and isnull(v.Customfield1,'')<>'DOWNLAODED' and v.InvDate>='2026-12-01' and v.BillTime>'09:30 AM' and (v.DestCCID = 2  ) and exists (Select 1 from tblStockHistory h where h.VchTypeID = v.VchTypeID and h.CCID = 2 and h.QtyIN > 0) ORDER BY VchTypeID, InvDate desc, InvId desc
GO

-- check: the list shows the mark
-- on: central
-- expect-rows: 1
select  top 50 InvId, InvNo, InvDate,BillTime, Party,Customfield1 From tblStockJournal Where VchTypeID=16 and (DestCCID = 2  ) oRDER BY InvDate desc 
GO

-- Stock Transfer page (Stock Transfer)
-- on: central
 SELECT  Distinct tblStockHistory.VchTypeID, tblVchType.VchType FROM     tblStockHistory INNER JOIN  tblVchType ON tblStockHistory.VchTypeID = tblVchType.VchTypeID Where ParentID in(6,5,16,2,1005) and CCID =2 and (tblStockHistory.qtyIN > 0) 
GO

-- Day start: the branch locks and empties its stock and postings, reads the opening stock and
-- ledger balances of its cost centre from the central database, and writes the opening journal.
GO

-- lock the branch sales up to the working date
-- on: branch
-- expect-rows: 0
update tblSales set  LockMode=1 where iNVdate <='06/Dec/2026' 
GO

-- sales entered on the working date
-- on: branch
-- expect-rows: 0
Select * from tblSales where iNVdate ='06/Dec/2026' 
GO

-- empty the branch stock and postings
-- on: branch
-- expect-rows: 0
Delete from tblStock 
GO

-- empty the branch stock and postings
-- on: branch
-- expect-rows: 0
Delete from tblVoucher 
GO

-- empty the branch stock and postings
-- on: branch
-- expect-rows: 0
Delete from tblStockHistory 
GO

-- opening stock query, no expiry, batches
-- on: central
-- expect-rows: 50
SELECT     dbo.tblItemMaster.BlnExpiryItem, dbo.tblStock.SupplierID, dbo.tblStock.GodownID, dbo.tblStock.CCID, dbo.tblItemMaster.AlterUnitConversion, '12-May-2020' AS Expiry, dbo.tblItemMaster.ItemID, dbo.tblItemMaster.ProductTypeID, dbo.tblItemMaster.ItemCode, dbo.tblItemMaster.ItemName, dbo.tblItemMaster.CategoryID, dbo.tblItemMaster.Description, dbo.tblItemMaster.Unit, dbo.tblItemMaster.AlterUnit, dbo.tblItemMaster.AlterUnit2, dbo.tblItemMaster.TaxClassID, dbo.tblItemMaster.Rack, dbo.tblItemMaster.Manufacturer, dbo.tblCategories.Category, dbo.tblItemMaster.ProductType, dbo.tblStock.Prate AS ValuationRate, dbo.tblStock.Prate, dbo.tblStock.Crate, dbo.tblStock.SRate, dbo.tblStock.Mrp, dbo.tblStock.BatchUnique,dbo.tblStock.BatchCode, dbo.tblStock.PRateAU, dbo.tblStock.SrateAU, dbo.tblStock.CRateAU, dbo.tblStock.MRPAU, dbo.tblStock.PrateAU2, dbo.tblStock.SrateAU2, dbo.tblStock.CRateAU2, dbo.tblStock.MRPAU2, (SELECT     SUM(QtyIN - QtyOut) AS Expr1 From dbo.tblStockHistory  WHERE      (ItemID = dbo.tblStock.ItemID) AND (dbo.tblStock.CCID = CCID)   AND (dbo.tblStock.BatchUnique = BatchUnique)) Qty  FROM         dbo.tblCategories INNER JOIN                       dbo.tblItemMaster INNER JOIN                       dbo.tblStock ON dbo.tblItemMaster.ItemID = dbo.tblStock.ItemID ON dbo.tblCategories.CategoryID = dbo.tblItemMaster.CategoryID   where ccId=2
GO

-- opening stock query, no expiry, no batches
-- on: central
-- expect-rows: 50
SELECT     dbo.tblItemMaster.BlnExpiryItem, dbo.tblStock.SupplierID, dbo.tblStock.GodownID, dbo.tblStock.CCID, dbo.tblItemMaster.AlterUnitConversion, '12-May-2020' AS Expiry, dbo.tblItemMaster.ItemID, dbo.tblItemMaster.ProductTypeID, dbo.tblItemMaster.ItemCode, dbo.tblItemMaster.ItemName, dbo.tblItemMaster.CategoryID, dbo.tblItemMaster.Description, dbo.tblItemMaster.Unit, dbo.tblItemMaster.AlterUnit, dbo.tblItemMaster.AlterUnit2, dbo.tblItemMaster.TaxClassID, dbo.tblItemMaster.Rack, dbo.tblItemMaster.Manufacturer, dbo.tblCategories.Category, dbo.tblItemMaster.ProductType, dbo.tblStock.Prate AS ValuationRate, dbo.tblStock.Prate, dbo.tblStock.Crate, dbo.tblStock.SRate, dbo.tblStock.Mrp, dbo.tblStock.BatchUnique,dbo.tblStock.BatchCode, dbo.tblStock.PRateAU, dbo.tblStock.SrateAU, dbo.tblStock.CRateAU, dbo.tblStock.MRPAU, dbo.tblStock.PrateAU2, dbo.tblStock.SrateAU2, dbo.tblStock.CRateAU2, dbo.tblStock.MRPAU2, (SELECT     SUM(QtyIN - QtyOut) AS Expr1 From dbo.tblStockHistory  WHERE      (ItemID = dbo.tblStock.ItemID) AND (dbo.tblStock.CCID = CCID)  ) Qty  FROM         dbo.tblCategories INNER JOIN                       dbo.tblItemMaster INNER JOIN                       dbo.tblStock ON dbo.tblItemMaster.ItemID = dbo.tblStock.ItemID ON dbo.tblCategories.CategoryID = dbo.tblItemMaster.CategoryID   where ccId=2
GO

-- opening stock query, expiry, batches
-- on: central
-- expect-rows: 50
SELECT     dbo.tblItemMaster.BlnExpiryItem, dbo.tblStock.SupplierID, dbo.tblStock.GodownID, dbo.tblStock.CCID, dbo.tblItemMaster.AlterUnitConversion, tblstock.expiry as  Expiry, dbo.tblItemMaster.ItemID, dbo.tblItemMaster.ProductTypeID, dbo.tblItemMaster.ItemCode, dbo.tblItemMaster.ItemName, dbo.tblItemMaster.CategoryID, dbo.tblItemMaster.Description, dbo.tblItemMaster.Unit, dbo.tblItemMaster.AlterUnit, dbo.tblItemMaster.AlterUnit2, dbo.tblItemMaster.TaxClassID, dbo.tblItemMaster.Rack, dbo.tblItemMaster.Manufacturer, dbo.tblCategories.Category, dbo.tblItemMaster.ProductType, dbo.tblStock.Prate AS ValuationRate, dbo.tblStock.Prate, dbo.tblStock.Crate, dbo.tblStock.SRate, dbo.tblStock.Mrp, dbo.tblStock.BatchUnique,dbo.tblStock.BatchCode, dbo.tblStock.PRateAU, dbo.tblStock.SrateAU, dbo.tblStock.CRateAU, dbo.tblStock.MRPAU, dbo.tblStock.PrateAU2, dbo.tblStock.SrateAU2, dbo.tblStock.CRateAU2, dbo.tblStock.MRPAU2, (SELECT     SUM(QtyIN - QtyOut) AS Expr1 From dbo.tblStockHistory  WHERE      (ItemID = dbo.tblStock.ItemID) AND (dbo.tblStock.CCID = CCID)  AND (dbo.tblStock.BatchUnique = BatchUnique)) Qty  FROM         dbo.tblCategories INNER JOIN                       dbo.tblItemMaster INNER JOIN                       dbo.tblStock ON dbo.tblItemMaster.ItemID = dbo.tblStock.ItemID ON dbo.tblCategories.CategoryID = dbo.tblItemMaster.CategoryID   where ccId=2
GO

-- opening stock query, expiry, no batches
-- on: central
-- expect-rows: 50
SELECT     dbo.tblItemMaster.BlnExpiryItem, dbo.tblStock.SupplierID, dbo.tblStock.GodownID, dbo.tblStock.CCID, dbo.tblItemMaster.AlterUnitConversion, tblstock.expiry as  Expiry, dbo.tblItemMaster.ItemID, dbo.tblItemMaster.ProductTypeID, dbo.tblItemMaster.ItemCode, dbo.tblItemMaster.ItemName, dbo.tblItemMaster.CategoryID, dbo.tblItemMaster.Description, dbo.tblItemMaster.Unit, dbo.tblItemMaster.AlterUnit, dbo.tblItemMaster.AlterUnit2, dbo.tblItemMaster.TaxClassID, dbo.tblItemMaster.Rack, dbo.tblItemMaster.Manufacturer, dbo.tblCategories.Category, dbo.tblItemMaster.ProductType, dbo.tblStock.Prate AS ValuationRate, dbo.tblStock.Prate, dbo.tblStock.Crate, dbo.tblStock.SRate, dbo.tblStock.Mrp, dbo.tblStock.BatchUnique,dbo.tblStock.BatchCode, dbo.tblStock.PRateAU, dbo.tblStock.SrateAU, dbo.tblStock.CRateAU, dbo.tblStock.MRPAU, dbo.tblStock.PrateAU2, dbo.tblStock.SrateAU2, dbo.tblStock.CRateAU2, dbo.tblStock.MRPAU2, (SELECT     SUM(QtyIN - QtyOut) AS Expr1 From dbo.tblStockHistory  WHERE      (ItemID = dbo.tblStock.ItemID) AND (dbo.tblStock.CCID = CCID) ) Qty  FROM         dbo.tblCategories INNER JOIN                       dbo.tblItemMaster INNER JOIN                       dbo.tblStock ON dbo.tblItemMaster.ItemID = dbo.tblStock.ItemID ON dbo.tblCategories.CategoryID = dbo.tblItemMaster.CategoryID   where ccId=2
GO

-- check: a batch's quantity is its opening plus the transfer
-- on: central
-- expect-value: 27
SELECT SUM(QtyIN - QtyOut) AS Qty FROM tblStockHistory WHERE ItemID = 1 AND CCID = 2 AND BatchUnique = 'B00001'
GO

-- NextId of the opening journal
-- on: branch
-- expect-value: NULL
Select max(invid) + 1 as MAxid from tblStockJournal
GO

-- opening stock journal header
-- on: branch
-- expect-rows: 1
 insert into tblStockJournal(VchID,InvId,InvNo,RefNO,AutoNum,SortNumber,InvDate,VchType,MOP,LedgerId,Party,Discount,TaxType,TaxAmt,Astamt,GrossAmt,BillAmt,OtherExpense,ComputerName,Taxable,NonTaxable,UsConversion,UsAmount,OrderInfo,DespatchInfo,ItemDiscountTotal,UserNarration,SalesManID,Cancelled,CCID,currencyid,OrderIds,VchTypeid,RoundOff,RoundOffMode,RoundOffBlock,BuyersName,PreCarriageBy,PlaceofReceiptbyPC,FlightNo,PortOfLoading,TermsofDelivery,FinalDestination,Countryoforigin,CountryOfDestination,GrossWeight,OutStandingAmt,ReceiptAmt,ReceiptID,CessOntax,NoteIDs,UserName,DiscPer,CustDiscPer,CardLedgerID,CustomField1,CustomField2,CustomField3,CustomField4,PartyAddress,MRPValue,UserID,AgentID ,Accounts,CashDiscount, SaleAmount  ,DPerType_ManualCalc_Customer,deliveryNoteNo,ICF3Tot,ICF4Tot,DestCCID,NetAmount,ProfileID,RegNo,BlnWaitForAuthorisation) values (1,1,'1','',0,1,'06/Dec/2026','Opening','Cash',100,'',0,'<None>',0,0,0,0,0,'synch',0,0,1,0,'','',0,'',1,0,2,1,'0',1005,0,0,0,'','','','','','','','','','','0','0',0,0,'0','QMR',0,0,0,'','',0,0,'',480 ,1,0,0,0,0,3,'',0,0,0,0,0,'',0)
GO

-- opening stock journal line
-- on: branch
-- expect-rows: 1
 insert into tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batch,TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode,ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1,iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerAU2,MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierID,HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) values  (1,1,1,27,0,380,380,420,450,0,'B00001',0,0,0,0,1,0,'','','0','B00001',0,0,0,0,0,0,'12/May/2020',1,'','',0,0,0,0,0,0,0,0,0,0,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,'','','',1,'B00001')
GO

-- opening stock journal line with a quote in its batch code
-- on: branch
-- expect-rows: 1
 insert into tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batch,TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode,ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1,iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerAU2,MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierID,HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) values  (1,1,5,0,0,18,18,24,25,0,'LOT''5',0,0,0,0,1,0,'','','0','LOT''5',0,0,0,0,0,0,'12/May/2020',1,'','',0,0,0,0,0,0,0,0,0,0,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,'','','',1,'LOT''5')
GO

-- check: the expiry of the line
-- on: branch
-- expect-value: 2020-05-12 00:00:00.000
SELECT Expiry FROM tblStockJournalDetail WHERE ItemId = 1
GO

-- check: the batch code with its quote
-- on: branch
-- expect-value: LOT'5
SELECT BatchCode FROM tblStockJournalDetail WHERE ItemId = 5
GO

-- verify the stock: central total
-- on: central
-- expect-rows: 1
 SELECT     isnull(SUM(QTYIN-QtyOut),0) AS Qty From tblstockhistory Where (CCID = 2)
GO

-- verify the stock: branch total
-- on: branch
-- expect-value: 0
-- expect-rows: 1
 SELECT     isnull(SUM(QTYIN-QtyOut),0) AS Qty From tblstockhistory Where (CCID = 2)
GO

-- ledger balances of the cost centre
-- on: central
-- expect-rows: 6
SELECT     tblLedger.LID, SUM(tblVoucher.AmountD - tblVoucher.AmountC) AS Amount, tblLedger.LName FROM         tblVoucher INNER JOIN tblLedger ON tblVoucher.DrLID = tblLedger.LID Where (tblVoucher.CCID = 2) and tblLedger.LID >0  GROUP BY tblLedger.LID, tblLedger.LName
GO

-- Day Start
-- on: branch
Select top 1 InvID from tblSales where iNVdate ='2026-12-07T00:00:00.000' 
GO

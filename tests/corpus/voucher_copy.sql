-- Voucher copy builder: one voucher of each kind read at the branch, numbered and inserted
-- centrally with its details, then marked uploaded at the branch.
-- prepare: upgrade
GO

-- ERP: a sale at the branch
-- on: branch
-- expect-rows: 1
INSERT INTO tblSales (InvID, InvNo, InvDate, BillTime, VchType, VchTypeID, MOP, LedgerID, Party, GrossAmt, BillAmt, NetAmount, CCID, SalesManID, UserID, SyncStat) VALUES (1, 'S1-0001', '06/Dec/2026', '10:02:00 AM', 'Sales BR1', 201, 'Cash', 7, 'O''Brien Traders', 1190, 1190, 1190, 2, 1, 2, 0)
GO

-- ERP: a sale line
-- on: branch
-- expect-rows: 1
INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty, Rate, MRP, Amount, BatchCode, BatchUnique, ItemRemarks) VALUES (1, 1, 1, 1, 420, 450, 420, 'B00001', 'B00001', NULL)
GO

-- ERP: a sale line
-- on: branch
-- expect-rows: 1
INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty, Rate, MRP, Amount, BatchCode, BatchUnique, ItemRemarks) VALUES (2, 1, 2, 2, 155, 165, 310, 'B00002', 'B00002', 'gift wrap')
GO

-- ERP: a sale line
-- on: branch
-- expect-rows: 1
INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty, Rate, MRP, Amount, BatchCode, BatchUnique, ItemRemarks) VALUES (3, 1, 5, 19, 24, 25, 456, 'LOT''5', 'LOT''5', 'kid''s pack')
GO

-- ERP: a receipt at the branch
-- on: branch
-- expect-rows: 1
INSERT INTO tblNotes (VchID, VchNo, VchDate, BillTime, VchTypeID, LedgerID, CashLedgerID, Amount, Narration, CCID, UserID, SyncStat) VALUES (1, 'R1-0001', '06/Dec/2026', '10:05:00 AM', 202, 7, 1, 250, 'Part payment', 2, 2, 0)
GO

-- ERP: a stock journal at the branch
-- on: branch
-- expect-rows: 1
INSERT INTO tblStockJournal (VchID, InvId, InvNo, InvDate, VchType, MOP, LedgerId, Party, CCID, VchTypeid, UserName, BillTime, SyncStat) VALUES (1, 1, 'J1-0001', '06/Dec/2026', 'Stock Journal BR1', 'Cash', 100, 'Damaged in transit', 2, 204, 'cashier', '10:07:00 AM', 0)
GO

-- ERP: a stock journal line
-- on: branch
-- expect-rows: 1
INSERT INTO tblStockJournalDetail (slno, InvID, ItemId, QtyIn, QtyOut, PRate, Crate, Srate, MRP, BatchCode, Expiry, CCID, GodownID, BatchUnique) VALUES (1, 1, 2, 0, 1, 140, 140, 155, 165, 'B00002', '31/Dec/2027', 2, 1, 'B00002')
GO

-- ERP: a stock journal line
-- on: branch
-- expect-rows: 1
INSERT INTO tblStockJournalDetail (slno, InvID, ItemId, QtyIn, QtyOut, PRate, Crate, Srate, MRP, BatchCode, Expiry, CCID, GodownID, BatchUnique) VALUES (2, 1, 4, 0, 2, 62.5, 62.5, 72, 79.5, 'B00004', '31/Dec/2027', 2, 1, 'B00004')
GO

-- ERP: a job card at the branch
-- on: branch
-- expect-rows: 1
INSERT INTO tblJobcard (JobCardID, JobCardNo, JobCardDate, JobCardTime, VchTypeID, LedgerID, Party, Complaint, EstimateAmt, EmpID, CCID, Status, SyncStat) VALUES (1, 'C1-0001', '06/Dec/2026', '10:09:00 AM', 206, 8, 'Walk-in Customer', 'Mixer not starting', 350, 3, 2, 'Open', 0)
GO

-- ERP: a job card line
-- on: branch
-- expect-rows: 1
INSERT INTO tblJobCardDetail (SlNo, JobCardID, ItemID, Qty, Rate, Amount, WorkDone) VALUES (1, 1, 4, 1, 72, 72, 'Cleaned')
GO

-- ERP: a job card line
-- on: branch
-- expect-rows: 1
INSERT INTO tblJobCardDetail (SlNo, JobCardID, ItemID, Qty, Rate, Amount, WorkDone) VALUES (2, 1, 3, 1, 110, 110, NULL)
GO

-- ERP: a sales order at the branch
-- on: branch
-- expect-rows: 1
INSERT INTO tblOrder (InvID, InvNo, InvDate, BillTime, DeliveryDate, VchTypeID, LedgerID, Party, BillAmt, NetAmount, CCID, SyncStat) VALUES (1, 'O1-0001', '06/Dec/2026', '10:11:00 AM', '08/Dec/2026', 205, 7, 'O''Brien Traders', 840, 840, 2, 0)
GO

-- ERP: an order line
-- on: branch
-- expect-rows: 1
INSERT INTO tblOrderItem (SlNo, InvID, ItemID, Qty, Rate, MRP, Amount, BatchCode) VALUES (1, 1, 1, 2, 420, 450, 840, 'B00001')
GO

-- CreateInsertQueriesForTrans: header source
-- on: branch
-- expect-rows: 1
Select * from tblSales where  isnull(SyncStat,0)=0 and INvID=1
GO

-- CreateInsertQueriesForTrans: header source, manual re-sync
-- on: branch
-- expect-rows: 1
Select * from tblSales where  invDate='06/Dec/2026' and INvID=1
GO

-- NextCentralId
-- on: central
-- expect-value: NULL
-- expect-rows: 1
Select max(InvID) + 1 as MAxid from tblSales
GO

-- CreateInsertQueriesForTrans: header insert
-- on: central
-- expect-rows: 1
Insert into tblSales (InvID,InvNo,RefNo,AutoNum,SortNumber,InvDate,BillTime,VchType,VchTypeID,MOP,LedgerID,Party,PartyAddress,GrossAmt,Discount,TaxAmt,BillAmt,RoundOff,NetAmount,UserNarration,SalesManID,Cancelled,CCID,currencyid,UserID,UserName,ComputerName,CustomField1,LockMode,UserIDModified,SyncStat,ServInvID) values (1,'S1-0001',' ',0,0,'06/Dec/2026','01/Jan/1900 10:02:00 AM','Sales BR1',201,'Cash',7,'O''Brien Traders',' ',1190,0,0,1190,0,1190,' ',1,0,2,0,2,' ',' ',' ',0,0,0,0)
GO

-- CreateInsertQueriesForTrans: detail source
-- on: branch
-- expect-rows: 3
Select * from tblSalesItem Where InvID=1
GO

-- CreateInsertQueriesForTrans: detail insert
-- on: central
-- expect-rows: 1
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (1,1,1,1,0,0,420,0,0,450,0,0,0,420,'B00001','B00001',' ',0,' ')
GO

-- CreateInsertQueriesForTrans: detail insert
-- on: central
-- expect-rows: 1
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (2,1,2,2,0,0,155,0,0,165,0,0,0,310,'B00002','B00002',' ',0,'gift wrap')
GO

-- CreateInsertQueriesForTrans: detail insert
-- on: central
-- expect-rows: 1
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (3,1,5,19,0,0,24,0,0,25,0,0,0,456,'LOT''5','LOT''5',' ',0,'kid''s pack')
GO

-- CreateInsertQueriesForTrans: upload mark
-- on: branch
-- expect-rows: 1
update tblSales set SyncStat=1, ServInvID=1 where InvID=1
GO

-- CreateInsertQueriesForTrans: header source
-- on: branch
-- expect-rows: 1
Select * from tblNotes where isnull(SyncStat,0)=0 and VchID=1
GO

-- NextCentralId
-- on: central
-- expect-value: NULL
-- expect-rows: 1
Select max(VchID) + 1 as MAxid from tblNotes
GO

-- CreateInsertQueriesForTrans: header insert
-- on: central
-- expect-rows: 1
Insert into tblNotes (VchID,VchNo,VchDate,BillTime,VchTypeID,LedgerID,CashLedgerID,Amount,Narration,RefNo,CCID,UserID,Cancelled,LockMode,SyncStat,ServInvID) values (1,'R1-0001','06/Dec/2026','01/Jan/1900 10:05:00 AM',202,7,1,250,'Part payment',' ',2,2,0,0,0,0)
GO

-- CreateInsertQueriesForTrans: upload mark
-- on: branch
-- expect-rows: 1
update tblNotes set SyncStat=1, ServInvID=1 where VchID=1
GO

-- CreateInsertQueriesForTrans: header source
-- on: branch
-- expect-rows: 1
Select * from tblStockJournal where isnull(SyncStat,0)=0 and InvID=1
GO

-- NextCentralId
-- on: central
-- expect-value: 4
-- expect-rows: 1
Select max(InvID) + 1 as MAxid from tblStockJournal
GO

-- CreateInsertQueriesForTrans: header insert
-- on: central
-- expect-rows: 1
Insert into tblStockJournal (VchID,InvId,InvNo,RefNO,AutoNum,SortNumber,InvDate,VchType,MOP,LedgerId,Party,Discount,TaxType,TaxAmt,Astamt,GrossAmt,BillAmt,OtherExpense,ComputerName,Taxable,NonTaxable,UsConversion,UsAmount,OrderInfo,DespatchInfo,ItemDiscountTotal,UserNarration,SalesManID,Cancelled,CCID,currencyid,OrderIds,VchTypeid,RoundOff,RoundOffMode,RoundOffBlock,BuyersName,PreCarriageBy,PlaceofReceiptbyPC,FlightNo,PortOfLoading,TermsofDelivery,FinalDestination,Countryoforigin,CountryOfDestination,GrossWeight,OutStandingAmt,ReceiptAmt,ReceiptID,CessOntax,NoteIDs,UserName,DiscPer,CustDiscPer,CardLedgerID,CustomField1,CustomField2,CustomField3,CustomField4,PartyAddress,MRPValue,UserID,AgentID,Accounts,CashDiscount,SaleAmount,DPerType_ManualCalc_Customer,deliveryNoteNo,ICF3Tot,ICF4Tot,DestCCID,NetAmount,ProfileID,RegNo,BlnWaitForAuthorisation,BillTime,LockMode,SyncStat,ServInvID) values (1,4,'J1-0001',' ',0,0,'06/Dec/2026','Stock Journal BR1','Cash',100,'Damaged in transit',0,' ',0,0,0,0,0,' ',0,0,0,0,' ',' ',0,' ',0,0,2,0,' ',204,0,0,0,' ',' ',' ',' ',' ',' ',' ',' ',' ',' ',0,0,0,0,' ','cashier',0,0,0,' ',' ',' ',' ',' ',0,0,0,0,0,0,0,' ',0,0,0,0,0,' ',0,'01/Jan/1900 10:07:00 AM',0,0,0)
GO

-- CreateInsertQueriesForTrans: detail source
-- on: branch
-- expect-rows: 2
Select * from tblStockJournalDetail Where InvID=1
GO

-- CreateInsertQueriesForTrans: detail insert
-- on: central
-- expect-rows: 1
Insert into tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batch,TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode,ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1,iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerAU2,MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierID,HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) values (1,4,2,0,1,140,140,155,165,0,' ',0,0,0,0,0,0,' ',' ',' ','B00002',0,0,0,0,0,0,'31/Dec/2027',0,' ',' ',0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,2,0,0,0,' ',' ',' ',1,'B00002')
GO

-- CreateInsertQueriesForTrans: detail insert
-- on: central
-- expect-rows: 1
Insert into tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batch,TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode,ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1,iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerAU2,MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierID,HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) values (2,4,4,0,2,62.5,62.5,72,79.5,0,' ',0,0,0,0,0,0,' ',' ',' ','B00004',0,0,0,0,0,0,'31/Dec/2027',0,' ',' ',0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,2,0,0,0,' ',' ',' ',1,'B00004')
GO

-- CreateInsertQueriesForTrans: upload mark
-- on: branch
-- expect-rows: 1
update tblStockJournal set SyncStat=1, ServInvID=4 where InvID=1
GO

-- CreateInsertQueriesForTrans: header source
-- on: branch
-- expect-rows: 1
Select * from tblJobCard where isnull(SyncStat,0)=0 and JobCardID=1
GO

-- NextCentralId
-- on: central
-- expect-value: NULL
-- expect-rows: 1
Select max(JobCardID) + 1 as MAxid from tblJobCard
GO

-- CreateInsertQueriesForTrans: header insert
-- on: central
-- expect-rows: 1
Insert into tblJobCard (JobCardID,JobCardNo,JobCardDate,JobCardTime,DeliveryDate,VchTypeID,LedgerID,Party,Complaint,EstimateAmt,EmpID,CCID,UserID,Status,InvID,Cancelled,LockMode,SyncStat,ServInvID) values (1,'C1-0001','06/Dec/2026','01/Jan/1900 10:09:00 AM',' ',206,8,'Walk-in Customer','Mixer not starting',350,3,2,0,'Open',0,0,0,0,0)
GO

-- CreateInsertQueriesForTrans: detail source
-- on: branch
-- expect-rows: 2
Select * from tblJobCardDetail Where JobCardID=1
GO

-- CreateInsertQueriesForTrans: detail insert
-- on: central
-- expect-rows: 1
Insert into tblJobCardDetail (SlNo,JobCardID,ItemID,Qty,Rate,Amount,WorkDone) values (1,1,4,1,72,72,'Cleaned')
GO

-- CreateInsertQueriesForTrans: detail insert
-- on: central
-- expect-rows: 1
Insert into tblJobCardDetail (SlNo,JobCardID,ItemID,Qty,Rate,Amount,WorkDone) values (2,1,3,1,110,110,' ')
GO

-- CreateInsertQueriesForTrans: upload mark
-- on: branch
-- expect-rows: 1
update tblJobCard set SyncStat=1, ServInvID=1 where JobCardID=1
GO

-- CreateInsertQueriesForTrans: header source
-- on: branch
-- expect-rows: 1
Select * from tblOrder where isnull(SyncStat,0)=0 and inviD=1
GO

-- NextCentralId
-- on: central
-- expect-value: NULL
-- expect-rows: 1
Select max(InvID) + 1 as MAxid from tblOrder
GO

-- CreateInsertQueriesForTrans: header insert
-- on: central
-- expect-rows: 1
Insert into tblOrder (InvID,InvNo,InvDate,BillTime,DeliveryDate,VchTypeID,LedgerID,Party,BillAmt,NetAmount,UserNarration,SalesManID,CCID,UserID,Cancelled,CustomField1,LockMode,SyncStat,ServInvID) values (1,'O1-0001','06/Dec/2026','01/Jan/1900 10:11:00 AM','08/Dec/2026',205,7,'O''Brien Traders',840,840,' ',0,2,0,0,' ',0,0,0)
GO

-- CreateInsertQueriesForTrans: detail source
-- on: branch
-- expect-rows: 1
Select * from tblOrderItem Where InvID=1
GO

-- CreateInsertQueriesForTrans: detail insert
-- on: central
-- expect-rows: 1
Insert into tblOrderItem (SlNo,InvID,ItemID,Qty,Rate,MRP,Amount,BatchCode,ItemRemarks) values (1,1,1,2,420,450,840,'B00001',' ')
GO

-- CreateInsertQueriesForTrans: upload mark
-- on: branch
-- expect-rows: 1
update tblOrder set SyncStat=1, ServInvID=1 where InvID=1
GO

-- check: the sale's lines arrived under the central number
-- on: central
-- expect-value: 3
SELECT COUNT(*) AS Nos FROM tblSalesItem WHERE InvID = 1
GO

-- check: the apostrophe of a line's text
-- on: central
-- expect-value: kid's pack
SELECT ItemRemarks FROM tblSalesItem WHERE InvID = 1 AND SlNo = 3
GO

-- check: a NULL text arrives as a quoted blank
-- on: central
-- expect-value: [ ]
SELECT '[' + ItemRemarks + ']' AS Nos FROM tblSalesItem WHERE InvID = 1 AND SlNo = 1
GO

-- check: the note got its own row number centrally
-- on: central
-- expect-value: 1
SELECT COUNT(*) AS Nos FROM tblNotes WHERE ID = 1 AND VchID = 1
GO

-- check: the stock journal took the next central number
-- on: central
-- expect-value: 2
SELECT COUNT(*) AS Nos FROM tblStockJournalDetail WHERE InvID = 4
GO

-- check: the branch sale is marked uploaded
-- on: branch
-- expect-value: 1
SELECT ServInvID FROM tblSales WHERE InvID = 1 AND SyncStat = 1
GO

-- a detail insert that names a column head office lacks
-- on: central
-- expect-error: Invalid column name
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,WarrantyMonths) values (4,1,3,1,12)
GO

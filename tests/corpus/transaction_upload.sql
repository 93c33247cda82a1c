-- Transaction upload: the change-log query of an automatic run and of a manual re-sync, the
-- fallback query for vouchers never uploaded, and the marks of vouchers deleted at the branch.
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

-- uploadTransactions: change-log rows of the working date
-- on: branch
 select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from tblactivity O where ParentID in(1,3,5,7,8,9,10,14,18,41,42,43,44,45) and ISNULL(pARENTid,0) <> 0 AND Action not in('Update') and DateofAction='06/Dec/2026' and ID>0 and vchtypeID in (201,202,203,204,205,206,207)  Order by o.ID 
GO

-- uploadTransactions: change-log rows without a voucher-type filter
-- on: branch
 select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from tblactivity O where ParentID in(1,3,5,7,8,9,10,14,18,41,42,43,44,45) and ISNULL(pARENTid,0) <> 0 AND Action not in('Update') and DateofAction='06/Dec/2026' and ID>0  Order by o.ID 
GO

-- uploadTransactions: fallback query (vouchers never uploaded)
-- on: branch
-- expect-rows: 5
select * from (SELECT 0 as ID, 'tblSales' AS tablename, InvId AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat  FROM  tblSales WHERE  (SyncStat = 0) Union Select 0 as ID, 'tblNotes' AS tablename, VchId AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, vchDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM  tblNotes WHERE (SyncStat = 0)  Union Select 0 as ID, 'tblJobCard' AS tablename, Jobcardid AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, JobcardDate AS dateofaction, JObcardTime,SyncStat AS ActionTime FROM  tblJobCard WHERE (SyncStat = 0)  Union Select 0 as ID, 'tblOrder' AS tablename, InvId AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM  tblOrder WHERE (SyncStat = 0)  Union Select 0 as ID, 'tblStockJournal' AS tablename, InvId AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM  tblStockJournal WHERE (SyncStat = 0)) as M where m.dateofaction='06/Dec/2026' or SyncStat =0
GO

-- uploadTransactions: manual re-sync query
-- on: branch
 select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from tblactivity O where ParentID in(1,3,5,7,8,9,10,14,18,41,42,43,44,45) and ISNULL(pARENTid,0) <> 0 AND Action not in('Update') and DateofAction='06/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207) and id = (select max(A.id) from tblactivity A where o.tblUniqueID=a.tblUniqueID and o.tablename = a.tablename and a.Action not in('Update')) Order by o.ID 
GO

-- check: every voucher insert was logged
-- on: branch
-- expect-value: 5
SELECT COUNT(*) AS Nos FROM tblactivity WHERE Action = 'Insert' AND ISNULL(ParentID,0) <> 0
GO

-- ERP: the sale deleted at the branch after its upload
-- on: branch
-- expect-rows: 1
UPDATE tblSales SET SyncStat = 1, ServInvID = 812 WHERE InvID = 1
GO

-- ERP: the sale deleted at the branch after its upload
-- on: branch
-- expect-rows: 1
DELETE FROM tblSales WHERE InvID = 1
GO

-- check: the delete row carries the central number
-- on: branch
-- expect-value: 812
SELECT tblUniquerefID FROM tblactivity WHERE Action = 'Deleted'
GO

-- seed: the central copy of the sale
-- on: central
INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, Party, CCID) VALUES (812, 'S1-0001', '06/Dec/2026', 201, 'O''Brien Traders', 2)
GO

-- uploadTransactions: a voucher deleted at the branch (tblSales)
-- on: central
-- expect-rows: 1
update  tblSales set Party='#DELETEDFROMBRANCH#' where INvID=812
GO

-- uploadTransactions: a voucher deleted at the branch (tblNotes)
-- on: central
-- expect-rows: 0
update  tblNotes set NARRATION='#DELETEDFROMBRANCH#' where vchID=812
GO

-- uploadTransactions: a voucher deleted at the branch (tblStockJournal)
-- on: central
-- expect-rows: 0
update  tblStockJournal set Party='#DELETEDFROMBRANCH#' where INvID=812
GO

-- uploadTransactions: a voucher deleted at the branch (tblJobCard)
-- on: central
-- expect-rows: 0
update  tblJobCard set Party='#DELETEDFROMBRANCH#' where JobcardID=812
GO

-- uploadTransactions: a voucher deleted at the branch (tblOrder)
-- on: central
-- expect-rows: 0
update  tblOrder set Party='#DELETEDFROMBRANCH#' where INvID=812
GO

-- check: the central copy is marked, not deleted
-- on: central
-- expect-value: #DELETEDFROMBRANCH#
SELECT Party FROM tblSales WHERE InvID = 812
GO

-- Upload pass (AutoSynch pass)
-- on: branch
Select * from tblSales where  isnull(SyncStat,0)=0 and InvID in (1,2,3,4) order by InvID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
Select * from tblSalesItem Where InvID in (1,2,3,4)
GO

-- Upload pass (AutoSynch pass)
-- on: branch
Select * from tblNotes where  isnull(SyncStat,0)=0 and VchID in (1,2) order by VchID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
Select * from tblStockJournal where  isnull(SyncStat,0)=0 and InvID in (2) order by InvID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
Select * from tblStockJournalDetail Where InvID in (2)
GO

-- Upload pass (AutoSynch pass)
-- on: branch
Select * from tblJobCard where  isnull(SyncStat,0)=0 and JobCardID in (1) order by JobCardID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
Select * from tblOrder where  isnull(SyncStat,0)=0 and InvID in (1) order by InvID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
Select * from tblOrderItem Where InvID in (1)
GO

-- Upload pass (AutoSynch pass)
-- on: central
-- newline: CRLF
SET XACT_ABORT ON
DECLARE @c numeric(18,0), @lock int, @holder varchar(50), @n1 numeric(18,0), @a1 int, @n2 numeric(18,0), @a2 int, @n3 numeric(18,0), @a3 int, @n4 numeric(18,0), @a4 int, @n5 numeric(18,0), @a5 int, @n6 numeric(18,0), @a6 int, @n7 numeric(18,0), @a7 int, @n8 numeric(18,0), @a8 int
BEGIN TRANSACTION
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and (SQLSERVERNAME='Branch One' or BlockDataEntry is null or BlockDataEntry<>1 or (Timeof is null or DATEDIFF(second, Timeof, getDate()) >= 50 or DATEDIFF(second, Timeof, getDate()) <= -50))
 INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,ActivitiesDetail,Timeof) Select 'BLOCKFASTPUSH',1,'Branch One','','Blocking for data pushing from client',getDate() where not exists (Select 1 from [tblDayActivity] with (updlock, holdlock) where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50)
SELECT @lock = count(*) FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' AND BlockDataEntry=1 AND SQLSERVERNAME='Branch One'
SELECT TOP 1 @holder = SQLSERVERNAME FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 ORDER BY ID
IF @lock > 0
BEGIN
SET @c = NULL
SELECT TOP 1 @c = InvID FROM tblSales WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' and InvNo='S-1' and InvDate='2026-12-07T00:00:00.000' and VchTypeID=201 and CCID=2 ORDER BY InvID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(InvID),0) + 1 FROM tblSales WITH (UPDLOCK, HOLDLOCK)
Insert into tblSales (InvID,InvNo,RefNo,AutoNum,SortNumber,InvDate,BillTime,VchType,VchTypeID,MOP,LedgerID,Party,PartyAddress,GrossAmt,Discount,TaxAmt,BillAmt,RoundOff,NetAmount,UserNarration,SalesManID,Cancelled,CCID,currencyid,UserID,UserName,ComputerName,CustomField1,LockMode,UserIDModified,SyncStat,ServInvID) values (@c,'S-1','',1,1,'2026-12-07T00:00:00.000','2026-12-07T09:01:00.000','Sales',201,'Cash',2,'Bank Account',' ',2447.82,0,0,2447.82,0,2447.82,'',1,0,2,1,1,'cashier','BRPC01','',0,0,0,0)
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (1,@c,6,5,0,3,271.98,236.5,236.5,293.74,0,0,0,1359.9,'B00006','B00006',NULL,1,' ')
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (2,@c,6,4,0,3,271.98,236.5,236.5,293.74,0,0,0,1087.92,'B00006','B00006',NULL,1,' ')
SET @a1 = 0
END
ELSE SET @a1 = 1
SET @n1 = @c
SET @c = NULL
SELECT TOP 1 @c = InvID FROM tblOrder WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' and InvNo='O-1' and InvDate='2026-12-07T00:00:00.000' and VchTypeID=205 and CCID=2 ORDER BY InvID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(InvID),0) + 1 FROM tblOrder WITH (UPDLOCK, HOLDLOCK)
Insert into tblOrder (InvID,InvNo,InvDate,BillTime,DeliveryDate,VchTypeID,LedgerID,Party,BillAmt,NetAmount,UserNarration,SalesManID,CCID,UserID,Cancelled,CustomField1,LockMode,SyncStat,ServInvID) values (@c,'O-1','2026-12-07T00:00:00.000','2026-12-07T09:07:00.000','2026-12-07T00:00:00.000',205,101,'D''Mello Stores 101',1245,1245,'',1,2,1,0,'',0,0,0)
Insert into tblOrderItem (SlNo,InvID,ItemID,Qty,Rate,MRP,Amount,BatchCode,ItemRemarks) values (1,@c,9,3,25,25,75,'B00009','')
Insert into tblOrderItem (SlNo,InvID,ItemID,Qty,Rate,MRP,Amount,BatchCode,ItemRemarks) values (2,@c,3,5,110,120,550,'B00003','')
Insert into tblOrderItem (SlNo,InvID,ItemID,Qty,Rate,MRP,Amount,BatchCode,ItemRemarks) values (3,@c,2,4,155,165,620,'B00002','')
SET @a2 = 0
END
ELSE SET @a2 = 1
SET @n2 = @c
SET @c = NULL
SELECT TOP 1 @c = InvID FROM tblStockJournal WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' and InvNo='J-2' and InvDate='2026-12-07T00:00:00.000' and VchTypeID=204 and CCID=2 ORDER BY InvID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(InvID),0) + 1 FROM tblStockJournal WITH (UPDLOCK, HOLDLOCK)
Insert into tblStockJournal (VchID,InvId,InvNo,RefNO,AutoNum,SortNumber,InvDate,VchType,MOP,LedgerId,Party,Discount,TaxType,TaxAmt,Astamt,GrossAmt,BillAmt,OtherExpense,ComputerName,Taxable,NonTaxable,UsConversion,UsAmount,OrderInfo,DespatchInfo,ItemDiscountTotal,UserNarration,SalesManID,Cancelled,CCID,currencyid,OrderIds,VchTypeid,RoundOff,RoundOffMode,RoundOffBlock,BuyersName,PreCarriageBy,PlaceofReceiptbyPC,FlightNo,PortOfLoading,TermsofDelivery,FinalDestination,Countryoforigin,CountryOfDestination,GrossWeight,OutStandingAmt,ReceiptAmt,ReceiptID,CessOntax,NoteIDs,UserName,DiscPer,CustDiscPer,CardLedgerID,CustomField1,CustomField2,CustomField3,CustomField4,PartyAddress,MRPValue,UserID,AgentID,Accounts,CashDiscount,SaleAmount,DPerType_ManualCalc_Customer,deliveryNoteNo,ICF3Tot,ICF4Tot,DestCCID,NetAmount,ProfileID,RegNo,BlnWaitForAuthorisation,BillTime,LockMode,SyncStat,ServInvID) values (2,@c,'J-2','',2,2,'2026-12-07T00:00:00.000','Stock Journal','Cash',100,'Opening Stock',0,' ',0,0,947.04,947.04,0,' ',0,0,0,0,' ',' ',0,'Shelf count',0,0,2,0,' ',204,0,0,0,' ',' ',' ',' ',' ',' ',' ',' ',' ',' ',0,0,0,0,' ','cashier',0,0,0,' ',' ',' ',' ',' ',0,1,0,0,0,0,0,' ',0,0,0,947.04,0,' ',0,'2026-12-07T09:09:00.000',0,0,0)
Insert into tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batch,TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode,ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1,iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerAU2,MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierID,HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) values (1,@c,7,3,0,274.5,274.5,315.68,340.93,1,'B00007',0,0,0,947.04,0,0,' ',' ',' ','B00007',0,0,0,0,0,0,NULL,0,' ',' ',0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,2,0,0,0,' ',' ',' ',1,'B00007')
SET @a3 = 0
END
ELSE SET @a3 = 1
SET @n3 = @c
SET @c = NULL
SELECT TOP 1 @c = VchID FROM tblNotes WHERE isnull(Narration,'')<>'#DELETEDFROMBRANCH#' and VchNo='R-1' and VchDate='2026-12-07T00:00:00.000' and VchTypeID=202 and CCID=2 ORDER BY VchID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(VchID),0) + 1 FROM tblNotes WITH (UPDLOCK, HOLDLOCK)
Insert into tblNotes (VchID,VchNo,VchDate,BillTime,VchTypeID,LedgerID,CashLedgerID,Amount,Narration,RefNo,CCID,UserID,Cancelled,LockMode,SyncStat,ServInvID) values (@c,'R-1','2026-12-07T00:00:00.000','2026-12-07T09:15:00.000',202,3,1,875,'Received from Sales Account','',2,1,0,0,0,0)
SET @a4 = 0
END
ELSE SET @a4 = 1
SET @n4 = @c
SET @c = NULL
SELECT TOP 1 @c = InvID FROM tblSales WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' and InvNo='S-2' and InvDate='2026-12-07T00:00:00.000' and VchTypeID=201 and CCID=2 ORDER BY InvID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(InvID),0) + 1 FROM tblSales WITH (UPDLOCK, HOLDLOCK)
Insert into tblSales (InvID,InvNo,RefNo,AutoNum,SortNumber,InvDate,BillTime,VchType,VchTypeID,MOP,LedgerID,Party,PartyAddress,GrossAmt,Discount,TaxAmt,BillAmt,RoundOff,NetAmount,UserNarration,SalesManID,Cancelled,CCID,currencyid,UserID,UserName,ComputerName,CustomField1,LockMode,UserIDModified,SyncStat,ServInvID) values (@c,'S-2','',2,2,'2026-12-07T00:00:00.000','2026-12-07T09:21:00.000','Sales',201,'Cash',4,'Purchase Account',' ',1806.68,0,0,1806.68,0,1806.68,'',1,0,2,1,1,'cashier','BRPC01','',0,0,0,0)
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (1,@c,6,2,0,3,271.98,236.5,236.5,293.74,0,0,0,543.96,'B00006','B00006',NULL,1,' ')
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (2,@c,7,4,0,1,315.68,274.5,274.5,340.93,0,0,0,1262.72,'B00007','B00007',NULL,1,' ')
SET @a5 = 0
END
ELSE SET @a5 = 1
SET @n5 = @c
SET @c = NULL
SELECT TOP 1 @c = VchID FROM tblNotes WHERE isnull(Narration,'')<>'#DELETEDFROMBRANCH#' and VchNo='R-2' and VchDate='2026-12-07T00:00:00.000' and VchTypeID=202 and CCID=2 ORDER BY VchID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(VchID),0) + 1 FROM tblNotes WITH (UPDLOCK, HOLDLOCK)
Insert into tblNotes (VchID,VchNo,VchDate,BillTime,VchTypeID,LedgerID,CashLedgerID,Amount,Narration,RefNo,CCID,UserID,Cancelled,LockMode,SyncStat,ServInvID) values (@c,'R-2','2026-12-07T00:00:00.000','2026-12-07T09:26:00.000',202,1,1,175,'Received from Cash','',2,1,0,0,0,0)
SET @a6 = 0
END
ELSE SET @a6 = 1
SET @n6 = @c
SET @c = NULL
SELECT TOP 1 @c = InvID FROM tblSales WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' and InvNo='S-3' and InvDate='2026-12-07T00:00:00.000' and VchTypeID=201 and CCID=2 ORDER BY InvID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(InvID),0) + 1 FROM tblSales WITH (UPDLOCK, HOLDLOCK)
Insert into tblSales (InvID,InvNo,RefNo,AutoNum,SortNumber,InvDate,BillTime,VchType,VchTypeID,MOP,LedgerID,Party,PartyAddress,GrossAmt,Discount,TaxAmt,BillAmt,RoundOff,NetAmount,UserNarration,SalesManID,Cancelled,CCID,currencyid,UserID,UserName,ComputerName,CustomField1,LockMode,UserIDModified,SyncStat,ServInvID) values (@c,'S-3','',3,3,'2026-12-07T00:00:00.000','2026-12-07T09:30:00.000','Sales',201,'Cash',7,'O''Brien Traders',' ',271.98,0,0,271.98,0,271.98,'',1,0,2,1,1,'cashier','BRPC01','',0,0,0,0)
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (1,@c,6,1,0,3,271.98,236.5,236.5,293.74,0,0,0,271.98,'B00006','B00006',NULL,1,' ')
SET @a7 = 0
END
ELSE SET @a7 = 1
SET @n7 = @c
SET @c = NULL
SELECT TOP 1 @c = InvID FROM tblSales WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' and InvNo='S-4' and InvDate='2026-12-07T00:00:00.000' and VchTypeID=201 and CCID=2 ORDER BY InvID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(InvID),0) + 1 FROM tblSales WITH (UPDLOCK, HOLDLOCK)
Insert into tblSales (InvID,InvNo,RefNo,AutoNum,SortNumber,InvDate,BillTime,VchType,VchTypeID,MOP,LedgerID,Party,PartyAddress,GrossAmt,Discount,TaxAmt,BillAmt,RoundOff,NetAmount,UserNarration,SalesManID,Cancelled,CCID,currencyid,UserID,UserName,ComputerName,CustomField1,LockMode,UserIDModified,SyncStat,ServInvID) values (@c,'S-4','',4,4,'2026-12-07T00:00:00.000','2026-12-07T09:33:00.000','Sales',201,'Cash',4,'Purchase Account',' ',2100,0,0,2100,0,2100,'',1,0,2,1,1,'cashier','BRPC01','',0,0,0,0)
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (1,@c,1,5,0,2,420,380,380,450,0,0,0,2100,'B00001','B00001',NULL,1,' ')
SET @a8 = 0
END
ELSE SET @a8 = 1
SET @n8 = @c
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and SQLSERVERNAME='Branch One'
END
COMMIT TRANSACTION
SET XACT_ABORT OFF
SELECT 1 AS Seq, @n1 AS CentralNo, @a1 AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 2 AS Seq, @n2 AS CentralNo, @a2 AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 3 AS Seq, @n3 AS CentralNo, @a3 AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 4 AS Seq, @n4 AS CentralNo, @a4 AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 5 AS Seq, @n5 AS CentralNo, @a5 AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 6 AS Seq, @n6 AS CentralNo, @a6 AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 7 AS Seq, @n7 AS CentralNo, @a7 AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 8 AS Seq, @n8 AS CentralNo, @a8 AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 0 AS Seq, 0 AS CentralNo, 0 AS Already, @lock AS LockHeld, @holder AS Holder
GO

-- Upload pass (AutoSynch pass)
-- on: branch
 SELECT     'Sales' AS Property, COUNT(InvID) AS Nos From tblSales where InvDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) Union SELECT     'SalesItem' AS Property, COUNT(InvID) AS Nos From tblSalesItem Where InvID in(Select InvID from tblSales where InvDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)) Union SELECT     'Receipt' AS Property, COUNT(VchID) AS Nos From tblNotes where VchDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) Union SELECT     'StockJournal' AS Property, COUNT(InvID) AS Nos From tblStockJournal where InvDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) Union SELECT     'StockJournalDetail' AS Property, COUNT(InvID) AS Nos From tblStockJournalDetail Where InvID in(Select InvID from tblStockJournal where InvDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)) Union SELECT     'JobCard' AS Property, COUNT(JobCardID) AS Nos From tblJobCard where JobCardDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) Union SELECT     'JobCardDetail' AS Property, COUNT(JobCardID) AS Nos From tblJobCardDetail Where JobCardID in(Select JobCardID from tblJobCard where JobCardDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)) Union SELECT     'Order' AS Property, COUNT(InvID) AS Nos From tblOrder where InvDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) Union SELECT     'OrderItem' AS Property, COUNT(InvID) AS Nos From tblOrderItem Where InvID in(Select InvID from tblOrder where InvDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)) ORDER BY Property DESC 
GO

-- Upload pass (AutoSynch pass)
-- on: branch
 SELECT     'Sales' AS Property, COUNT(InvID) AS Nos From tblSales where InvDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and isnull(SyncStat,0)<>1 Union SELECT     'SalesItem' AS Property, COUNT(InvID) AS Nos From tblSalesItem Where InvID in(Select InvID from tblSales where InvDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and isnull(SyncStat,0)<>1) Union SELECT     'Receipt' AS Property, COUNT(VchID) AS Nos From tblNotes where VchDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and isnull(SyncStat,0)<>1 Union SELECT     'StockJournal' AS Property, COUNT(InvID) AS Nos From tblStockJournal where InvDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and isnull(SyncStat,0)<>1 Union SELECT     'StockJournalDetail' AS Property, COUNT(InvID) AS Nos From tblStockJournalDetail Where InvID in(Select InvID from tblStockJournal where InvDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and isnull(SyncStat,0)<>1) Union SELECT     'JobCard' AS Property, COUNT(JobCardID) AS Nos From tblJobCard where JobCardDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and isnull(SyncStat,0)<>1 Union SELECT     'JobCardDetail' AS Property, COUNT(JobCardID) AS Nos From tblJobCardDetail Where JobCardID in(Select JobCardID from tblJobCard where JobCardDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and isnull(SyncStat,0)<>1) Union SELECT     'Order' AS Property, COUNT(InvID) AS Nos From tblOrder where InvDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and isnull(SyncStat,0)<>1 Union SELECT     'OrderItem' AS Property, COUNT(InvID) AS Nos From tblOrderItem Where InvID in(Select InvID from tblOrder where InvDate ='07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and isnull(SyncStat,0)<>1) ORDER BY Property DESC 
GO

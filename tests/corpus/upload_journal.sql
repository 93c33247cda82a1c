-- The branch's upload journal and the upload's reads and marks around it: the journal created where it
-- is missing, the change log of every date above the mark, the vouchers waiting of the chosen types or
-- already at head office, the claims written before a send and removed once done, the retire statements
-- of deletions and edits after upload, and the purge's clearing of the claims of purged vouchers.
-- prepare: upgrade
GO

-- Update Database
-- on: branch
-- expect-error: Invalid object name
select count(*) from tblUploadJournal where 1=0
GO

-- Update Database
-- on: branch
-- sent 1 time(s) in the played days
CREATE TABLE [dbo].[tblUploadJournal]( [ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL, [TableName] [varchar](50) NOT NULL, [BranchID] [numeric](18, 0) NOT NULL, [CentralID] [numeric](18, 0) NULL, [NaturalKey] [varchar](800) NOT NULL, [Content] [varchar](40) NOT NULL, [State] [numeric](18, 0) NOT NULL, [Written] [datetime] NULL, CONSTRAINT [PK_tblUploadJournal] PRIMARY KEY CLUSTERED ( [ID] ASC ) )
GO

-- Update Database
-- on: branch
-- sent 1 time(s) in the played days
CREATE INDEX IX_tblUploadJournal_Voucher ON tblUploadJournal (TableName, BranchID, State)
GO

-- Update Database
-- on: branch
-- sent 1 time(s) in the played days
CREATE INDEX IX_tblUploadJournal_State ON tblUploadJournal (State)
GO

-- Master download pass (AutoSynch pass)
-- on: branch
-- sent 6 time(s) in the played days
 select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from tblactivity O where ParentID in(1,3,5,7,8,9,10,14,18,41,42,43,44,45) and ISNULL(pARENTid,0) <> 0 and ID>0 and ID<=0  Order by o.ID 
GO

-- Master download pass (AutoSynch pass)
-- on: branch
-- sent 6 time(s) in the played days
select InvID from tblSales where isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblSales' and j.BranchID=tblSales.InvID))
GO

-- Master download pass (AutoSynch pass)
-- on: branch
-- sent 6 time(s) in the played days
select VchID from tblNotes where isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblNotes' and j.BranchID=tblNotes.VchID))
GO

-- Master download pass (AutoSynch pass)
-- on: branch
-- sent 6 time(s) in the played days
select InvID from tblStockJournal where isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblStockJournal' and j.BranchID=tblStockJournal.InvID))
GO

-- Master download pass (AutoSynch pass)
-- on: branch
-- sent 6 time(s) in the played days
select JobCardID from tblJobCard where isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblJobCard' and j.BranchID=tblJobCard.JobCardID))
GO

-- Master download pass (AutoSynch pass)
-- on: branch
-- sent 6 time(s) in the played days
select InvID from tblOrder where isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblOrder' and j.BranchID=tblOrder.InvID))
GO

-- Master download pass (AutoSynch pass)
-- on: branch
-- sent 6 time(s) in the played days
select ID, TableName, BranchID, CentralID, NaturalKey, Content, State from tblUploadJournal where State=2 order by ID
GO

-- Master download pass (AutoSynch pass)
-- on: branch
-- sent 5 time(s) in the played days
SELECT (SELECT count(*) FROM tblSales WHERE isnull(SyncStat,0)=0 AND (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblSales' and j.BranchID=tblSales.InvID))) + (SELECT count(*) FROM tblNotes WHERE isnull(SyncStat,0)=0 AND (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblNotes' and j.BranchID=tblNotes.VchID))) + (SELECT count(*) FROM tblStockJournal WHERE isnull(SyncStat,0)=0 AND (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblStockJournal' and j.BranchID=tblStockJournal.InvID))) + (SELECT count(*) FROM tblJobCard WHERE isnull(SyncStat,0)=0 AND (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblJobCard' and j.BranchID=tblJobCard.JobCardID))) + (SELECT count(*) FROM tblOrder WHERE isnull(SyncStat,0)=0 AND (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblOrder' and j.BranchID=tblOrder.InvID))) + (SELECT count(*) FROM tblUploadJournal WHERE State=2) AS Waiting, (SELECT count(*) FROM tblSales WHERE isnull(SyncStat,0)<>0 AND InvDate='08/Dec/2026') + (SELECT count(*) FROM tblNotes WHERE isnull(SyncStat,0)<>0 AND VchDate='08/Dec/2026') + (SELECT count(*) FROM tblStockJournal WHERE isnull(SyncStat,0)<>0 AND InvDate='08/Dec/2026') + (SELECT count(*) FROM tblJobCard WHERE isnull(SyncStat,0)<>0 AND JobCardDate='08/Dec/2026') + (SELECT count(*) FROM tblOrder WHERE isnull(SyncStat,0)<>0 AND InvDate='08/Dec/2026') AS SentToday, (SELECT min(ActionTime) FROM tblactivity WHERE ID > 0 AND ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45) AND Action not in ('Update')) AS Oldest, getdate() AS BranchNow
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 25 time(s) in the played days
select ID, TableName, BranchID, CentralID, NaturalKey, Content, State from tblUploadJournal where TableName='tblSales' and BranchID in (1,2,3,4) order by ID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 4 time(s) in the played days
Select * from tblSales where 1=1 and InvID in (1,2,3,4) order by InvID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 4 time(s) in the played days
Select * from tblNotes where 1=1 and VchID in (1,2) order by VchID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 4 time(s) in the played days
Select * from tblStockJournal where 1=1 and InvID in (2) order by InvID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 1 time(s) in the played days
Select * from tblJobCard where 1=1 and JobCardID in (1) order by JobCardID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 4 time(s) in the played days
Select * from tblOrder where 1=1 and InvID in (1) order by InvID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 2 time(s) in the played days
Select * from tblSales where  isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblSales' and j.BranchID=tblSales.InvID)) and InvID in (1,2,3,4) order by InvID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 2 time(s) in the played days
Select * from tblNotes where  isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblNotes' and j.BranchID=tblNotes.VchID)) and VchID in (1,2) order by VchID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 2 time(s) in the played days
Select * from tblStockJournal where  isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblStockJournal' and j.BranchID=tblStockJournal.InvID)) and InvID in (2) order by InvID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 2 time(s) in the played days
Select * from tblOrder where  isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblOrder' and j.BranchID=tblOrder.InvID)) and InvID in (1) order by InvID
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 16 time(s) in the played days
-- newline: CRLF
insert into tblUploadJournal (TableName, BranchID, CentralID, NaturalKey, Content, State, Written) values ('tblSales', 1, NULL, ' and InvNo=''S-1'' and InvDate=''2026-12-08T00:00:00.000'' and VchTypeID=201 and CCID=2', '710549758725a411', 0, getdate())
select SCOPE_IDENTITY() as ClaimID
GO

-- Upload pass (AutoSynch pass)
-- on: central
-- sent 2 time(s) in the played days
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
SELECT TOP 1 @c = InvID FROM tblSales WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' and InvNo='S-1' and InvDate='2026-12-08T00:00:00.000' and VchTypeID=201 and CCID=2 ORDER BY InvID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(InvID),0) + 1 FROM tblSales WITH (UPDLOCK, HOLDLOCK)
Insert into tblSales (InvID,InvNo,RefNo,AutoNum,SortNumber,InvDate,BillTime,VchType,VchTypeID,MOP,LedgerID,Party,PartyAddress,GrossAmt,Discount,TaxAmt,BillAmt,RoundOff,NetAmount,UserNarration,SalesManID,Cancelled,CCID,currencyid,UserID,UserName,ComputerName,CustomField1,LockMode,UserIDModified,SyncStat,ServInvID) values (@c,'S-1','',1,1,'2026-12-08T00:00:00.000','2026-12-08T03:46:00.000','Sales',201,'Cash',2,'Bank Account',' ',2447.82,0,0,2447.82,0,2447.82,'',1,0,2,1,1,'cashier','BRPC01','',0,0,0,0)
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (1,@c,6,5,0,3,271.98,236.5,236.5,293.74,0,0,0,1359.9,'B00006','B00006',NULL,1,' ')
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (2,@c,6,4,0,3,271.98,236.5,236.5,293.74,0,0,0,1087.92,'B00006','B00006',NULL,1,' ')
SET @a1 = 0
END
ELSE SET @a1 = 1
SET @n1 = @c
SET @c = NULL
SELECT TOP 1 @c = InvID FROM tblSales WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' and InvNo='S-2' and InvDate='2026-12-08T00:00:00.000' and VchTypeID=201 and CCID=2 ORDER BY InvID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(InvID),0) + 1 FROM tblSales WITH (UPDLOCK, HOLDLOCK)
Insert into tblSales (InvID,InvNo,RefNo,AutoNum,SortNumber,InvDate,BillTime,VchType,VchTypeID,MOP,LedgerID,Party,PartyAddress,GrossAmt,Discount,TaxAmt,BillAmt,RoundOff,NetAmount,UserNarration,SalesManID,Cancelled,CCID,currencyid,UserID,UserName,ComputerName,CustomField1,LockMode,UserIDModified,SyncStat,ServInvID) values (@c,'S-2','',2,2,'2026-12-08T00:00:00.000','2026-12-08T03:46:00.000','Sales',201,'Cash',4,'Purchase Account',' ',1806.68,0,0,1806.68,0,1806.68,'',1,0,2,1,1,'cashier','BRPC01','',0,0,0,0)
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (1,@c,6,2,0,3,271.98,236.5,236.5,293.74,0,0,0,543.96,'B00006','B00006',NULL,1,' ')
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (2,@c,7,4,0,1,315.68,274.5,274.5,340.93,0,0,0,1262.72,'B00007','B00007',NULL,1,' ')
SET @a2 = 0
END
ELSE SET @a2 = 1
SET @n2 = @c
SET @c = NULL
SELECT TOP 1 @c = InvID FROM tblSales WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' and InvNo='S-3' and InvDate='2026-12-08T00:00:00.000' and VchTypeID=201 and CCID=2 ORDER BY InvID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(InvID),0) + 1 FROM tblSales WITH (UPDLOCK, HOLDLOCK)
Insert into tblSales (InvID,InvNo,RefNo,AutoNum,SortNumber,InvDate,BillTime,VchType,VchTypeID,MOP,LedgerID,Party,PartyAddress,GrossAmt,Discount,TaxAmt,BillAmt,RoundOff,NetAmount,UserNarration,SalesManID,Cancelled,CCID,currencyid,UserID,UserName,ComputerName,CustomField1,LockMode,UserIDModified,SyncStat,ServInvID) values (@c,'S-3','',3,3,'2026-12-08T00:00:00.000','2026-12-08T03:46:00.000','Sales',201,'Cash',7,'O''Brien Traders',' ',271.98,0,0,271.98,0,271.98,'',1,0,2,1,1,'cashier','BRPC01','',0,0,0,0)
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (1,@c,6,1,0,3,271.98,236.5,236.5,293.74,0,0,0,271.98,'B00006','B00006',NULL,1,' ')
SET @a3 = 0
END
ELSE SET @a3 = 1
SET @n3 = @c
SET @c = NULL
SELECT TOP 1 @c = InvID FROM tblSales WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' and InvNo='S-4' and InvDate='2026-12-08T00:00:00.000' and VchTypeID=201 and CCID=2 ORDER BY InvID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(InvID),0) + 1 FROM tblSales WITH (UPDLOCK, HOLDLOCK)
Insert into tblSales (InvID,InvNo,RefNo,AutoNum,SortNumber,InvDate,BillTime,VchType,VchTypeID,MOP,LedgerID,Party,PartyAddress,GrossAmt,Discount,TaxAmt,BillAmt,RoundOff,NetAmount,UserNarration,SalesManID,Cancelled,CCID,currencyid,UserID,UserName,ComputerName,CustomField1,LockMode,UserIDModified,SyncStat,ServInvID) values (@c,'S-4','',4,4,'2026-12-08T00:00:00.000','2026-12-08T03:46:00.000','Sales',201,'Cash',4,'Purchase Account',' ',2100,0,0,2100,0,2100,'',1,0,2,1,1,'cashier','BRPC01','',0,0,0,0)
Insert into tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) values (1,@c,1,5,0,2,420,380,380,450,0,0,0,2100,'B00001','B00001',NULL,1,' ')
SET @a4 = 0
END
ELSE SET @a4 = 1
SET @n4 = @c
SET @c = NULL
SELECT TOP 1 @c = VchID FROM tblNotes WHERE isnull(Narration,'')<>'#DELETEDFROMBRANCH#' and VchNo='R-1' and VchDate='2026-12-08T00:00:00.000' and VchTypeID=202 and CCID=2 ORDER BY VchID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(VchID),0) + 1 FROM tblNotes WITH (UPDLOCK, HOLDLOCK)
Insert into tblNotes (VchID,VchNo,VchDate,BillTime,VchTypeID,LedgerID,CashLedgerID,Amount,Narration,RefNo,CCID,UserID,Cancelled,LockMode,SyncStat,ServInvID) values (@c,'R-1','2026-12-08T00:00:00.000','2026-12-08T03:46:00.000',202,3,1,875,'Received from Sales Account','',2,1,0,0,0,0)
SET @a5 = 0
END
ELSE SET @a5 = 1
SET @n5 = @c
SET @c = NULL
SELECT TOP 1 @c = VchID FROM tblNotes WHERE isnull(Narration,'')<>'#DELETEDFROMBRANCH#' and VchNo='R-2' and VchDate='2026-12-08T00:00:00.000' and VchTypeID=202 and CCID=2 ORDER BY VchID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(VchID),0) + 1 FROM tblNotes WITH (UPDLOCK, HOLDLOCK)
Insert into tblNotes (VchID,VchNo,VchDate,BillTime,VchTypeID,LedgerID,CashLedgerID,Amount,Narration,RefNo,CCID,UserID,Cancelled,LockMode,SyncStat,ServInvID) values (@c,'R-2','2026-12-08T00:00:00.000','2026-12-08T03:46:00.000',202,1,1,175,'Received from Cash','',2,1,0,0,0,0)
SET @a6 = 0
END
ELSE SET @a6 = 1
SET @n6 = @c
SET @c = NULL
SELECT TOP 1 @c = InvID FROM tblStockJournal WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' and InvNo='J-2' and InvDate='2026-12-08T00:00:00.000' and VchTypeID=204 and CCID=2 ORDER BY InvID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(InvID),0) + 1 FROM tblStockJournal WITH (UPDLOCK, HOLDLOCK)
Insert into tblStockJournal (VchID,InvId,InvNo,RefNO,AutoNum,SortNumber,InvDate,VchType,MOP,LedgerId,Party,Discount,TaxType,TaxAmt,Astamt,GrossAmt,BillAmt,OtherExpense,ComputerName,Taxable,NonTaxable,UsConversion,UsAmount,OrderInfo,DespatchInfo,ItemDiscountTotal,UserNarration,SalesManID,Cancelled,CCID,currencyid,OrderIds,VchTypeid,RoundOff,RoundOffMode,RoundOffBlock,BuyersName,PreCarriageBy,PlaceofReceiptbyPC,FlightNo,PortOfLoading,TermsofDelivery,FinalDestination,Countryoforigin,CountryOfDestination,GrossWeight,OutStandingAmt,ReceiptAmt,ReceiptID,CessOntax,NoteIDs,UserName,DiscPer,CustDiscPer,CardLedgerID,CustomField1,CustomField2,CustomField3,CustomField4,PartyAddress,MRPValue,UserID,AgentID,Accounts,CashDiscount,SaleAmount,DPerType_ManualCalc_Customer,deliveryNoteNo,ICF3Tot,ICF4Tot,DestCCID,NetAmount,ProfileID,RegNo,BlnWaitForAuthorisation,BillTime,LockMode,SyncStat,ServInvID) values (2,@c,'J-2','',2,2,'2026-12-08T00:00:00.000','Stock Journal','Cash',100,'Opening Stock',0,' ',0,0,947.04,947.04,0,' ',0,0,0,0,' ',' ',0,'Shelf count',0,0,2,0,' ',204,0,0,0,' ',' ',' ',' ',' ',' ',' ',' ',' ',' ',0,0,0,0,' ','cashier',0,0,0,' ',' ',' ',' ',' ',0,1,0,0,0,0,0,' ',0,0,0,947.04,0,' ',0,'2026-12-08T03:46:00.000',0,0,0)
Insert into tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batch,TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode,ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1,iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerAU2,MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierID,HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) values (1,@c,7,3,0,274.5,274.5,315.68,340.93,1,'B00007',0,0,0,947.04,0,0,' ',' ',' ','B00007',0,0,0,0,0,0,NULL,0,' ',' ',0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,2,0,0,0,' ',' ',' ',1,'B00007')
SET @a7 = 0
END
ELSE SET @a7 = 1
SET @n7 = @c
SET @c = NULL
SELECT TOP 1 @c = InvID FROM tblOrder WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' and InvNo='O-1' and InvDate='2026-12-08T00:00:00.000' and VchTypeID=205 and CCID=2 ORDER BY InvID
IF @c IS NULL
BEGIN
SELECT @c = isnull(max(InvID),0) + 1 FROM tblOrder WITH (UPDLOCK, HOLDLOCK)
Insert into tblOrder (InvID,InvNo,InvDate,BillTime,DeliveryDate,VchTypeID,LedgerID,Party,BillAmt,NetAmount,UserNarration,SalesManID,CCID,UserID,Cancelled,CustomField1,LockMode,SyncStat,ServInvID) values (@c,'O-1','2026-12-08T00:00:00.000','2026-12-08T03:46:00.000','2026-12-08T00:00:00.000',205,101,'D''Mello Stores 101',1245,1245,'',1,2,1,0,'',0,0,0)
Insert into tblOrderItem (SlNo,InvID,ItemID,Qty,Rate,MRP,Amount,BatchCode,ItemRemarks) values (1,@c,9,3,25,25,75,'B00009','')
Insert into tblOrderItem (SlNo,InvID,ItemID,Qty,Rate,MRP,Amount,BatchCode,ItemRemarks) values (2,@c,3,5,110,120,550,'B00003','')
Insert into tblOrderItem (SlNo,InvID,ItemID,Qty,Rate,MRP,Amount,BatchCode,ItemRemarks) values (3,@c,2,4,155,165,620,'B00002','')
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
-- sent 8 time(s) in the played days
update tblSales set SyncStat=1, ServInvID=1 where InvID=1 and isnull(SyncStat,0)=0 and not exists (select 1 from tblActivity a where a.ID>12 and a.tblUniqueID=1 and upper(a.TableName)='TBLSALES')
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 16 time(s) in the played days
delete from tblUploadJournal where TableName='tblSales' and BranchID=1 and ID<>1
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 16 time(s) in the played days
update tblUploadJournal set State=1, CentralID=1 where ID=1
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 4 time(s) in the played days
update tblNotes set SyncStat=1, ServInvID=1 where VchID=1 and isnull(SyncStat,0)=0 and not exists (select 1 from tblActivity a where a.ID>12 and a.tblUniqueID=1 and upper(a.TableName)='TBLNOTES')
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 2 time(s) in the played days
update tblStockJournal set SyncStat=1, ServInvID=4 where InvID=2 and isnull(SyncStat,0)=0 and not exists (select 1 from tblActivity a where a.ID>12 and a.tblUniqueID=2 and upper(a.TableName)='TBLSTOCKJOURNAL')
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 2 time(s) in the played days
update tblOrder set SyncStat=1, ServInvID=1 where InvID=1 and isnull(SyncStat,0)=0 and not exists (select 1 from tblActivity a where a.ID>12 and a.tblUniqueID=1 and upper(a.TableName)='TBLORDER')
GO

-- Day End
-- on: branch
-- sent 2 time(s) in the played days
Select count(InvID) from tblSales where InvDate>='08/Dec/2026' and tblSales.CCID=2 and isnull(tblSales.Party,'')<>'#DELETEDFROMBRANCH#' and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
-- sent 2 time(s) in the played days
Select count(tblSalesItem.InvID) from tblSales,tblSalesItem where tblSales.InvID=tblSalesItem.InvID and InvDate>='08/Dec/2026' and tblSales.CCID=2 and isnull(tblSales.Party,'')<>'#DELETEDFROMBRANCH#' and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
-- sent 2 time(s) in the played days
Select count(InvID) from tblStockJournal where InvDate>='08/Dec/2026' and tblStockJournal.CCID=2 and isnull(tblStockJournal.Party,'')<>'#DELETEDFROMBRANCH#' and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
-- sent 2 time(s) in the played days
Select count(tblStockJournalDetail.InvID) from tblStockJournal,tblStockJournalDetail where tblStockJournal.InvID=tblStockJournalDetail.InvID and InvDate>='08/Dec/2026' and tblStockJournal.CCID=2 and isnull(tblStockJournal.Party,'')<>'#DELETEDFROMBRANCH#' and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
-- sent 2 time(s) in the played days
Select count(InvID) from tblOrder where InvDate>='08/Dec/2026' and tblOrder.CCID=2 and isnull(tblOrder.Party,'')<>'#DELETEDFROMBRANCH#' and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
-- sent 2 time(s) in the played days
Select count(tblOrderItem.InvID) from tblOrder,tblOrderItem where tblOrder.InvID=tblOrderItem.InvID and InvDate>='08/Dec/2026' and tblOrder.CCID=2 and isnull(tblOrder.Party,'')<>'#DELETEDFROMBRANCH#' and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
-- sent 2 time(s) in the played days
Select count(VchID) from tblNotes where VchDate>='08/Dec/2026' and tblNotes.CCID=2 and isnull(tblNotes.Narration,'')<>'#DELETEDFROMBRANCH#' and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day End
-- on: branch
-- sent 2 time(s) in the played days
Select count(JobCardID) from tblJobCard where JobCardDate>='08/Dec/2026' and tblJobCard.CCID=2 and isnull(tblJobCard.Party,'')<>'#DELETEDFROMBRANCH#' and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Day Purge
-- on: branch
-- sent 1 time(s) in the played days
delete from tblUploadJournal where TableName='tblSales' and BranchID not in (select InvID from tblSales)
GO

-- Day Purge
-- on: branch
-- sent 1 time(s) in the played days
delete from tblUploadJournal where TableName='tblNotes' and BranchID not in (select VchID from tblNotes)
GO

-- Day Purge
-- on: branch
-- sent 1 time(s) in the played days
delete from tblUploadJournal where TableName='tblStockJournal' and BranchID not in (select InvID from tblStockJournal)
GO

-- Day Purge
-- on: branch
-- sent 1 time(s) in the played days
delete from tblUploadJournal where TableName='tblJobCard' and BranchID not in (select JobCardID from tblJobCard)
GO

-- Day Purge
-- on: branch
-- sent 1 time(s) in the played days
delete from tblUploadJournal where TableName='tblOrder' and BranchID not in (select InvID from tblOrder)
GO


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
select InvID, InvDate from tblSales where isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblSales' and j.BranchID=tblSales.InvID))
GO

-- Master download pass (AutoSynch pass)
-- on: branch
-- sent 6 time(s) in the played days
select VchID, VchDate from tblNotes where isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblNotes' and j.BranchID=tblNotes.VchID))
GO

-- Master download pass (AutoSynch pass)
-- on: branch
-- sent 6 time(s) in the played days
select InvID, InvDate from tblStockJournal where isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblStockJournal' and j.BranchID=tblStockJournal.InvID))
GO

-- Master download pass (AutoSynch pass)
-- on: branch
-- sent 6 time(s) in the played days
select JobCardID, JobCardDate from tblJobCard where isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblJobCard' and j.BranchID=tblJobCard.JobCardID))
GO

-- Master download pass (AutoSynch pass)
-- on: branch
-- sent 6 time(s) in the played days
select InvID, InvDate from tblOrder where isnull(SyncStat,0)=0 and (1=1 and VchTypeID in (206,203,202,201,205,207,204) or exists (select 1 from tblUploadJournal j where j.TableName='tblOrder' and j.BranchID=tblOrder.InvID))
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
-- sent 2 time(s) in the played days
-- newline: CRLF
DECLARE @before numeric(18,0)
SELECT @before = isnull(max(ID),0) FROM tblUploadJournal
insert into tblUploadJournal (TableName, BranchID, CentralID, NaturalKey, Content, State, Written) values ('tblSales', 1, NULL, ' and InvNo=''S-1'' and InvDate=''2026-12-08T00:00:00.000'' and VchTypeID=201 and CCID=2', '0ebde2de36b1762c', 0, getdate()),
('tblSales', 2, NULL, ' and InvNo=''S-2'' and InvDate=''2026-12-08T00:00:00.000'' and VchTypeID=201 and CCID=2', '2c6a6ffc4c597fdf', 0, getdate()),
('tblSales', 3, NULL, ' and InvNo=''S-3'' and InvDate=''2026-12-08T00:00:00.000'' and VchTypeID=201 and CCID=2', 'b3375a3c883771e9', 0, getdate()),
('tblSales', 4, NULL, ' and InvNo=''S-4'' and InvDate=''2026-12-08T00:00:00.000'' and VchTypeID=201 and CCID=2', 'd47c846617d2c504', 0, getdate()),
('tblNotes', 1, NULL, ' and VchNo=''R-1'' and VchDate=''2026-12-08T00:00:00.000'' and VchTypeID=202 and CCID=2', 'a2186379a59ed7e6', 0, getdate()),
('tblNotes', 2, NULL, ' and VchNo=''R-2'' and VchDate=''2026-12-08T00:00:00.000'' and VchTypeID=202 and CCID=2', 'd381b3ac9312e43a', 0, getdate()),
('tblStockJournal', 2, NULL, ' and InvNo=''J-2'' and InvDate=''2026-12-08T00:00:00.000'' and VchTypeID=204 and CCID=2', '8857308df9c1a4a0', 0, getdate()),
('tblOrder', 1, NULL, ' and InvNo=''O-1'' and InvDate=''2026-12-08T00:00:00.000'' and VchTypeID=205 and CCID=2', '604c388d2fb761d1', 0, getdate())
select ID, TableName, BranchID from tblUploadJournal where ID > @before
GO

-- Upload pass (AutoSynch pass)
-- on: central
-- sent 2 time(s) in the played days
-- newline: CRLF
SET XACT_ABORT ON
DECLARE @lock int, @holder varchar(50), @hits int, @b1 bigint, @b2 bigint, @b3 bigint, @b4 bigint, @f1 bigint, @f2 bigint, @f3 bigint, @f4 bigint, @f5 bigint, @f6 bigint, @f7 bigint, @f8 bigint
SET @hits = 0
BEGIN TRANSACTION
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and (SQLSERVERNAME='Branch One' or BlockDataEntry is null or BlockDataEntry<>1 or (Timeof is null or DATEDIFF(second, Timeof, getDate()) >= 50 or DATEDIFF(second, Timeof, getDate()) <= -50))
 INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,ActivitiesDetail,Timeof) Select 'BLOCKFASTPUSH',1,'Branch One','','Blocking for data pushing from client',getDate() where not exists (Select 1 from [tblDayActivity] with (updlock, holdlock) where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50)
SELECT @lock = count(*) FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' AND BlockDataEntry=1 AND SQLSERVERNAME='Branch One'
SELECT TOP 1 @holder = SQLSERVERNAME FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 ORDER BY ID
IF @lock > 0
BEGIN
SELECT @f1 = min(InvID), @hits = @hits + count(*) FROM tblSales WHERE '1' = 1 AND isnull(Party,'')<>'#DELETEDFROMBRANCH#' AND InvNo = 'S-1' AND InvDate = '2026-12-08T00:00:00.000' AND VchTypeID = '201' AND CCID = '2'
SELECT @f2 = min(InvID), @hits = @hits + count(*) FROM tblSales WHERE '1' = 1 AND isnull(Party,'')<>'#DELETEDFROMBRANCH#' AND InvNo = 'S-2' AND InvDate = '2026-12-08T00:00:00.000' AND VchTypeID = '201' AND CCID = '2'
SELECT @f3 = min(InvID), @hits = @hits + count(*) FROM tblSales WHERE '1' = 1 AND isnull(Party,'')<>'#DELETEDFROMBRANCH#' AND InvNo = 'S-3' AND InvDate = '2026-12-08T00:00:00.000' AND VchTypeID = '201' AND CCID = '2'
SELECT @f4 = min(InvID), @hits = @hits + count(*) FROM tblSales WHERE '1' = 1 AND isnull(Party,'')<>'#DELETEDFROMBRANCH#' AND InvNo = 'S-4' AND InvDate = '2026-12-08T00:00:00.000' AND VchTypeID = '201' AND CCID = '2'
SELECT @f5 = min(VchID), @hits = @hits + count(*) FROM tblNotes WHERE '1' = 1 AND isnull(Narration,'')<>'#DELETEDFROMBRANCH#' AND VchNo = 'R-1' AND VchDate = '2026-12-08T00:00:00.000' AND VchTypeID = '202' AND CCID = '2'
SELECT @f6 = min(VchID), @hits = @hits + count(*) FROM tblNotes WHERE '1' = 1 AND isnull(Narration,'')<>'#DELETEDFROMBRANCH#' AND VchNo = 'R-2' AND VchDate = '2026-12-08T00:00:00.000' AND VchTypeID = '202' AND CCID = '2'
SELECT @f7 = min(InvID), @hits = @hits + count(*) FROM tblStockJournal WHERE '1' = 1 AND isnull(Party,'')<>'#DELETEDFROMBRANCH#' AND InvNo = 'J-2' AND InvDate = '2026-12-08T00:00:00.000' AND VchTypeID = '204' AND CCID = '2'
SELECT @f8 = min(InvID), @hits = @hits + count(*) FROM tblOrder WHERE '1' = 1 AND isnull(Party,'')<>'#DELETEDFROMBRANCH#' AND InvNo = 'O-1' AND InvDate = '2026-12-08T00:00:00.000' AND VchTypeID = '205' AND CCID = '2'
IF @hits = 0
BEGIN
SELECT @b1 = isnull(max(InvID),0) FROM tblSales WITH (UPDLOCK, HOLDLOCK)
INSERT INTO tblSales (InvID,InvNo,RefNo,AutoNum,SortNumber,InvDate,BillTime,VchType,VchTypeID,MOP,LedgerID,Party,PartyAddress,GrossAmt,Discount,TaxAmt,BillAmt,RoundOff,NetAmount,UserNarration,SalesManID,Cancelled,CCID,currencyid,UserID,UserName,ComputerName,CustomField1,LockMode,UserIDModified,SyncStat,ServInvID) SELECT @b1 + 1,'S-1','','1','1','2026-12-08T00:00:00.000','2026-12-08T07:21:00.000','Sales','201','Cash','2','Bank Account',' ','2447.82','0','0','2447.82','0','2447.82','','1','0','2','1','1','cashier','BRPC01','','0','0','0','0' UNION ALL SELECT @b1 + 2,'S-2','','2','2','2026-12-08T00:00:00.000','2026-12-08T07:21:00.000','Sales','201','Cash','4','Purchase Account',' ','1806.68','0','0','1806.68','0','1806.68','','1','0','2','1','1','cashier','BRPC01','','0','0','0','0' UNION ALL SELECT @b1 + 3,'S-3','','3','3','2026-12-08T00:00:00.000','2026-12-08T07:21:00.000','Sales','201','Cash','7','O''Brien Traders',' ','271.98','0','0','271.98','0','271.98','','1','0','2','1','1','cashier','BRPC01','','0','0','0','0' UNION ALL SELECT @b1 + 4,'S-4','','4','4','2026-12-08T00:00:00.000','2026-12-08T07:21:00.000','Sales','201','Cash','4','Purchase Account',' ','2100','0','0','2100','0','2100','','1','0','2','1','1','cashier','BRPC01','','0','0','0','0'
INSERT INTO tblSalesItem (SlNo,InvID,ItemID,Qty,FreeQty,UnitID,Rate,PRate,CRate,MRP,Discount,TaxPer,TaxAmount,Amount,BatchCode,BatchUnique,Expiry,GodownID,ItemRemarks) SELECT '1',@b1 + CAST('1' AS int),'6','5','0','3','271.98','236.5','236.5','293.74','0','0','0','1359.9','B00006','B00006',NULL,'1',' ' WHERE '1' > 0 UNION ALL SELECT '2',@b1 + CAST('1' AS int),'6','4','0','3','271.98','236.5','236.5','293.74','0','0','0','1087.92','B00006','B00006',NULL,'1',' ' WHERE '1' > 0 UNION ALL SELECT '1',@b1 + CAST('2' AS int),'6','2','0','3','271.98','236.5','236.5','293.74','0','0','0','543.96','B00006','B00006',NULL,'1',' ' WHERE '2' > 0 UNION ALL SELECT '2',@b1 + CAST('2' AS int),'7','4','0','1','315.68','274.5','274.5','340.93','0','0','0','1262.72','B00007','B00007',NULL,'1',' ' WHERE '2' > 0 UNION ALL SELECT '1',@b1 + CAST('3' AS int),'6','1','0','3','271.98','236.5','236.5','293.74','0','0','0','271.98','B00006','B00006',NULL,'1',' ' WHERE '3' > 0 UNION ALL SELECT '1',@b1 + CAST('4' AS int),'1','5','0','2','420','380','380','450','0','0','0','2100','B00001','B00001',NULL,'1',' ' WHERE '4' > 0 UNION ALL SELECT '1',@b1 + CAST('0' AS int),'1','5','0','2','420','380','380','450','0','0','0','2100','B00001','B00001',NULL,'1',' ' WHERE '0' > 0 UNION ALL SELECT '1',@b1 + CAST('0' AS int),'1','5','0','2','420','380','380','450','0','0','0','2100','B00001','B00001',NULL,'1',' ' WHERE '0' > 0
SELECT @b2 = isnull(max(VchID),0) FROM tblNotes WITH (UPDLOCK, HOLDLOCK)
INSERT INTO tblNotes (VchID,VchNo,VchDate,BillTime,VchTypeID,LedgerID,CashLedgerID,Amount,Narration,RefNo,CCID,UserID,Cancelled,LockMode,SyncStat,ServInvID) SELECT @b2 + 1,'R-1','2026-12-08T00:00:00.000','2026-12-08T07:21:00.000','202','3','1','875','Received from Sales Account','','2','1','0','0','0','0' UNION ALL SELECT @b2 + 2,'R-2','2026-12-08T00:00:00.000','2026-12-08T07:21:00.000','202','1','1','175','Received from Cash','','2','1','0','0','0','0'
SELECT @b3 = isnull(max(InvID),0) FROM tblStockJournal WITH (UPDLOCK, HOLDLOCK)
INSERT INTO tblStockJournal (VchID,InvId,InvNo,RefNO,AutoNum,SortNumber,InvDate,VchType,MOP,LedgerId,Party,Discount,TaxType,TaxAmt,Astamt,GrossAmt,BillAmt,OtherExpense,ComputerName,Taxable,NonTaxable,UsConversion,UsAmount,OrderInfo,DespatchInfo,ItemDiscountTotal,UserNarration,SalesManID,Cancelled,CCID,currencyid,OrderIds,VchTypeid,RoundOff,RoundOffMode,RoundOffBlock,BuyersName,PreCarriageBy,PlaceofReceiptbyPC,FlightNo,PortOfLoading,TermsofDelivery,FinalDestination,Countryoforigin,CountryOfDestination,GrossWeight,OutStandingAmt,ReceiptAmt,ReceiptID,CessOntax,NoteIDs,UserName,DiscPer,CustDiscPer,CardLedgerID,CustomField1,CustomField2,CustomField3,CustomField4,PartyAddress,MRPValue,UserID,AgentID,Accounts,CashDiscount,SaleAmount,DPerType_ManualCalc_Customer,deliveryNoteNo,ICF3Tot,ICF4Tot,DestCCID,NetAmount,ProfileID,RegNo,BlnWaitForAuthorisation,BillTime,LockMode,SyncStat,ServInvID) SELECT '2',@b3 + 1,'J-2','','2','2','2026-12-08T00:00:00.000','Stock Journal','Cash','100','Opening Stock','0',' ','0','0','947.04','947.04','0',' ','0','0','0','0',' ',' ','0','Shelf count','0','0','2','0',' ','204','0','0','0',' ',' ',' ',' ',' ',' ',' ',' ',' ',' ','0','0','0','0',' ','cashier','0','0','0',' ',' ',' ',' ',' ','0','1','0','0','0','0','0',' ','0','0','0','947.04','0',' ','0','2026-12-08T07:21:00.000','0','0','0'
INSERT INTO tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batch,TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode,ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1,iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerAU2,MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierID,HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) SELECT '1',@b3 + CAST('1' AS int),'7','3','0','274.5','274.5','315.68','340.93','1','B00007','0','0','0','947.04','0','0',' ',' ',' ','B00007','0','0','0','0','0','0',NULL,'0',' ',' ','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','2','0','0','0',' ',' ',' ','1','B00007' WHERE '1' > 0 UNION ALL SELECT '1',@b3 + CAST('0' AS int),'7','3','0','274.5','274.5','315.68','340.93','1','B00007','0','0','0','947.04','0','0',' ',' ',' ','B00007','0','0','0','0','0','0',NULL,'0',' ',' ','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','2','0','0','0',' ',' ',' ','1','B00007' WHERE '0' > 0 UNION ALL SELECT '1',@b3 + CAST('0' AS int),'7','3','0','274.5','274.5','315.68','340.93','1','B00007','0','0','0','947.04','0','0',' ',' ',' ','B00007','0','0','0','0','0','0',NULL,'0',' ',' ','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','2','0','0','0',' ',' ',' ','1','B00007' WHERE '0' > 0 UNION ALL SELECT '1',@b3 + CAST('0' AS int),'7','3','0','274.5','274.5','315.68','340.93','1','B00007','0','0','0','947.04','0','0',' ',' ',' ','B00007','0','0','0','0','0','0',NULL,'0',' ',' ','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','2','0','0','0',' ',' ',' ','1','B00007' WHERE '0' > 0 UNION ALL SELECT '1',@b3 + CAST('0' AS int),'7','3','0','274.5','274.5','315.68','340.93','1','B00007','0','0','0','947.04','0','0',' ',' ',' ','B00007','0','0','0','0','0','0',NULL,'0',' ',' ','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','2','0','0','0',' ',' ',' ','1','B00007' WHERE '0' > 0 UNION ALL SELECT '1',@b3 + CAST('0' AS int),'7','3','0','274.5','274.5','315.68','340.93','1','B00007','0','0','0','947.04','0','0',' ',' ',' ','B00007','0','0','0','0','0','0',NULL,'0',' ',' ','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','2','0','0','0',' ',' ',' ','1','B00007' WHERE '0' > 0 UNION ALL SELECT '1',@b3 + CAST('0' AS int),'7','3','0','274.5','274.5','315.68','340.93','1','B00007','0','0','0','947.04','0','0',' ',' ',' ','B00007','0','0','0','0','0','0',NULL,'0',' ',' ','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','2','0','0','0',' ',' ',' ','1','B00007' WHERE '0' > 0 UNION ALL SELECT '1',@b3 + CAST('0' AS int),'7','3','0','274.5','274.5','315.68','340.93','1','B00007','0','0','0','947.04','0','0',' ',' ',' ','B00007','0','0','0','0','0','0',NULL,'0',' ',' ','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','0','2','0','0','0',' ',' ',' ','1','B00007' WHERE '0' > 0
SELECT @b4 = isnull(max(InvID),0) FROM tblOrder WITH (UPDLOCK, HOLDLOCK)
INSERT INTO tblOrder (InvID,InvNo,InvDate,BillTime,DeliveryDate,VchTypeID,LedgerID,Party,BillAmt,NetAmount,UserNarration,SalesManID,CCID,UserID,Cancelled,CustomField1,LockMode,SyncStat,ServInvID) SELECT @b4 + 1,'O-1','2026-12-08T00:00:00.000','2026-12-08T07:21:00.000','2026-12-08T00:00:00.000','205','101','D''Mello Stores 101','1245','1245','','1','2','1','0','','0','0','0'
INSERT INTO tblOrderItem (SlNo,InvID,ItemID,Qty,Rate,MRP,Amount,BatchCode,ItemRemarks) SELECT '1',@b4 + CAST('1' AS int),'9','3','25','25','75','B00009','' WHERE '1' > 0 UNION ALL SELECT '2',@b4 + CAST('1' AS int),'3','5','110','120','550','B00003','' WHERE '1' > 0 UNION ALL SELECT '3',@b4 + CAST('1' AS int),'2','4','155','165','620','B00002','' WHERE '1' > 0 UNION ALL SELECT '3',@b4 + CAST('0' AS int),'2','4','155','165','620','B00002','' WHERE '0' > 0 UNION ALL SELECT '3',@b4 + CAST('0' AS int),'2','4','155','165','620','B00002','' WHERE '0' > 0 UNION ALL SELECT '3',@b4 + CAST('0' AS int),'2','4','155','165','620','B00002','' WHERE '0' > 0 UNION ALL SELECT '3',@b4 + CAST('0' AS int),'2','4','155','165','620','B00002','' WHERE '0' > 0 UNION ALL SELECT '3',@b4 + CAST('0' AS int),'2','4','155','165','620','B00002','' WHERE '0' > 0
END
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and SQLSERVERNAME='Branch One'
END
IF @hits > 0 ROLLBACK TRANSACTION ELSE COMMIT TRANSACTION
SET XACT_ABORT OFF
SELECT 1 AS Seq, CASE WHEN @hits = 0 THEN @b1 + 1 ELSE @f1 END AS CentralNo, CASE WHEN @f1 IS NULL THEN 0 ELSE 1 END AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 2 AS Seq, CASE WHEN @hits = 0 THEN @b1 + 2 ELSE @f2 END AS CentralNo, CASE WHEN @f2 IS NULL THEN 0 ELSE 1 END AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 3 AS Seq, CASE WHEN @hits = 0 THEN @b1 + 3 ELSE @f3 END AS CentralNo, CASE WHEN @f3 IS NULL THEN 0 ELSE 1 END AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 4 AS Seq, CASE WHEN @hits = 0 THEN @b1 + 4 ELSE @f4 END AS CentralNo, CASE WHEN @f4 IS NULL THEN 0 ELSE 1 END AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 5 AS Seq, CASE WHEN @hits = 0 THEN @b2 + 1 ELSE @f5 END AS CentralNo, CASE WHEN @f5 IS NULL THEN 0 ELSE 1 END AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 6 AS Seq, CASE WHEN @hits = 0 THEN @b2 + 2 ELSE @f6 END AS CentralNo, CASE WHEN @f6 IS NULL THEN 0 ELSE 1 END AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 7 AS Seq, CASE WHEN @hits = 0 THEN @b3 + 1 ELSE @f7 END AS CentralNo, CASE WHEN @f7 IS NULL THEN 0 ELSE 1 END AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 8 AS Seq, CASE WHEN @hits = 0 THEN @b4 + 1 ELSE @f8 END AS CentralNo, CASE WHEN @f8 IS NULL THEN 0 ELSE 1 END AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL SELECT 0 AS Seq, 0 AS CentralNo, 0 AS Already, @lock AS LockHeld, @holder AS Holder
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 2 time(s) in the played days
-- newline: CRLF
DECLARE @logged numeric(18,0)
SELECT @logged = isnull(max(ID),0) FROM tblActivity
update tblSales set SyncStat=1, ServInvID=CASE InvID WHEN 1 THEN 1 WHEN 2 THEN 2 WHEN 3 THEN 3 WHEN 4 THEN 4 END where InvID in (1,2,3,4) and isnull(SyncStat,0)=0 and not exists (select 1 from tblActivity a where a.ID>12 and a.tblUniqueID=tblSales.InvID and upper(a.TableName)='TBLSALES')
delete from tblUploadJournal where TableName='tblSales' and BranchID in (1,2,3,4) and ID not in (1,2,3,4)
update tblUploadJournal set State=1, CentralID=CASE ID WHEN 1 THEN 1 WHEN 2 THEN 2 WHEN 3 THEN 3 WHEN 4 THEN 4 END where ID in (1,2,3,4)
update tblNotes set SyncStat=1, ServInvID=CASE VchID WHEN 1 THEN 1 WHEN 2 THEN 2 END where VchID in (1,2) and isnull(SyncStat,0)=0 and not exists (select 1 from tblActivity a where a.ID>12 and a.tblUniqueID=tblNotes.VchID and upper(a.TableName)='TBLNOTES')
delete from tblUploadJournal where TableName='tblNotes' and BranchID in (1,2) and ID not in (5,6)
update tblUploadJournal set State=1, CentralID=CASE ID WHEN 5 THEN 1 WHEN 6 THEN 2 END where ID in (5,6)
update tblStockJournal set SyncStat=1, ServInvID=CASE InvID WHEN 2 THEN 4 END where InvID in (2) and isnull(SyncStat,0)=0 and not exists (select 1 from tblActivity a where a.ID>12 and a.tblUniqueID=tblStockJournal.InvID and upper(a.TableName)='TBLSTOCKJOURNAL')
delete from tblUploadJournal where TableName='tblStockJournal' and BranchID in (2) and ID not in (7)
update tblUploadJournal set State=1, CentralID=CASE ID WHEN 7 THEN 4 END where ID in (7)
update tblOrder set SyncStat=1, ServInvID=CASE InvID WHEN 1 THEN 1 END where InvID in (1) and isnull(SyncStat,0)=0 and not exists (select 1 from tblActivity a where a.ID>12 and a.tblUniqueID=tblOrder.InvID and upper(a.TableName)='TBLORDER')
delete from tblUploadJournal where TableName='tblOrder' and BranchID in (1) and ID not in (8)
update tblUploadJournal set State=1, CentralID=CASE ID WHEN 8 THEN 1 END where ID in (8)
SELECT ID FROM tblActivity WHERE ID > @logged AND Action='Update' AND ((upper(TableName)='TBLSALES' and tblUniqueID in (1,2,3,4)) or (upper(TableName)='TBLNOTES' and tblUniqueID in (1,2)) or (upper(TableName)='TBLSTOCKJOURNAL' and tblUniqueID in (2)) or (upper(TableName)='TBLORDER' and tblUniqueID in (1)))
GO

-- Upload pass (AutoSynch pass)
-- on: branch
-- sent 2 time(s) in the played days
select ID from tblActivity where ID>12
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


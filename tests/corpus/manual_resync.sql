-- Manual re-sync: the working day's vouchers deleted centrally and queued again at the branch;
-- then the day purge on both databases.
-- prepare: upgrade
GO

-- cmdManualSynch: Delete Stock History Web
-- on: central
delete from tblStockHistory where ccid=2 AND Vchdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete Sales Web
-- on: central
delete from tblSales where ccid=2 AND Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Update Sales
-- on: branch
Update tblSales  set syncstat = 0 where ccid=2 AND  Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete tblStockJournal Web
-- on: central
delete from tblStockJournal where ccid=2 AND  Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Update Sales
-- on: branch
Update tblStockJournal  set syncstat = 0 where Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete tblOrder Web
-- on: central
delete from tblOrder where ccid=2 AND  Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Update tblOrder
-- on: branch
Update tblOrder  set syncstat = 0 where Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete tblJobcard Web
-- on: central
delete from tblJobcard where ccid=2 AND  JobCardDate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Update Jobcard 
-- on: branch
Update tblJobcard  set syncstat = 0 where JObcarddate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete Notes Web
-- on: central
delete from tblNotes where ccid=2 AND  VchDate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Update NOtes
-- on: branch
Update tblNotes  set syncstat = 0 where Vchdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: branch
delete from tblStockHistory where 1=1 and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: branch
delete from tblSales where 1=1 and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: branch
delete from tblActivity 
GO

-- Command1 (day purge)
-- on: branch
delete from tblSTOCKJOURNAL where 1=1 and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: branch
delete from tblJOBCARD where 1=1 and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: branch
delete from tbloRDER where 1=1 and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: branch
delete from TBLNOTES where 1=1 and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Manual Synch
-- on: central
select (select count(*) from tblSales where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))+(select count(*) from tblNotes where ccid=2 AND  VchDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))+(select count(*) from tblStockJournal where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))+(select count(*) from tblJobCard where ccid=2 AND  JobCardDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))+(select count(*) from tblOrder where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)) as V, (select count(*) from tblSalesItem where InvID in (Select InvID from tblSales where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)))+(select count(*) from tblStockJournalDetail where InvID in (Select InvID from tblStockJournal where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)))+(select count(*) from tblJobCardDetail where JobCardID in (Select JobCardID from tblJobCard where ccid=2 AND  JobCardDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)))+(select count(*) from tblOrderItem where InvID in (Select InvID from tblOrder where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))) as L
GO

-- Manual Synch
-- on: branch
select (select count(*) from tblSales where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))+(select count(*) from tblNotes where ccid=2 AND  VchDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))+(select count(*) from tblStockJournal where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))+(select count(*) from tblJobCard where ccid=2 AND  JobCardDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))+(select count(*) from tblOrder where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)) as V
GO

-- Manual Synch: the branch's vouchers of the day head office holds, before they are queued again
-- on: branch
-- expect-rows: 0
select 0 as Kind, InvID as ID from tblSales where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and SyncStat=1 union all select 1 as Kind, VchID as ID from tblNotes where ccid=2 AND  VchDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and SyncStat=1 union all select 2 as Kind, InvID as ID from tblStockJournal where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and SyncStat=1 union all select 3 as Kind, JobCardID as ID from tblJobCard where ccid=2 AND  JobCardDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and SyncStat=1 union all select 4 as Kind, InvID as ID from tblOrder where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204) and SyncStat=1
GO

-- Manual Synch: the same with no voucher type ticked
-- on: branch
-- expect-rows: 0
select 0 as Kind, InvID as ID from tblSales where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45)) and SyncStat=1 union all select 1 as Kind, VchID as ID from tblNotes where ccid=2 AND  VchDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45)) and SyncStat=1 union all select 2 as Kind, InvID as ID from tblStockJournal where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45)) and SyncStat=1 union all select 3 as Kind, JobCardID as ID from tblJobCard where ccid=2 AND  JobCardDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45)) and SyncStat=1 union all select 4 as Kind, InvID as ID from tblOrder where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45)) and SyncStat=1
GO

-- Manual Synch: the re-queue taken back, head office having kept the day
-- on: branch
-- expect-rows: 0
update tblSales set SyncStat=1 where InvID in (1,2,3) and isnull(SyncStat,0)=0
GO

-- Manual Synch: the re-queue taken back, head office having kept the day
-- on: branch
-- expect-rows: 0
update tblNotes set SyncStat=1 where VchID in (1,2,3) and isnull(SyncStat,0)=0
GO

-- Manual Synch: the re-queue taken back, head office having kept the day
-- on: branch
-- expect-rows: 0
update tblStockJournal set SyncStat=1 where InvID in (1,2,3) and isnull(SyncStat,0)=0
GO

-- Manual Synch: the re-queue taken back, head office having kept the day
-- on: branch
-- expect-rows: 0
update tblJobCard set SyncStat=1 where JobCardID in (1,2,3) and isnull(SyncStat,0)=0
GO

-- Manual Synch: the re-queue taken back, head office having kept the day
-- on: branch
-- expect-rows: 0
update tblOrder set SyncStat=1 where InvID in (1,2,3) and isnull(SyncStat,0)=0
GO

-- Manual Synch: head office's copy of the day deleted, the push lock taken and given back in its transaction
-- on: central
-- newline: CRLF
SET XACT_ABORT ON
DECLARE @lock int, @holder varchar(50), @deleted int
BEGIN TRANSACTION
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and (SQLSERVERNAME='Branch One' or BlockDataEntry is null or BlockDataEntry<>1 or (Timeof is null or DATEDIFF(second, Timeof, getDate()) >= 50 or DATEDIFF(second, Timeof, getDate()) <= -50))
 INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,ActivitiesDetail,Timeof) Select 'BLOCKFASTPUSH',1,'Branch One','','Blocking for data pushing from client',getDate() where not exists (Select 1 from [tblDayActivity] with (updlock, holdlock) where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50)
SELECT @lock = count(*) FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' AND BlockDataEntry=1 AND SQLSERVERNAME='Branch One'
SELECT TOP 1 @holder = SQLSERVERNAME FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 ORDER BY ID
IF @lock > 0
BEGIN
SET @deleted = 0
delete from tblStockHistory where ccid=2 AND Vchdate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)
delete from tblSalesItem where InvID in (Select InvID from tblSales where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))
delete from tblSales where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)
SET @deleted = @deleted + @@ROWCOUNT
delete from tblNotes where ccid=2 AND  VchDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)
SET @deleted = @deleted + @@ROWCOUNT
delete from tblStockJournalDetail where InvID in (Select InvID from tblStockJournal where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))
delete from tblStockJournal where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)
SET @deleted = @deleted + @@ROWCOUNT
delete from tblJobCardDetail where JobCardID in (Select JobCardID from tblJobCard where ccid=2 AND  JobCardDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))
delete from tblJobCard where ccid=2 AND  JobCardDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)
SET @deleted = @deleted + @@ROWCOUNT
delete from tblOrderItem where InvID in (Select InvID from tblOrder where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))
delete from tblOrder where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)
SET @deleted = @deleted + @@ROWCOUNT
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and SQLSERVERNAME='Branch One'
END
COMMIT TRANSACTION
SET XACT_ABORT OFF
SELECT @lock AS LockHeld, @holder AS Holder, @deleted AS Deleted
GO

-- Manual Synch: the same with no voucher type ticked
-- on: central
-- newline: CRLF
SET XACT_ABORT ON
DECLARE @lock int, @holder varchar(50), @deleted int
BEGIN TRANSACTION
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and (SQLSERVERNAME='Branch One' or BlockDataEntry is null or BlockDataEntry<>1 or (Timeof is null or DATEDIFF(second, Timeof, getDate()) >= 50 or DATEDIFF(second, Timeof, getDate()) <= -50))
 INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,ActivitiesDetail,Timeof) Select 'BLOCKFASTPUSH',1,'Branch One','','Blocking for data pushing from client',getDate() where not exists (Select 1 from [tblDayActivity] with (updlock, holdlock) where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50)
SELECT @lock = count(*) FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' AND BlockDataEntry=1 AND SQLSERVERNAME='Branch One'
SELECT TOP 1 @holder = SQLSERVERNAME FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 ORDER BY ID
IF @lock > 0
BEGIN
SET @deleted = 0
delete from tblStockHistory where ccid=2 AND Vchdate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45))
delete from tblSalesItem where InvID in (Select InvID from tblSales where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45)))
delete from tblSales where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45))
SET @deleted = @deleted + @@ROWCOUNT
delete from tblNotes where ccid=2 AND  VchDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45))
SET @deleted = @deleted + @@ROWCOUNT
delete from tblStockJournalDetail where InvID in (Select InvID from tblStockJournal where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45)))
delete from tblStockJournal where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45))
SET @deleted = @deleted + @@ROWCOUNT
delete from tblJobCardDetail where JobCardID in (Select JobCardID from tblJobCard where ccid=2 AND  JobCardDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45)))
delete from tblJobCard where ccid=2 AND  JobCardDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45))
SET @deleted = @deleted + @@ROWCOUNT
delete from tblOrderItem where InvID in (Select InvID from tblOrder where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45)))
delete from tblOrder where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (select VchTypeID from tblVchType where ParentID in (1,3,5,7,8,9,10,14,18,41,42,43,44,45))
SET @deleted = @deleted + @@ROWCOUNT
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and SQLSERVERNAME='Branch One'
END
COMMIT TRANSACTION
SET XACT_ABORT OFF
SELECT @lock AS LockHeld, @holder AS Holder, @deleted AS Deleted
GO

-- Manual Synch
-- on: branch
Update tblNotes  set syncstat = 0 where ccid=2 AND  VchDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Manual Synch
-- on: branch
Update tblStockJournal  set syncstat = 0 where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Manual Synch
-- on: branch
Update tblJobCard  set syncstat = 0 where ccid=2 AND  JobCardDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Manual Synch
-- on: branch
Update tblOrder  set syncstat = 0 where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204)
GO

-- Manual Synch
-- on: branch
Select * from tblSales where  invDate='07/Dec/2026' and InvID in (1,2,3,4) order by InvID
GO

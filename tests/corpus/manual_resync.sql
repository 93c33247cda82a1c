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

-- Manual Synch
-- on: central
-- newline: CRLF
SET XACT_ABORT ON
BEGIN TRANSACTION
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and (SQLSERVERNAME='Branch One' or BlockDataEntry is null or BlockDataEntry<>1 or (Timeof is null or DATEDIFF(second, Timeof, getDate()) >= 50 or DATEDIFF(second, Timeof, getDate()) <= -50))
 INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,ActivitiesDetail,Timeof) Select 'BLOCKFASTPUSH',1,'Branch One','','Blocking for data pushing from client',getDate() where not exists (Select 1 from [tblDayActivity] with (updlock, holdlock) where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50)
COMMIT TRANSACTION
SET XACT_ABORT OFF
Select top 1 SQLSERVERNAME as Holder from [tblDayActivity] where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50 order by ID
GO

-- Manual Synch
-- on: central
delete from tblSalesItem where InvID in (Select InvID from tblSales where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Manual Synch
-- on: central
delete from tblStockJournalDetail where InvID in (Select InvID from tblStockJournal where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Manual Synch
-- on: central
delete from tblJobCardDetail where JobCardID in (Select JobCardID from tblJobCard where ccid=2 AND  JobCardDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))
GO

-- Manual Synch
-- on: central
delete from tblOrderItem where InvID in (Select InvID from tblOrder where ccid=2 AND  InvDate= '07/Dec/2026'  and vchtypeID in (206,203,202,201,205,207,204))
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
-- on: central
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and SQLSERVERNAME='Branch One'
GO

-- Manual Synch
-- on: branch
Select * from tblSales where  invDate='07/Dec/2026' and InvID in (1,2,3,4) order by InvID
GO

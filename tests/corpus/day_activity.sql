-- Day rows: WriteDayActivity on both databases, GetdayStartDate on the branch and
-- setdatstartDet on the central database.
-- prepare: upgrade
GO

-- WriteDayActivity: Day Start started
-- on: branch
-- expect-rows: 1
 INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( 'DayStart','09:01:05 AM','','05/Dec/2026','Day Start started',1,0,2,1,'embedded:servers/branch')
GO

-- WriteDayActivity: Day Start started
-- on: central
-- expect-rows: 1
 INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( 'DayStart','09:01:05 AM','','05/Dec/2026','Day Start started',1,0,2,1,'embedded:servers/branch')
GO

-- WriteDayActivity: Day Start Finished
-- on: branch
-- expect-rows: 1
 INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( 'DayStart','09:04:40 AM','','05/Dec/2026','Day Start Finished',1,0,2,0,'embedded:servers/branch')
GO

-- WriteDayActivity: Day Start Finished
-- on: central
-- expect-rows: 1
 INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( 'DayStart','09:04:40 AM','','05/Dec/2026','Day Start Finished',1,0,2,0,'embedded:servers/branch')
GO

-- WriteDayActivity: Day End Completed
-- on: branch
-- expect-rows: 1
 INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( 'DayEnd','09:15:10 PM','','05/Dec/2026','Day End Completed',0,1,2,1,'embedded:servers/branch')
GO

-- WriteDayActivity: Day End Completed
-- on: central
-- expect-rows: 1
 INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( 'DayEnd','09:15:10 PM','','05/Dec/2026','Day End Completed',0,1,2,1,'embedded:servers/branch')
GO

-- WriteDayActivity: Day Start started
-- on: branch
-- expect-rows: 1
 INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( 'DayStart','08:58:00 AM','','06/Dec/2026','Day Start started',1,0,2,1,'embedded:servers/branch')
GO

-- WriteDayActivity: Day Start started
-- on: central
-- expect-rows: 1
 INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( 'DayStart','08:58:00 AM','','06/Dec/2026','Day Start started',1,0,2,1,'embedded:servers/branch')
GO

-- WriteDayActivity: Day Start Aborted with error
-- on: branch
-- expect-rows: 1
 INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( 'DayStart','09:02:30 AM','','06/Dec/2026','Day Start Aborted with error',1,0,2,0,'embedded:servers/branch')
GO

-- WriteDayActivity: Day Start Aborted with error
-- on: central
-- expect-rows: 1
 INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( 'DayStart','09:02:30 AM','','06/Dec/2026','Day Start Aborted with error',1,0,2,0,'embedded:servers/branch')
GO

-- check: the time of day is kept on the base date
-- on: branch
-- expect-value: 1900-01-01 09:01:05.000
SELECT TimeOf FROM tblDayActivity WHERE ID = 1
GO

-- check: the date has no time of day
-- on: branch
-- expect-value: 2026-12-05 00:00:00.000
SELECT DateOF FROM tblDayActivity WHERE ID = 1
GO

-- GetdayStartDate
-- on: branch
-- expect-value: 2026-12-06 00:00:00.000
-- expect-rows: 1
Select Top 1 DateOF from  tblDayActivity where Activity='DayStart' and SQLSERVERNAME='embedded:servers/branch' Order by ID desc 
GO

-- GetdayStartDate of another server
-- on: branch
-- expect-rows: 0
Select Top 1 DateOF from  tblDayActivity where Activity='DayStart' and SQLSERVERNAME='OTHERPC\SQLEXPRESS' Order by ID desc 
GO

-- setdatstartDet: the latest day row of the cost centre
-- on: central
-- expect-value: 5
-- expect-rows: 1
SELECT     TOP (1) ID, Activity, TimeOf, SystemName, DateOF, ActivitiesDetail, BlnStarted, BlnEnded, CCID, BlockDataEntry, SQLSERVERNAME From tblDayActivity  where CCID=2 ORDER BY DateOF DESC,  TimeOf DESC
GO

-- setdatstartDet: the latest day row of the cost centre, the latest written first among rows of one time
-- on: central
SELECT     TOP (1) ID, Activity, TimeOf, SystemName, DateOF, ActivitiesDetail, BlnStarted, BlnEnded, CCID, BlockDataEntry, SQLSERVERNAME From tblDayActivity  where CCID=2 ORDER BY DateOF DESC,  TimeOf DESC, ID DESC
GO

-- setdatstartDet of a cost centre without day rows
-- on: central
-- expect-rows: 0
SELECT     TOP (1) ID, Activity, TimeOf, SystemName, DateOF, ActivitiesDetail, BlnStarted, BlnEnded, CCID, BlockDataEntry, SQLSERVERNAME From tblDayActivity  where CCID=3 ORDER BY DateOF DESC,  TimeOf DESC
GO

-- WriteDayActivity: a detail holding an apostrophe breaks the insert
-- on: branch
-- expect-error: Incorrect syntax|Unclosed quotation mark
 INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( 'DayEnd','09:00:00 PM','','06/Dec/2026','Day End by O'Brien',0,1,2,1,'embedded:servers/branch')
GO

-- Connect
-- on: branch
SELECT TOP 1 ID FROM tblDayActivity
GO

-- Connect
-- on: branch
select count(*) from tblSales where isnull(SyncStat,0)<>1 and CCID=2 and VchTypeID in (206,203,202,201,205,207,204)
GO

-- Connect
-- on: branch
select count(*) from tblNotes where isnull(SyncStat,0)<>1 and CCID=2 and VchTypeID in (206,203,202,201,205,207,204)
GO

-- Connect
-- on: branch
select count(*) from tblStockJournal where isnull(SyncStat,0)<>1 and CCID=2 and VchTypeID in (206,203,202,201,205,207,204)
GO

-- Connect
-- on: branch
select count(*) from tblJobCard where isnull(SyncStat,0)<>1 and CCID=2 and VchTypeID in (206,203,202,201,205,207,204)
GO

-- Connect
-- on: branch
select count(*) from tblOrder where isnull(SyncStat,0)<>1 and CCID=2 and VchTypeID in (206,203,202,201,205,207,204)
GO

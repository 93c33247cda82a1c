-- Server push lock: the BLOCKFASTPUSH row of the central day table.
-- prepare: upgrade
GO

-- check: no lock row
-- on: central
-- expect-rows: 0
Select getDate() as MyGetdate,* from tblDayActivity where Activity='BLOCKFASTPUSH' 
GO

-- refresh with no lock row
-- on: central
-- expect-rows: 0
 update [tblDayActivity]set Timeof=getDate() where Activity='BLOCKFASTPUSH'
GO

-- take: remove any lock row
-- on: central
-- expect-rows: 0
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' 
GO

-- take: insert the lock row
-- on: central
-- expect-rows: 1
 INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,ActivitiesDetail,Timeof) Values ('BLOCKFASTPUSH',1,'Branch One','','Blocking for data pushing from client',getDate())
GO

-- check: a live lock row
-- on: central
-- expect-rows: 1
Select getDate() as MyGetdate,* from tblDayActivity where Activity='BLOCKFASTPUSH' 
GO

-- check: the holder's name
-- on: central
-- expect-value: Branch One
SELECT SQLSERVERNAME FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH'
GO

-- refresh
-- on: central
-- expect-rows: 1
 update [tblDayActivity]set Timeof=getDate() where Activity='BLOCKFASTPUSH'
GO

-- check: abandoned lock removed
-- on: central
-- expect-rows: 1
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH'
GO

-- take again
-- on: central
-- expect-rows: 1
 INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,ActivitiesDetail,Timeof) Values ('BLOCKFASTPUSH',1,'Branch One','','Blocking for data pushing from client',getDate())
GO

-- release
-- on: central
-- expect-rows: 1
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' 
GO

-- release when free
-- on: central
-- expect-rows: 0
 Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' 
GO

-- Update Database on a fresh pair of company databases: every statement in the order the
-- upgrade sends them (the upload journal's last ones are in upload_journal.sql). Failures marked
-- expect-error are the ones the upgrade ignores on a first run.
GO

-- board-rate upload columns
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
 Alter table tblBoardRateMaster add VchID numeric 
GO

-- board-rate upload columns
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
 Alter table tblBoardRateMaster add VchNo numeric 
GO

-- board-rate upload columns
-- on: central
-- rerun-expect-error: Column names in each table must be unique
 Alter table tblBoardRateMaster add VchID numeric 
GO

-- board-rate upload columns
-- on: central
-- rerun-expect-error: Column names in each table must be unique
 Alter table tblBoardRateMaster add VchNo numeric 
GO

-- board-rate custom field
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
Alter table tblBoardRateMaster add CUSTOMFIELD1 varchar(50) 
GO

-- board-rate custom field
-- on: central
-- rerun-expect-error: Column names in each table must be unique
Alter table tblBoardRateMaster add CUSTOMFIELD1 varchar(50) 
GO

-- sales modified-by column
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
Alter table tblSales add UserIDModified Numeric 
GO

-- sales modified-by column
-- on: central
-- rerun-expect-error: Column names in each table must be unique
Alter table tblSales add UserIDModified Numeric 
GO

-- price list CatchAll to numeric
-- on: branch
Alter table tblpricelist  alter column CatchAll Numeric 
GO

-- price list CatchAll to numeric
-- on: central
Alter table tblpricelist  alter column CatchAll Numeric 
GO

-- price list blnPercentage to numeric
-- on: branch
Alter table tblpricelist  alter column blnPercentage Numeric 
GO

-- price list blnPercentage to numeric
-- on: central
Alter table tblpricelist  alter column blnPercentage Numeric 
GO

-- sales upload flag
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
Alter table TblSales Add SyncStat Numeric
GO

-- drop the old sales upload flag
-- on: branch
-- rerun-expect-error: does not exist
Alter table TblSales Drop column SynchStat 
GO

-- sales upload flag
-- on: central
-- rerun-expect-error: Column names in each table must be unique
Alter table TblSales Add SyncStat Numeric
GO

-- item MRP rate column
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
ALTER TABLE tblItemMaster add sRatePerOnMRP float 
GO

-- item MRP rate column default
-- on: branch
update tblItemMaster Set sRatePerOnMRP =0 where sRatePerOnMRP IS NULL
GO

-- item MRP rate column
-- on: central
-- rerun-expect-error: Column names in each table must be unique
ALTER TABLE tblItemMaster add sRatePerOnMRP float 
GO

-- item MRP rate column default
-- on: central
update tblItemMaster Set sRatePerOnMRP =0 where sRatePerOnMRP IS NULL
GO

-- voucher upload columns
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
Alter table TblSales Add ServInvID Numeric
GO

-- voucher upload columns
-- on: central
-- rerun-expect-error: Column names in each table must be unique
Alter table TblSales Add ServInvID Numeric
GO

-- voucher upload columns
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
Alter table TblNotes Add SyncStat Numeric
GO

-- voucher upload columns
-- on: central
-- rerun-expect-error: Column names in each table must be unique
Alter table TblNotes Add SyncStat Numeric
GO

-- voucher upload columns
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
Alter table TblNotes Add ServInvID Numeric
GO

-- voucher upload columns
-- on: central
-- rerun-expect-error: Column names in each table must be unique
Alter table TblNotes Add ServInvID Numeric
GO

-- voucher upload columns
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
Alter table Tblstockjournal Add SyncStat Numeric
GO

-- voucher upload columns
-- on: central
-- rerun-expect-error: Column names in each table must be unique
Alter table Tblstockjournal Add SyncStat Numeric
GO

-- voucher upload columns
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
Alter table Tblstockjournal Add ServInvID Numeric
GO

-- voucher upload columns
-- on: central
-- rerun-expect-error: Column names in each table must be unique
Alter table Tblstockjournal Add ServInvID Numeric
GO

-- voucher upload columns
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
Alter table TblJobcard Add SyncStat Numeric
GO

-- voucher upload columns
-- on: central
-- rerun-expect-error: Column names in each table must be unique
Alter table TblJobcard Add SyncStat Numeric
GO

-- voucher upload columns
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
Alter table TblJobcard Add ServInvID Numeric
GO

-- voucher upload columns
-- on: central
-- rerun-expect-error: Column names in each table must be unique
Alter table TblJobcard Add ServInvID Numeric
GO

-- voucher upload columns
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
Alter table tblOrder Add SyncStat Numeric
GO

-- voucher upload columns
-- on: central
-- rerun-expect-error: Column names in each table must be unique
Alter table tblOrder Add SyncStat Numeric
GO

-- voucher upload columns
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
Alter table tblOrder Add ServInvID Numeric
GO

-- voucher upload columns
-- on: central
-- rerun-expect-error: Column names in each table must be unique
Alter table tblOrder Add ServInvID Numeric
GO

-- user group id rebuilt as plain numeric
-- on: branch
Alter Table tblUserGroupMaster ADD NEWID Numeric
GO

-- user group id rebuilt as plain numeric
-- on: branch
update tblUserGroupMaster set NEWID =id
GO

-- user group id rebuilt as plain numeric
-- on: branch
Alter Table tblUserGroupMaster Drop column ID
GO

-- user group id rebuilt as plain numeric
-- on: branch
Alter Table tblUserGroupMaster ADD ID Numeric
GO

-- user group id rebuilt as plain numeric
-- on: branch
update tblUserGroupMaster set id=NEWID
GO

-- user group id rebuilt as plain numeric
-- on: branch
Alter Table tblUserGroupMaster Drop column NEWID
GO

-- godown id rebuilt as plain numeric
-- on: branch
Alter Table tblGodown ADD NEWID Numeric
GO

-- godown id rebuilt as plain numeric
-- on: branch
update tblGodown set NEWID =GodownID
GO

-- godown id rebuilt as plain numeric
-- on: branch
Alter Table tblGodown Drop column GodownID
GO

-- godown id rebuilt as plain numeric
-- on: branch
Alter Table tblGodown ADD GodownID Numeric
GO

-- godown id rebuilt as plain numeric
-- on: branch
update tblGodown set GodownID=NEWID
GO

-- godown id rebuilt as plain numeric
-- on: branch
Alter Table tblGodown Drop column NEWID
GO

-- day rows table created
-- on: branch
-- rerun-expect-error: There is already an object named
 CREATE TABLE [dbo].[tblDayActivity](     [ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL,    [Activity] [varchar](50) NOT NULL,    [TimeOf] [datetime] NULL,    [SystemName] [varchar](50) not NULL,    [DateOF] [datetime] NULL,     [ActivitiesDetail] [varchar](500) NOT NULL,    [BlnStarted] [numeric](18, 0) NULL,    [BlnEnded] [numeric](18, 0) NULL,    [CCID] [numeric](18, 0) NULL,BlockDataEntry [numeric](18, 0),SQLSERVERNAME  [varchar](50) NOT NULL,  CONSTRAINT [PK_tblDayActivity] PRIMARY KEY CLUSTERED (   ID Asc )WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ) ON [PRIMARY] 
GO

-- day rows table widened
-- on: branch
-- expect-error: Column names in each table must be unique
-- rerun-expect-error: Column names in each table must be unique
 Alter TABLE tblDayActivity add BlockDataEntry [numeric](18, 0),SQLSERVERNAME  [varchar](50) NOT NULL  
GO

-- Update Database: the day table's lock columns, already there in a table the upgrade has just made
-- on: branch
-- expect-error: Column names in each table must be unique
-- rerun-expect-error: Column names in each table must be unique
 Alter TABLE tblDayActivity add BlockDataEntry [numeric](18, 0) 
GO

-- Update Database: the day table's lock columns, already there in a table the upgrade has just made
-- on: branch
-- expect-error: Column names in each table must be unique
-- rerun-expect-error: Column names in each table must be unique
 Alter TABLE tblDayActivity add SQLSERVERNAME [varchar](50) NOT NULL DEFAULT ('') 
GO

-- day rows table created
-- on: central
-- rerun-expect-error: There is already an object named
 CREATE TABLE [dbo].[tblDayActivity](     [ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL,    [Activity] [varchar](50) NOT NULL,    [TimeOf] [datetime] NULL,    [SystemName] [varchar](50) not NULL,    [DateOF] [datetime] NULL,     [ActivitiesDetail] [varchar](500) NOT NULL,    [BlnStarted] [numeric](18, 0) NULL,    [BlnEnded] [numeric](18, 0) NULL,    [CCID] [numeric](18, 0) NULL,BlockDataEntry [numeric](18, 0),SQLSERVERNAME  [varchar](50) NOT NULL,  CONSTRAINT [PK_tblDayActivity] PRIMARY KEY CLUSTERED (   ID Asc )WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ) ON [PRIMARY] 
GO

-- day rows table widened
-- on: central
-- expect-error: Column names in each table must be unique
-- rerun-expect-error: Column names in each table must be unique
 Alter TABLE tblDayActivity add BlockDataEntry [numeric](18, 0),SQLSERVERNAME  [varchar](50) NOT NULL  
GO

-- Update Database
-- on: central
-- expect-error: Column names in each table must be unique
-- rerun-expect-error: Column names in each table must be unique
 Alter TABLE tblDayActivity add BlockDataEntry [numeric](18, 0) 
GO

-- Update Database
-- on: central
-- expect-error: Column names in each table must be unique
-- rerun-expect-error: Column names in each table must be unique
 Alter TABLE tblDayActivity add SQLSERVERNAME [varchar](50) NOT NULL DEFAULT ('') 
GO

-- change log created
-- on: branch
-- rerun-expect-error: There is already an object named
 CREATE TABLE [dbo].[tblActivity]( [ID] [numeric](18, 0) NOT NULL, [TableName] [varchar](50) NULL, [tblUniqueID] [numeric](18, 0) NULL,[Action] [varchar](50) NULL, [Active] [numeric](18, 0) NULL, [DateofAction] [datetime] NULL,  CONSTRAINT [PK_tblActivity] PRIMARY KEY CLUSTERED (     [id] Asc )WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ) ON [PRIMARY]  
GO

-- change log created
-- on: central
-- rerun-expect-error: There is already an object named
 CREATE TABLE [dbo].[tblActivity]( [ID] [numeric](18, 0) NOT NULL, [TableName] [varchar](50) NULL, [tblUniqueID] [numeric](18, 0) NULL,[Action] [varchar](50) NULL, [Active] [numeric](18, 0) NULL, [DateofAction] [datetime] NULL,  CONSTRAINT [PK_tblActivity] PRIMARY KEY CLUSTERED (     [id] Asc )WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ) ON [PRIMARY]  
GO

-- change log widened
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
 alter TABLE [dbo].[tblActivity] add ParentID [numeric](18, 0), VchTYpeID [numeric](18, 0)
GO

-- change log widened
-- on: central
-- rerun-expect-error: Column names in each table must be unique
 alter TABLE [dbo].[tblActivity] add ParentID [numeric](18, 0), VchTYpeID [numeric](18, 0)
GO

-- change log widened
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
 alter TABLE [dbo].[tblActivity] add ActionTime datetime
GO

-- change log widened
-- on: central
-- rerun-expect-error: Column names in each table must be unique
 alter TABLE [dbo].[tblActivity] add ActionTime datetime
GO

-- change log widened
-- on: branch
-- rerun-expect-error: Column names in each table must be unique
 alter TABLE [dbo].[tblActivity] add tblUniqueRefID [numeric](18, 0)
GO

-- change log widened
-- on: central
-- rerun-expect-error: Column names in each table must be unique
 alter TABLE [dbo].[tblActivity] add tblUniqueRefID [numeric](18, 0)
GO

-- Droptrigger Area
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_AreaInsert
GO

-- Droptrigger Area
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Areaupdate
GO

-- Droptrigger Area
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_AreaDelete
GO

-- Droptrigger Categories
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CategoriesInsert
GO

-- Droptrigger Categories
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Categoriesupdate
GO

-- Droptrigger Categories
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CategoriesDelete
GO

-- Droptrigger CostCentre
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CostCentreInsert
GO

-- Droptrigger CostCentre
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CostCentreupdate
GO

-- Droptrigger CostCentre
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CostCentreDelete
GO

-- Droptrigger Employee
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_EmployeeInsert
GO

-- Droptrigger Employee
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Employeeupdate
GO

-- Droptrigger Employee
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_EmployeeDelete
GO

-- Droptrigger Godown
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_GodownInsert
GO

-- Droptrigger Godown
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Godownupdate
GO

-- Droptrigger Godown
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_GodownDelete
GO

-- Droptrigger Iteams
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_IteamsInsert
GO

-- Droptrigger Iteams
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Iteamsupdate
GO

-- Droptrigger Iteams
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_IteamsDelete
GO

-- Droptrigger Ledger
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_LedgerInsert
GO

-- Droptrigger Ledger
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Ledgerupdate
GO

-- Droptrigger Ledger
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_LedgerDelete
GO

-- Droptrigger HSNCODE
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_HSNCODEInsert
GO

-- Droptrigger HSNCODE
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_HSNCODEupdate
GO

-- Droptrigger HSNCODE
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_HSNCODEDelete
GO

-- Droptrigger TaxClass
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_TaxClassInsert
GO

-- Droptrigger TaxClass
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_TaxClassupdate
GO

-- Droptrigger TaxClass
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_TaxClassDelete
GO

-- Droptrigger Unit
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_UnitInsert
GO

-- Droptrigger Unit
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Unitupdate
GO

-- Droptrigger Unit
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_UnitDelete
GO

-- Droptrigger User
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_UserInsert
GO

-- Droptrigger User
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Userupdate
GO

-- Droptrigger User
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_UserDelete
GO

-- Droptrigger Usergroup
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_UsergroupInsert
GO

-- Droptrigger Usergroup
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Usergroupupdate
GO

-- Droptrigger Usergroup
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_UsergroupDelete
GO

-- Droptrigger PricList
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_PricListInsert
GO

-- Droptrigger PricList
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_PricListupdate
GO

-- Droptrigger PricList
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_PricListDelete
GO

-- Droptrigger VchType
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_VchTypeInsert
GO

-- Droptrigger VchType
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_VchTypeupdate
GO

-- Droptrigger VchType
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_VchTypeDelete
GO

-- Droptrigger CustomerProfile
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CustomerProfileInsert
GO

-- Droptrigger CustomerProfile
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CustomerProfileupdate
GO

-- Droptrigger CustomerProfile
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CustomerProfileDelete
GO

-- Droptrigger CustomerCard
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CustomerCardInsert
GO

-- Droptrigger CustomerCard
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CustomerCardupdate
GO

-- Droptrigger CustomerCard
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CustomerCardDelete
GO

-- Droptrigger CurrencyDetail
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CurrencyDetailInsert
GO

-- Droptrigger CurrencyDetail
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CurrencyDetailupdate
GO

-- Droptrigger CurrencyDetail
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CurrencyDetailDelete
GO

-- Droptrigger Currency
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CurrencyInsert
GO

-- Droptrigger Currency
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Currencyupdate
GO

-- Droptrigger Currency
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_CurrencyDelete
GO

-- Createtrigger Area: insert trigger on tblArea
-- on: central
-- trailing-newline
create trigger Trig_AreaInsert 
 ON tblArea 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.AreaID), 'tblArea',inserted.AreaID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.AreaID is Not NULL
GO

-- Createtrigger Area: update trigger on tblArea
-- on: central
-- trailing-newline
 create trigger Trig_Areaupdate
 ON  tblArea 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.AreaID), 'tblArea',inserted.AreaID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.AreaID is Not NULL
GO

-- Createtrigger Area: delete trigger on tblArea
-- on: central
-- trailing-newline
 create trigger Trig_AreaDelete
 ON  tblArea 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.AreaID),'tblArea',deleted.AreaID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.AreaID is Not NULL
GO

-- Createtrigger Categories: insert trigger on tblCategories
-- on: central
-- trailing-newline
create trigger Trig_CategoriesInsert 
 ON tblCategories 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.CategoryID), 'tblCategories',inserted.CategoryID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.CategoryID is Not NULL
GO

-- Createtrigger Categories: update trigger on tblCategories
-- on: central
-- trailing-newline
 create trigger Trig_Categoriesupdate
 ON  tblCategories 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.CategoryID), 'tblCategories',inserted.CategoryID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.CategoryID is Not NULL
GO

-- Createtrigger Categories: delete trigger on tblCategories
-- on: central
-- trailing-newline
 create trigger Trig_CategoriesDelete
 ON  tblCategories 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.CategoryID),'tblCategories',deleted.CategoryID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.CategoryID is Not NULL
GO

-- Createtrigger CostCentre: insert trigger on tblCostCentre
-- on: central
-- trailing-newline
create trigger Trig_CostCentreInsert 
 ON tblCostCentre 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.CCID), 'tblCostCentre',inserted.CCID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.CCID is Not NULL
GO

-- Createtrigger CostCentre: update trigger on tblCostCentre
-- on: central
-- trailing-newline
 create trigger Trig_CostCentreupdate
 ON  tblCostCentre 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.CCID), 'tblCostCentre',inserted.CCID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.CCID is Not NULL
GO

-- Createtrigger CostCentre: delete trigger on tblCostCentre
-- on: central
-- trailing-newline
 create trigger Trig_CostCentreDelete
 ON  tblCostCentre 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.CCID),'tblCostCentre',deleted.CCID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.CCID is Not NULL
GO

-- Createtrigger Employee: insert trigger on tblEmployee
-- on: central
-- trailing-newline
create trigger Trig_EmployeeInsert 
 ON tblEmployee 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.EmpID), 'tblEmployee',inserted.EmpID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.EmpID is Not NULL
GO

-- Createtrigger Employee: update trigger on tblEmployee
-- on: central
-- trailing-newline
 create trigger Trig_Employeeupdate
 ON  tblEmployee 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.EmpID), 'tblEmployee',inserted.EmpID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.EmpID is Not NULL
GO

-- Createtrigger Employee: delete trigger on tblEmployee
-- on: central
-- trailing-newline
 create trigger Trig_EmployeeDelete
 ON  tblEmployee 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.EmpID),'tblEmployee',deleted.EmpID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.EmpID is Not NULL
GO

-- Createtrigger Godown: insert trigger on tblGodown
-- on: central
-- trailing-newline
create trigger Trig_GodownInsert 
 ON tblGodown 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.GodownID), 'tblGodown',inserted.GodownID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.GodownID is Not NULL
GO

-- Createtrigger Godown: update trigger on tblGodown
-- on: central
-- trailing-newline
 create trigger Trig_Godownupdate
 ON  tblGodown 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.GodownID), 'tblGodown',inserted.GodownID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.GodownID is Not NULL
GO

-- Createtrigger Godown: delete trigger on tblGodown
-- on: central
-- trailing-newline
 create trigger Trig_GodownDelete
 ON  tblGodown 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.GodownID),'tblGodown',deleted.GodownID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.GodownID is Not NULL
GO

-- Createtrigger Iteams: insert trigger on tblItemMaster
-- on: central
-- trailing-newline
create trigger Trig_IteamsInsert 
 ON tblItemMaster 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.Itemid), 'tblItemMaster',inserted.Itemid,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.Itemid is Not NULL
GO

-- Createtrigger Iteams: update trigger on tblItemMaster
-- on: central
-- trailing-newline
 create trigger Trig_Iteamsupdate
 ON  tblItemMaster 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.Itemid), 'tblItemMaster',inserted.Itemid,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.Itemid is Not NULL
GO

-- Createtrigger Iteams: delete trigger on tblItemMaster
-- on: central
-- trailing-newline
 create trigger Trig_IteamsDelete
 ON  tblItemMaster 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.Itemid),'tblItemMaster',deleted.Itemid,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.Itemid is Not NULL
GO

-- Createtrigger Ledger: insert trigger on tblLedger
-- on: central
-- trailing-newline
create trigger Trig_LedgerInsert 
 ON tblLedger 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.LID), 'tblLedger',inserted.LID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.LID is Not NULL
GO

-- Createtrigger Ledger: update trigger on tblLedger
-- on: central
-- trailing-newline
 create trigger Trig_Ledgerupdate
 ON  tblLedger 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.LID), 'tblLedger',inserted.LID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.LID is Not NULL
GO

-- Createtrigger Ledger: delete trigger on tblLedger
-- on: central
-- trailing-newline
 create trigger Trig_LedgerDelete
 ON  tblLedger 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.LID),'tblLedger',deleted.LID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.LID is Not NULL
GO

-- Createtrigger TaxClass: insert trigger on tblTaxClass
-- on: central
-- trailing-newline
create trigger Trig_TaxClassInsert 
 ON tblTaxClass 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.TaxClassID), 'tblTaxClass',inserted.TaxClassID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.TaxClassID is Not NULL
GO

-- Createtrigger TaxClass: update trigger on tblTaxClass
-- on: central
-- trailing-newline
 create trigger Trig_TaxClassupdate
 ON  tblTaxClass 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.TaxClassID), 'tblTaxClass',inserted.TaxClassID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.TaxClassID is Not NULL
GO

-- Createtrigger TaxClass: delete trigger on tblTaxClass
-- on: central
-- trailing-newline
 create trigger Trig_TaxClassDelete
 ON  tblTaxClass 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.TaxClassID),'tblTaxClass',deleted.TaxClassID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.TaxClassID is Not NULL
GO

-- Createtrigger HSNCODE: insert trigger on tblHSNCODE
-- on: central
-- trailing-newline
create trigger Trig_HSNCODEInsert 
 ON tblHSNCODE 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.HSNID), 'tblHSNCODE',inserted.HSNID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.HSNID is Not NULL
GO

-- Createtrigger HSNCODE: update trigger on tblHSNCODE
-- on: central
-- trailing-newline
 create trigger Trig_HSNCODEupdate
 ON  tblHSNCODE 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.HSNID), 'tblHSNCODE',inserted.HSNID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.HSNID is Not NULL
GO

-- Createtrigger HSNCODE: delete trigger on tblHSNCODE
-- on: central
-- trailing-newline
 create trigger Trig_HSNCODEDelete
 ON  tblHSNCODE 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.HSNID),'tblHSNCODE',deleted.HSNID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.HSNID is Not NULL
GO

-- Createtrigger Unit: insert trigger on tblUnit
-- on: central
-- trailing-newline
create trigger Trig_UnitInsert 
 ON tblUnit 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.UnitID), 'tblUnit',inserted.UnitID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.UnitID is Not NULL
GO

-- Createtrigger Unit: update trigger on tblUnit
-- on: central
-- trailing-newline
 create trigger Trig_Unitupdate
 ON  tblUnit 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.UnitID), 'tblUnit',inserted.UnitID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.UnitID is Not NULL
GO

-- Createtrigger Unit: delete trigger on tblUnit
-- on: central
-- trailing-newline
 create trigger Trig_UnitDelete
 ON  tblUnit 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.UnitID),'tblUnit',deleted.UnitID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.UnitID is Not NULL
GO

-- Createtrigger User: insert trigger on tblUserMaster
-- on: central
-- trailing-newline
create trigger Trig_UserInsert 
 ON tblUserMaster 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.UserID), 'tblUserMaster',inserted.UserID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.UserID is Not NULL
GO

-- Createtrigger User: update trigger on tblUserMaster
-- on: central
-- trailing-newline
 create trigger Trig_Userupdate
 ON  tblUserMaster 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.UserID), 'tblUserMaster',inserted.UserID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.UserID is Not NULL
GO

-- Createtrigger User: delete trigger on tblUserMaster
-- on: central
-- trailing-newline
 create trigger Trig_UserDelete
 ON  tblUserMaster 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.UserID),'tblUserMaster',deleted.UserID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.UserID is Not NULL
GO

-- Createtrigger Usergroup: insert trigger on tblUserGroupMaster
-- on: central
-- trailing-newline
create trigger Trig_UsergroupInsert 
 ON tblUserGroupMaster 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.ID), 'tblUserGroupMaster',inserted.ID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.ID is Not NULL
GO

-- Createtrigger Usergroup: update trigger on tblUserGroupMaster
-- on: central
-- trailing-newline
 create trigger Trig_Usergroupupdate
 ON  tblUserGroupMaster 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.ID), 'tblUserGroupMaster',inserted.ID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.ID is Not NULL
GO

-- Createtrigger Usergroup: delete trigger on tblUserGroupMaster
-- on: central
-- trailing-newline
 create trigger Trig_UsergroupDelete
 ON  tblUserGroupMaster 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.ID),'tblUserGroupMaster',deleted.ID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.ID is Not NULL
GO

-- Createtrigger PricList: insert trigger on tblpricelist
-- on: central
-- trailing-newline
create trigger Trig_PricListInsert 
 ON tblpricelist 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.UNIQUEID), 'tblpricelist',inserted.UNIQUEID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.UNIQUEID is Not NULL
GO

-- Createtrigger PricList: update trigger on tblpricelist
-- on: central
-- trailing-newline
 create trigger Trig_PricListupdate
 ON  tblpricelist 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.UNIQUEID), 'tblpricelist',inserted.UNIQUEID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.UNIQUEID is Not NULL
GO

-- Createtrigger PricList: delete trigger on tblpricelist
-- on: central
-- trailing-newline
 create trigger Trig_PricListDelete
 ON  tblpricelist 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.UNIQUEID),'tblpricelist',deleted.UNIQUEID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.UNIQUEID is Not NULL
GO

-- board-rate trigger dropped
-- on: central
-- expect-error: Cannot drop the trigger
 Drop trigger Trig_BoardRateUpdateInsert 
GO

-- board-rate trigger
-- on: central
CREATE trigger [dbo].[Trig_BoardRateUpdateInsert]  ON [dbo].[tblBoardRateMaster]  FOR Insert , Update  as DECLARE @name int declare @Type INT declare @IT INT declare @VchTypeId INT 
 Select @IT= vchid from inserted 
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock) 
 select @name = @name + 1        set  @VchTypeId =0     set @Type = 0 
 if   @IT <>  isnull((select max(tblUniqueID) from tblActivity where TableName = 'tblBoardRateMaster'), -1) 
  begin    insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblBoardRateMaster',@IT,'InsertUpdate',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End 
GO

-- Createtrigger VchType: insert trigger on tblVchType
-- on: central
-- trailing-newline
create trigger Trig_VchTypeInsert 
 ON tblVchType 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.VchTypeID), 'tblVchType',inserted.VchTypeID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.VchTypeID is Not NULL
GO

-- Createtrigger VchType: update trigger on tblVchType
-- on: central
-- trailing-newline
 create trigger Trig_VchTypeupdate
 ON  tblVchType 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.VchTypeID), 'tblVchType',inserted.VchTypeID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.VchTypeID is Not NULL
GO

-- Createtrigger VchType: delete trigger on tblVchType
-- on: central
-- trailing-newline
 create trigger Trig_VchTypeDelete
 ON  tblVchType 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.VchTypeID),'tblVchType',deleted.VchTypeID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.VchTypeID is Not NULL
GO

-- Createtrigger CustomerProfile: insert trigger on tblCustomerProfile
-- on: central
-- trailing-newline
create trigger Trig_CustomerProfileInsert 
 ON tblCustomerProfile 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.ProfileID), 'tblCustomerProfile',inserted.ProfileID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.ProfileID is Not NULL
GO

-- Createtrigger CustomerProfile: update trigger on tblCustomerProfile
-- on: central
-- trailing-newline
 create trigger Trig_CustomerProfileupdate
 ON  tblCustomerProfile 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.ProfileID), 'tblCustomerProfile',inserted.ProfileID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.ProfileID is Not NULL
GO

-- Createtrigger CustomerProfile: delete trigger on tblCustomerProfile
-- on: central
-- trailing-newline
 create trigger Trig_CustomerProfileDelete
 ON  tblCustomerProfile 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.ProfileID),'tblCustomerProfile',deleted.ProfileID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.ProfileID is Not NULL
GO

-- Createtrigger CustomerCard: insert trigger on tblCustomerCard
-- on: central
-- trailing-newline
create trigger Trig_CustomerCardInsert 
 ON tblCustomerCard 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.CustomerCardID), 'tblCustomerCard',inserted.CustomerCardID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.CustomerCardID is Not NULL
GO

-- Createtrigger CustomerCard: update trigger on tblCustomerCard
-- on: central
-- trailing-newline
 create trigger Trig_CustomerCardupdate
 ON  tblCustomerCard 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.CustomerCardID), 'tblCustomerCard',inserted.CustomerCardID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.CustomerCardID is Not NULL
GO

-- Createtrigger CustomerCard: delete trigger on tblCustomerCard
-- on: central
-- trailing-newline
 create trigger Trig_CustomerCardDelete
 ON  tblCustomerCard 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.CustomerCardID),'tblCustomerCard',deleted.CustomerCardID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.CustomerCardID is Not NULL
GO

-- Createtrigger CurrencyDetail: insert trigger on tblCurrencyDetail
-- on: central
-- trailing-newline
create trigger Trig_CurrencyDetailInsert 
 ON tblCurrencyDetail 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.CurrencyDetailID), 'tblCurrencyDetail',inserted.CurrencyDetailID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.CurrencyDetailID is Not NULL
GO

-- Createtrigger CurrencyDetail: update trigger on tblCurrencyDetail
-- on: central
-- trailing-newline
 create trigger Trig_CurrencyDetailupdate
 ON  tblCurrencyDetail 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.CurrencyDetailID), 'tblCurrencyDetail',inserted.CurrencyDetailID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.CurrencyDetailID is Not NULL
GO

-- Createtrigger CurrencyDetail: delete trigger on tblCurrencyDetail
-- on: central
-- trailing-newline
 create trigger Trig_CurrencyDetailDelete
 ON  tblCurrencyDetail 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.CurrencyDetailID),'tblCurrencyDetail',deleted.CurrencyDetailID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.CurrencyDetailID is Not NULL
GO

-- Createtrigger Currency: insert trigger on tblCurrency
-- on: central
-- trailing-newline
create trigger Trig_CurrencyInsert 
 ON tblCurrency 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.CurrencyID), 'tblCurrency',inserted.CurrencyID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),0,0,CONVERT(Char(50), GETDATE()) 
 from  inserted
 where inserted.CurrencyID is Not NULL
GO

-- Createtrigger Currency: update trigger on tblCurrency
-- on: central
-- trailing-newline
 create trigger Trig_Currencyupdate
 ON  tblCurrency 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.CurrencyID), 'tblCurrency',inserted.CurrencyID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE())
 from  inserted
 where inserted.CurrencyID is Not NULL
GO

-- Createtrigger Currency: delete trigger on tblCurrency
-- on: central
-- trailing-newline
 create trigger Trig_CurrencyDelete
 ON  tblCurrency 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.CurrencyID),'tblCurrency',deleted.CurrencyID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,0,0, CONVERT(Char(50), GETDATE()),0 
 from  deleted
 where deleted.CurrencyID is Not NULL
GO

-- Droptrigger Sales
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_SalesInsert
GO

-- Droptrigger Sales
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Salesupdate
GO

-- Droptrigger Sales
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_SalesDelete
GO

-- Droptrigger Notes
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_NotesInsert
GO

-- Droptrigger Notes
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Notesupdate
GO

-- Droptrigger Notes
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_NotesDelete
GO

-- Droptrigger Attendance
-- on: branch
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_AttendanceInsert
GO

-- Droptrigger Attendance
-- on: branch
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_Attendanceupdate
GO

-- Droptrigger Attendance
-- on: branch
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_AttendanceDelete
GO

-- Droptrigger StockJournal
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_StockJournalInsert
GO

-- Droptrigger StockJournal
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_StockJournalupdate
GO

-- Droptrigger StockJournal
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_StockJournalDelete
GO

-- Droptrigger Order
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_OrderInsert
GO

-- Droptrigger Order
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_Orderupdate
GO

-- Droptrigger Order
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_OrderDelete
GO

-- Droptrigger JobCard
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_JobCardInsert
GO

-- Droptrigger JobCard
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_JobCardupdate
GO

-- Droptrigger JobCard
-- on: branch
-- expect-error: Cannot drop the trigger
Drop trigger Trig_JobCardDelete
GO

-- Createtrigger Sales: insert trigger on tblSales
-- on: branch
-- trailing-newline
create trigger Trig_SalesInsert 
 ON tblSales 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.InvId), 'tblSales',inserted.InvId,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),tblVchType.PARENTID,inserted.Vchtypeid,CONVERT(Char(50), GETDATE()) 
 from  inserted left join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 where inserted.InvId is Not NULL
GO

-- Createtrigger Sales: update trigger on tblSales
-- on: branch
-- trailing-newline
 create trigger Trig_Salesupdate
 ON  tblSales 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.InvId), 'tblSales',inserted.InvId,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,tblVchType.PARENTID,inserted.Vchtypeid, CONVERT(Char(50), GETDATE())
 from  inserted left join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 where inserted.InvId is Not NULL
GO

-- Createtrigger Sales: delete trigger on tblSales
-- on: branch
-- trailing-newline
 create trigger Trig_SalesDelete
 ON  tblSales 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.InvId),'tblSales',deleted.InvId,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,tblVchType.PARENTID,deleted.Vchtypeid, CONVERT(Char(50), GETDATE()),deleted.ServInvID 
 from  deleted left join tblVchType on tblVchType.Vchtypeid = deleted.Vchtypeid
 where deleted.InvId is Not NULL
GO

-- Createtrigger Notes: insert trigger on tblNotes
-- on: branch
-- trailing-newline
create trigger Trig_NotesInsert 
 ON tblNotes 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.VchID), 'tblNotes',inserted.VchID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),tblVchType.PARENTID,inserted.Vchtypeid,CONVERT(Char(50), GETDATE()) 
 from  inserted left join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 where inserted.VchID is Not NULL
GO

-- Createtrigger Notes: update trigger on tblNotes
-- on: branch
-- trailing-newline
 create trigger Trig_Notesupdate
 ON  tblNotes 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.VchID), 'tblNotes',inserted.VchID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,tblVchType.PARENTID,inserted.Vchtypeid, CONVERT(Char(50), GETDATE())
 from  inserted left join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 where inserted.VchID is Not NULL
GO

-- Createtrigger Notes: delete trigger on tblNotes
-- on: branch
-- trailing-newline
 create trigger Trig_NotesDelete
 ON  tblNotes 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.VchID),'tblNotes',deleted.VchID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,tblVchType.PARENTID,deleted.Vchtypeid, CONVERT(Char(50), GETDATE()),deleted.ServInvID 
 from  deleted left join tblVchType on tblVchType.Vchtypeid = deleted.Vchtypeid
 where deleted.VchID is Not NULL
GO

-- Createtrigger StockJournal: insert trigger on tblStockJournal
-- on: branch
-- trailing-newline
create trigger Trig_StockJournalInsert 
 ON tblStockJournal 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.INVID), 'tblStockJournal',inserted.INVID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),tblVchType.PARENTID,inserted.Vchtypeid,CONVERT(Char(50), GETDATE()) 
 from  inserted left join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 where inserted.INVID is Not NULL
GO

-- Createtrigger StockJournal: update trigger on tblStockJournal
-- on: branch
-- trailing-newline
 create trigger Trig_StockJournalupdate
 ON  tblStockJournal 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.INVID), 'tblStockJournal',inserted.INVID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,tblVchType.PARENTID,inserted.Vchtypeid, CONVERT(Char(50), GETDATE())
 from  inserted left join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 where inserted.INVID is Not NULL
GO

-- Createtrigger StockJournal: delete trigger on tblStockJournal
-- on: branch
-- trailing-newline
 create trigger Trig_StockJournalDelete
 ON  tblStockJournal 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.INVID),'tblStockJournal',deleted.INVID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,tblVchType.PARENTID,deleted.Vchtypeid, CONVERT(Char(50), GETDATE()),deleted.ServInvID 
 from  deleted left join tblVchType on tblVchType.Vchtypeid = deleted.Vchtypeid
 where deleted.INVID is Not NULL
GO

-- Createtrigger Order: insert trigger on tblOrder
-- on: branch
-- trailing-newline
create trigger Trig_OrderInsert 
 ON tblOrder 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.INvID), 'tblOrder',inserted.INvID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),tblVchType.PARENTID,inserted.Vchtypeid,CONVERT(Char(50), GETDATE()) 
 from  inserted left join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 where inserted.INvID is Not NULL
GO

-- Createtrigger Order: update trigger on tblOrder
-- on: branch
-- trailing-newline
 create trigger Trig_Orderupdate
 ON  tblOrder 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.INvID), 'tblOrder',inserted.INvID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,tblVchType.PARENTID,inserted.Vchtypeid, CONVERT(Char(50), GETDATE())
 from  inserted left join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 where inserted.INvID is Not NULL
GO

-- Createtrigger Order: delete trigger on tblOrder
-- on: branch
-- trailing-newline
 create trigger Trig_OrderDelete
 ON  tblOrder 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.INvID),'tblOrder',deleted.INvID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,tblVchType.PARENTID,deleted.Vchtypeid, CONVERT(Char(50), GETDATE()),deleted.ServInvID 
 from  deleted left join tblVchType on tblVchType.Vchtypeid = deleted.Vchtypeid
 where deleted.INvID is Not NULL
GO

-- Createtrigger JobCard: insert trigger on tblJobcard
-- on: branch
-- trailing-newline
create trigger Trig_JobCardInsert 
 ON tblJobcard 
 FOR Insert
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.JobcardID), 'tblJobcard',inserted.JobcardID,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),tblVchType.PARENTID,inserted.Vchtypeid,CONVERT(Char(50), GETDATE()) 
 from  inserted left join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 where inserted.JobcardID is Not NULL
GO

-- Createtrigger JobCard: update trigger on tblJobcard
-- on: branch
-- trailing-newline
 create trigger Trig_JobCardupdate
 ON  tblJobcard 
 for Update
 as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) select @name + ROW_NUMBER() OVER (ORDER BY inserted.JobcardID), 'tblJobcard',inserted.JobcardID,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,tblVchType.PARENTID,inserted.Vchtypeid, CONVERT(Char(50), GETDATE())
 from  inserted left join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 where inserted.JobcardID is Not NULL
GO

-- Createtrigger JobCard: delete trigger on tblJobcard
-- on: branch
-- trailing-newline
 create trigger Trig_JobCardDelete
 ON  tblJobcard 
 for delete as
 DECLARE @name int
 select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)
 
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) select @name + ROW_NUMBER() OVER (ORDER BY deleted.JobcardID),'tblJobcard',deleted.JobcardID,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,tblVchType.PARENTID,deleted.Vchtypeid, CONVERT(Char(50), GETDATE()),deleted.ServInvID 
 from  deleted left join tblVchType on tblVchType.Vchtypeid = deleted.Vchtypeid
 where deleted.JobcardID is Not NULL
GO

-- Update Database
-- on: central
-- rerun-expect-error: already exists
CREATE INDEX IX_tblSales_InvNo ON tblSales (InvNo)
GO

-- Update Database
-- on: branch
-- rerun-expect-error: already exists
CREATE INDEX IX_tblSales_SyncStat ON tblSales (SyncStat)
GO

-- Update Database
-- on: central
-- rerun-expect-error: already exists
CREATE INDEX IX_tblNotes_VchNo ON tblNotes (VchNo)
GO

-- Update Database
-- on: branch
-- rerun-expect-error: already exists
CREATE INDEX IX_tblNotes_SyncStat ON tblNotes (SyncStat)
GO

-- Update Database
-- on: central
-- rerun-expect-error: already exists
CREATE INDEX IX_tblStockJournal_InvNo ON tblStockJournal (InvNo)
GO

-- Update Database
-- on: branch
-- rerun-expect-error: already exists
CREATE INDEX IX_tblStockJournal_SyncStat ON tblStockJournal (SyncStat)
GO

-- Update Database
-- on: central
-- rerun-expect-error: already exists
CREATE INDEX IX_tblJobCard_JobCardNo ON tblJobCard (JobCardNo)
GO

-- Update Database
-- on: branch
-- rerun-expect-error: already exists
CREATE INDEX IX_tblJobCard_SyncStat ON tblJobCard (SyncStat)
GO

-- Update Database
-- on: central
-- rerun-expect-error: already exists
CREATE INDEX IX_tblOrder_InvNo ON tblOrder (InvNo)
GO

-- Update Database
-- on: branch
-- rerun-expect-error: already exists
CREATE INDEX IX_tblOrder_SyncStat ON tblOrder (SyncStat)
GO

-- Update Database
-- on: central
-- rerun-expect-error: already exists
CREATE INDEX erpsync_tblDayActivity_Activity ON tblDayActivity (Activity)
GO

-- Update Database
-- on: branch
-- rerun-expect-error: already exists
CREATE INDEX erpsync_tblDayActivity_Activity ON tblDayActivity (Activity)
GO

-- Update Database
-- on: branch
-- rerun-expect-error: already exists
CREATE INDEX erpsync_tblActivity_tblUniqueID ON tblActivity (tblUniqueID)
GO

-- Update Database
-- on: central
-- rerun-expect-error: already exists
CREATE INDEX erpsync_tblSales_VchTypeID_InvDate_InvNo ON tblSales (VchTypeID, InvDate, InvNo)
GO

-- Update Database
-- on: central
-- rerun-expect-error: already exists
CREATE INDEX erpsync_tblNotes_VchTypeID_VchDate_VchNo ON tblNotes (VchTypeID, VchDate, VchNo)
GO

-- Update Database
-- on: central
-- rerun-expect-error: already exists
CREATE INDEX erpsync_tblStockJournal_VchTypeID_InvDate_InvNo ON tblStockJournal (VchTypeID, InvDate, InvNo)
GO

-- Update Database
-- on: central
-- rerun-expect-error: already exists
CREATE INDEX erpsync_tblJobCard_VchTypeID_JobCardDate_JobCardNo ON tblJobCard (VchTypeID, JobCardDate, JobCardNo)
GO

-- Update Database
-- on: central
-- rerun-expect-error: already exists
CREATE INDEX erpsync_tblOrder_VchTypeID_InvDate_InvNo ON tblOrder (VchTypeID, InvDate, InvNo)
GO

-- Update Database
-- on: central
SELECT     TOP (1) ID, Activity, TimeOf, SystemName, DateOF, ActivitiesDetail, BlnStarted, BlnEnded, CCID, BlockDataEntry, SQLSERVERNAME From tblDayActivity  where CCID=2 ORDER BY DateOF DESC,  TimeOf DESC, ID DESC
GO

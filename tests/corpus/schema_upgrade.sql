-- Update Database on a fresh pair of company databases: every statement in the order the
-- upgrade sends them. Failures marked expect-error are the ones the upgrade ignores on a first run.
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

-- day rows table dropped
-- on: branch
-- expect-error: Cannot drop the table
 DROP TABLE [dbo].[tblDayActivity] 
GO

-- day rows table dropped
-- on: central
-- expect-error: Cannot drop the table
 DROP TABLE [dbo].[tblDayActivity] 
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
 CREATE TABLE [dbo].[tblDayActivity](     [ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL,    [Activity] [varchar](50) NOT NULL,    [TimeOf] [datetime] NULL,    [SystemName] [varchar](50) not NULL,    [DateOF] [datetime] NULL,     [ActivitiesDetail] [varchar](500) NOT NULL,    [BlnStarted] [numeric](18, 0) NULL,    [BlnEnded] [numeric](18, 0) NULL,    [CCID] [numeric](18, 0) NULL,BlockDataEntry [numeric](18, 0),SQLSERVERNAME  [varchar](50) NOT NULL,  CONSTRAINT [PK_tblDayActivity] PRIMARY KEY CLUSTERED (   ID Asc )WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ) ON [PRIMARY] 
GO

-- day rows table widened
-- on: branch
-- expect-error: Column names in each table must be unique
-- rerun-expect-error: Column names in each table must be unique
 Alter TABLE tblDayActivity add BlockDataEntry [numeric](18, 0),SQLSERVERNAME  [varchar](50) NOT NULL  
GO

-- day rows table created
-- on: central
 CREATE TABLE [dbo].[tblDayActivity](     [ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL,    [Activity] [varchar](50) NOT NULL,    [TimeOf] [datetime] NULL,    [SystemName] [varchar](50) not NULL,    [DateOF] [datetime] NULL,     [ActivitiesDetail] [varchar](500) NOT NULL,    [BlnStarted] [numeric](18, 0) NULL,    [BlnEnded] [numeric](18, 0) NULL,    [CCID] [numeric](18, 0) NULL,BlockDataEntry [numeric](18, 0),SQLSERVERNAME  [varchar](50) NOT NULL,  CONSTRAINT [PK_tblDayActivity] PRIMARY KEY CLUSTERED (   ID Asc )WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ) ON [PRIMARY] 
GO

-- day rows table widened
-- on: central
-- expect-error: Column names in each table must be unique
-- rerun-expect-error: Column names in each table must be unique
 Alter TABLE tblDayActivity add BlockDataEntry [numeric](18, 0),SQLSERVERNAME  [varchar](50) NOT NULL  
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

-- Createtrigger Area: insert trigger on tblArea
-- on: central
-- newline: CRLF
-- trailing-newline
create trigger Trig_AreaInsert 
 ON tblArea 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =AreaID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblArea',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger Area: update trigger on tblArea
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_Areaupdate
 ON  tblArea 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = AreaID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblArea',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger Area: delete trigger on tblArea
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_AreaDelete
 ON  tblArea 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = AreaID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblArea',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger Categories: insert trigger on tblCategories
-- on: central
-- newline: CRLF
-- trailing-newline
create trigger Trig_CategoriesInsert 
 ON tblCategories 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =CategoryID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblCategories',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger Categories: update trigger on tblCategories
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_Categoriesupdate
 ON  tblCategories 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = CategoryID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblCategories',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger Categories: delete trigger on tblCategories
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_CategoriesDelete
 ON  tblCategories 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = CategoryID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblCategories',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger CostCentre: insert trigger on tblCostCentre
-- on: central
-- newline: CRLF
-- trailing-newline
create trigger Trig_CostCentreInsert 
 ON tblCostCentre 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =CCID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblCostCentre',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger CostCentre: update trigger on tblCostCentre
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_CostCentreupdate
 ON  tblCostCentre 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = CCID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblCostCentre',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger CostCentre: delete trigger on tblCostCentre
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_CostCentreDelete
 ON  tblCostCentre 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = CCID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblCostCentre',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger Employee: insert trigger on tblEmployee
-- on: central
-- newline: CRLF
-- trailing-newline
create trigger Trig_EmployeeInsert 
 ON tblEmployee 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =EmpID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblEmployee',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger Employee: update trigger on tblEmployee
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_Employeeupdate
 ON  tblEmployee 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = EmpID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblEmployee',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger Employee: delete trigger on tblEmployee
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_EmployeeDelete
 ON  tblEmployee 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = EmpID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblEmployee',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger Godown: insert trigger on tblGodown
-- on: central
-- newline: CRLF
-- trailing-newline
create trigger Trig_GodownInsert 
 ON tblGodown 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =GodownID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblGodown',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger Godown: update trigger on tblGodown
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_Godownupdate
 ON  tblGodown 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = GodownID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblGodown',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger Godown: delete trigger on tblGodown
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_GodownDelete
 ON  tblGodown 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = GodownID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblGodown',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger Iteams: insert trigger on tblItemMaster
-- on: central
-- newline: CRLF
-- trailing-newline
create trigger Trig_IteamsInsert 
 ON tblItemMaster 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =Itemid,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblItemMaster',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger Iteams: update trigger on tblItemMaster
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_Iteamsupdate
 ON  tblItemMaster 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = Itemid ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblItemMaster',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger Iteams: delete trigger on tblItemMaster
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_IteamsDelete
 ON  tblItemMaster 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = Itemid,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblItemMaster',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger Ledger: insert trigger on tblLedger
-- on: central
-- newline: CRLF
-- trailing-newline
create trigger Trig_LedgerInsert 
 ON tblLedger 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =LID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblLedger',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger Ledger: update trigger on tblLedger
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_Ledgerupdate
 ON  tblLedger 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = LID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblLedger',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger Ledger: delete trigger on tblLedger
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_LedgerDelete
 ON  tblLedger 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = LID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblLedger',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger TaxClass: insert trigger on tblTaxClass
-- on: central
-- newline: CRLF
-- trailing-newline
create trigger Trig_TaxClassInsert 
 ON tblTaxClass 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =TaxClassID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblTaxClass',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger TaxClass: update trigger on tblTaxClass
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_TaxClassupdate
 ON  tblTaxClass 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = TaxClassID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblTaxClass',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger TaxClass: delete trigger on tblTaxClass
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_TaxClassDelete
 ON  tblTaxClass 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = TaxClassID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblTaxClass',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger HSNCODE: insert trigger on tblHSNCODE
-- on: central
-- newline: CRLF
-- trailing-newline
create trigger Trig_HSNCODEInsert 
 ON tblHSNCODE 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =HSNID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblHSNCODE',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger HSNCODE: update trigger on tblHSNCODE
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_HSNCODEupdate
 ON  tblHSNCODE 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = HSNID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblHSNCODE',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger HSNCODE: delete trigger on tblHSNCODE
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_HSNCODEDelete
 ON  tblHSNCODE 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = HSNID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblHSNCODE',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger Unit: insert trigger on tblUnit
-- on: central
-- newline: CRLF
-- trailing-newline
create trigger Trig_UnitInsert 
 ON tblUnit 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =UnitID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblUnit',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger Unit: update trigger on tblUnit
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_Unitupdate
 ON  tblUnit 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = UnitID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblUnit',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger Unit: delete trigger on tblUnit
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_UnitDelete
 ON  tblUnit 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = UnitID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblUnit',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger User: insert trigger on tblUserMaster
-- on: central
-- newline: CRLF
-- trailing-newline
create trigger Trig_UserInsert 
 ON tblUserMaster 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =UserID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblUserMaster',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger User: update trigger on tblUserMaster
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_Userupdate
 ON  tblUserMaster 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = UserID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblUserMaster',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger User: delete trigger on tblUserMaster
-- on: central
-- newline: CRLF
-- trailing-newline
 create trigger Trig_UserDelete
 ON  tblUserMaster 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = UserID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblUserMaster',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger Usergroup: insert trigger on tblUserGroupMaster
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
create trigger Trig_UsergroupInsert 
 ON tblUserGroupMaster 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =ID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblUserGroupMaster',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger Usergroup: update trigger on tblUserGroupMaster
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_Usergroupupdate
 ON  tblUserGroupMaster 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = ID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblUserGroupMaster',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger Usergroup: delete trigger on tblUserGroupMaster
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_UsergroupDelete
 ON  tblUserGroupMaster 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = ID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblUserGroupMaster',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger PricList: insert trigger on tblpricelist
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
create trigger Trig_PricListInsert 
 ON tblpricelist 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =UNIQUEID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblpricelist',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger PricList: update trigger on tblpricelist
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_PricListupdate
 ON  tblpricelist 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = UNIQUEID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblpricelist',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger PricList: delete trigger on tblpricelist
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_PricListDelete
 ON  tblpricelist 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = UNIQUEID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblpricelist',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- board-rate trigger dropped
-- on: central
-- expect-error: Cannot drop the trigger
 Drop trigger Trig_BoardRateUpdateInsert 
GO

-- board-rate trigger
-- on: central
-- newline: CR
CREATE trigger [dbo].[Trig_BoardRateUpdateInsert]  ON [dbo].[tblBoardRateMaster]  FOR Insert , Update  as DECLARE @name int declare @Type INT declare @IT INT declare @VchTypeId INT 
 Select @IT= vchid from inserted 
 select @name=ISNull(max(ID),0) from tblActivity 
 select @name = @name + 1        set  @VchTypeId =0     set @Type = 0 
 if   @IT <>  (select max(tblUniqueID) from tblActivity where TableName = 'tblBoardRateMaster') 
  begin    insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblBoardRateMaster',@IT,'InsertUpdate',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End 
GO

-- Createtrigger VchType: insert trigger on tblVchType
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
create trigger Trig_VchTypeInsert 
 ON tblVchType 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =VchTypeID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblVchType',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger VchType: update trigger on tblVchType
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_VchTypeupdate
 ON  tblVchType 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = VchTypeID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblVchType',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger VchType: delete trigger on tblVchType
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_VchTypeDelete
 ON  tblVchType 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = VchTypeID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblVchType',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger CustomerProfile: insert trigger on tblCustomerProfile
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
create trigger Trig_CustomerProfileInsert 
 ON tblCustomerProfile 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =ProfileID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblCustomerProfile',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger CustomerProfile: update trigger on tblCustomerProfile
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_CustomerProfileupdate
 ON  tblCustomerProfile 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = ProfileID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblCustomerProfile',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger CustomerProfile: delete trigger on tblCustomerProfile
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_CustomerProfileDelete
 ON  tblCustomerProfile 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = ProfileID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblCustomerProfile',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger CustomerCard: insert trigger on tblCustomerCard
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
create trigger Trig_CustomerCardInsert 
 ON tblCustomerCard 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =CustomerCardID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblCustomerCard',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger CustomerCard: update trigger on tblCustomerCard
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_CustomerCardupdate
 ON  tblCustomerCard 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = CustomerCardID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblCustomerCard',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger CustomerCard: delete trigger on tblCustomerCard
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_CustomerCardDelete
 ON  tblCustomerCard 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = CustomerCardID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblCustomerCard',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger CurrencyDetail: insert trigger on tblCurrencyDetail
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
create trigger Trig_CurrencyDetailInsert 
 ON tblCurrencyDetail 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =CurrencyDetailID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblCurrencyDetail',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger CurrencyDetail: update trigger on tblCurrencyDetail
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_CurrencyDetailupdate
 ON  tblCurrencyDetail 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = CurrencyDetailID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblCurrencyDetail',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger CurrencyDetail: delete trigger on tblCurrencyDetail
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_CurrencyDetailDelete
 ON  tblCurrencyDetail 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = CurrencyDetailID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblCurrencyDetail',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger Currency: insert trigger on tblCurrency
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
create trigger Trig_CurrencyInsert 
 ON tblCurrency 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =CurrencyID,@VchTypeId =0  from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblCurrency',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger Currency: update trigger on tblCurrency
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_Currencyupdate
 ON  tblCurrency 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = CurrencyID ,@vchtypeid = 0 from  inserted
 set @Type = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblCurrency',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger Currency: delete trigger on tblCurrency
-- on: central
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_CurrencyDelete
 ON  tblCurrency 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = CurrencyID,@vchtypeid = 0 from  deleted
 set @Type = 0
 set @ITRefID = 0
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblCurrency',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Droptrigger Sales
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_SalesInsert
GO

-- Droptrigger Sales
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_Salesupdate
GO

-- Droptrigger Sales
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_SalesDelete
GO

-- Droptrigger Notes
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_NotesInsert
GO

-- Droptrigger Notes
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_Notesupdate
GO

-- Droptrigger Notes
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_NotesDelete
GO

-- Droptrigger Attendance
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_AttendanceInsert
GO

-- Droptrigger Attendance
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_Attendanceupdate
GO

-- Droptrigger Attendance
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_AttendanceDelete
GO

-- Droptrigger StockJournal
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_StockJournalInsert
GO

-- Droptrigger StockJournal
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_StockJournalupdate
GO

-- Droptrigger StockJournal
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_StockJournalDelete
GO

-- Droptrigger Order
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_OrderInsert
GO

-- Droptrigger Order
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_Orderupdate
GO

-- Droptrigger Order
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_OrderDelete
GO

-- Droptrigger JobCard
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_JobCardInsert
GO

-- Droptrigger JobCard
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_JobCardupdate
GO

-- Droptrigger JobCard
-- on: central
-- expect-error: Cannot drop the trigger
-- rerun-expect-error: Cannot drop the trigger
Drop trigger Trig_JobCardDelete
GO

-- Createtrigger Sales: insert trigger on tblSales
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
create trigger Trig_SalesInsert 
 ON tblSales 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =InvId,@VchTypeId =Vchtypeid  from  inserted
 select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblSales',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger Sales: update trigger on tblSales
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_Salesupdate
 ON  tblSales 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = InvId ,@vchtypeid = Vchtypeid from  inserted
 select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblSales',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger Sales: delete trigger on tblSales
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_SalesDelete
 ON  tblSales 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT =InvId,@ITRefID =ServInvID  ,@vchtypeid =Vchtypeid  from  deleted 
 select @Type = tblVchType.PARENTID from  deleted  inner join tblVchType on tblVchType.Vchtypeid = deleted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblSales',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger Notes: insert trigger on tblNotes
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
create trigger Trig_NotesInsert 
 ON tblNotes 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =VchID,@VchTypeId =Vchtypeid  from  inserted
 select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblNotes',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger Notes: update trigger on tblNotes
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_Notesupdate
 ON  tblNotes 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = VchID ,@vchtypeid = Vchtypeid from  inserted
 select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblNotes',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger Notes: delete trigger on tblNotes
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_NotesDelete
 ON  tblNotes 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT =VchID,@ITRefID =ServInvID  ,@vchtypeid =Vchtypeid  from  deleted 
 select @Type = tblVchType.PARENTID from  deleted  inner join tblVchType on tblVchType.Vchtypeid = deleted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblNotes',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger StockJournal: insert trigger on tblStockJournal
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
create trigger Trig_StockJournalInsert 
 ON tblStockJournal 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =INVID,@VchTypeId =Vchtypeid  from  inserted
 select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblStockJournal',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger StockJournal: update trigger on tblStockJournal
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_StockJournalupdate
 ON  tblStockJournal 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = INVID ,@vchtypeid = Vchtypeid from  inserted
 select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblStockJournal',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger StockJournal: delete trigger on tblStockJournal
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_StockJournalDelete
 ON  tblStockJournal 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT =INVID,@ITRefID =ServInvID  ,@vchtypeid =Vchtypeid  from  deleted 
 select @Type = tblVchType.PARENTID from  deleted  inner join tblVchType on tblVchType.Vchtypeid = deleted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblStockJournal',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger Order: insert trigger on tblOrder
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
create trigger Trig_OrderInsert 
 ON tblOrder 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =INvID,@VchTypeId =Vchtypeid  from  inserted
 select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblOrder',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger Order: update trigger on tblOrder
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_Orderupdate
 ON  tblOrder 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = INvID ,@vchtypeid = Vchtypeid from  inserted
 select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblOrder',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger Order: delete trigger on tblOrder
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_OrderDelete
 ON  tblOrder 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT =INvID,@ITRefID =ServInvID  ,@vchtypeid =Vchtypeid  from  deleted 
 select @Type = tblVchType.PARENTID from  deleted  inner join tblVchType on tblVchType.Vchtypeid = deleted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblOrder',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
GO

-- Createtrigger JobCard: insert trigger on tblJobcard
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
create trigger Trig_JobCardInsert 
 ON tblJobcard 
 FOR Insert
 as
 DECLARE @name int
 DECLARE @IT int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 select @IT =JobcardID,@VchTypeId =Vchtypeid  from  inserted
 select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblJobcard',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) 
 End
GO

-- Createtrigger JobCard: update trigger on tblJobcard
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_JobCardupdate
 ON  tblJobcard 
 for Update
 as
 DECLARE @name int
 DECLARE @IT int
 declare @VchTypeId INT
 declare @Type INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT = JobcardID ,@vchtypeid = Vchtypeid from  inserted
 select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on tblVchType.Vchtypeid = inserted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime) values (@name, 'tblJobcard',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))
 End
GO

-- Createtrigger JobCard: delete trigger on tblJobcard
-- on: branch
-- newline: CRLF
-- trailing-newline
-- rerun-expect-error: There is already an object named
 create trigger Trig_JobCardDelete
 ON  tblJobcard 
 for delete as
 DECLARE @name int
 DECLARE @IT int
 DECLARE @ITRefID int
 declare @Type INT
 declare @VchTypeId INT
 select @name=ISNull(max(ID),0) from tblActivity
 select @name = @name + 1
 
 select @IT =JobcardID,@ITRefID =ServInvID  ,@vchtypeid =Vchtypeid  from  deleted 
 select @Type = tblVchType.PARENTID from  deleted  inner join tblVchType on tblVchType.Vchtypeid = deleted.Vchtypeid
 if @IT is Not NULL
 begin
 insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblJobcard',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) 
 End
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
CREATE INDEX erpsync_tblDayActivity_Activity ON tblDayActivity (Activity)
GO

-- Update Database
-- on: branch
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

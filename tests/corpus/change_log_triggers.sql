-- Change capture: the change log, the generic triggers of every watched table and the
-- board-rate trigger, then statements of the ERP that fire them and what they log.
GO

-- prerequisite: voucher upload columns
-- on: branch
Alter table TblSales Add SyncStat Numeric
GO

-- prerequisite: voucher upload columns
-- on: branch
Alter table TblSales Add ServInvID Numeric
GO

-- prerequisite: voucher upload columns
-- on: branch
Alter table TblNotes Add SyncStat Numeric
GO

-- prerequisite: voucher upload columns
-- on: branch
Alter table TblNotes Add ServInvID Numeric
GO

-- prerequisite: voucher upload columns
-- on: branch
Alter table Tblstockjournal Add SyncStat Numeric
GO

-- prerequisite: voucher upload columns
-- on: branch
Alter table Tblstockjournal Add ServInvID Numeric
GO

-- prerequisite: voucher upload columns
-- on: branch
Alter table TblJobcard Add SyncStat Numeric
GO

-- prerequisite: voucher upload columns
-- on: branch
Alter table TblJobcard Add ServInvID Numeric
GO

-- prerequisite: voucher upload columns
-- on: branch
Alter table tblOrder Add SyncStat Numeric
GO

-- prerequisite: voucher upload columns
-- on: branch
Alter table tblOrder Add ServInvID Numeric
GO

-- prerequisite: board-rate voucher id
-- on: central
 Alter table tblBoardRateMaster add VchID numeric 
GO

-- change log table
-- on: central
 CREATE TABLE [dbo].[tblActivity]( [ID] [numeric](18, 0) NOT NULL, [TableName] [varchar](50) NULL, [tblUniqueID] [numeric](18, 0) NULL,[Action] [varchar](50) NULL, [Active] [numeric](18, 0) NULL, [DateofAction] [datetime] NULL,  CONSTRAINT [PK_tblActivity] PRIMARY KEY CLUSTERED (     [id] Asc )WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ) ON [PRIMARY]  
GO

-- change log widened
-- on: central
 alter TABLE [dbo].[tblActivity] add ParentID [numeric](18, 0), VchTYpeID [numeric](18, 0)
GO

-- change log widened
-- on: central
 alter TABLE [dbo].[tblActivity] add ActionTime datetime
GO

-- change log widened
-- on: central
 alter TABLE [dbo].[tblActivity] add tblUniqueRefID [numeric](18, 0)
GO

-- change log table
-- on: branch
 CREATE TABLE [dbo].[tblActivity]( [ID] [numeric](18, 0) NOT NULL, [TableName] [varchar](50) NULL, [tblUniqueID] [numeric](18, 0) NULL,[Action] [varchar](50) NULL, [Active] [numeric](18, 0) NULL, [DateofAction] [datetime] NULL,  CONSTRAINT [PK_tblActivity] PRIMARY KEY CLUSTERED (     [id] Asc )WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ) ON [PRIMARY]  
GO

-- change log widened
-- on: branch
 alter TABLE [dbo].[tblActivity] add ParentID [numeric](18, 0), VchTYpeID [numeric](18, 0)
GO

-- change log widened
-- on: branch
 alter TABLE [dbo].[tblActivity] add ActionTime datetime
GO

-- change log widened
-- on: branch
 alter TABLE [dbo].[tblActivity] add tblUniqueRefID [numeric](18, 0)
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

-- Createtrigger VchType: insert trigger on tblVchType
-- on: central
-- newline: CRLF
-- trailing-newline
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

-- board-rate trigger dropped before it exists
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

-- Createtrigger Sales: insert trigger on tblSales
-- on: branch
-- newline: CRLF
-- trailing-newline
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

-- a second creation of a voucher trigger fails
-- on: branch
-- expect-error: There is already an object named
-- newline: CRLF
-- trailing-newline
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

-- ERP: a multi-row update of items
-- on: central
-- expect-rows: 5
UPDATE tblItemMaster SET MinQty = 12 WHERE ItemID <= 5
GO

-- check: one change-log row for the statement
-- on: central
-- expect-value: 1
SELECT COUNT(*) AS Nos FROM tblActivity WHERE TableName = 'tblItemMaster' AND Action = 'Update'
GO

-- check: the first change ever logged gets ID 1
-- on: central
-- expect-value: 1
SELECT MIN(ID) AS FirstID FROM tblActivity
GO

-- check: master rows carry no voucher type
-- on: central
-- expect-value: 0
SELECT ISNULL(ParentID, -1) + ISNULL(VchTYpeID, -1) AS Nos FROM tblActivity WHERE ID = 1
GO

-- check: the change date has no time of day
-- on: central
-- expect-value: 1
SELECT COUNT(*) AS Nos FROM tblActivity WHERE DateofAction = CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112)
GO

-- ERP: an update that matches no row
-- on: central
-- expect-rows: 0
UPDATE tblLedger SET Phone = '0484 000' WHERE LID = -1
GO

-- check: nothing logged for it
-- on: central
-- expect-value: 0
SELECT COUNT(*) AS Nos FROM tblActivity WHERE TableName = 'tblLedger'
GO

-- ERP: a ledger deleted at head office
-- on: central
-- expect-rows: 1
DELETE FROM tblLedger WHERE LID = 8
GO

-- check: the delete row of a master table
-- on: central
-- expect-value: 8
SELECT tblUniqueID + tblUniqueRefID AS Nos FROM tblActivity WHERE TableName = 'tblLedger' AND Action = 'Deleted'
GO

-- ERP: a board rate while none is logged
-- on: central
-- expect-rows: 1
INSERT INTO tblBoardRateMaster (Vchdate, ItemID, SRate, MRP, VchID) VALUES ('06/Dec/2026', 1, 430, 450, 7)
GO

-- check: nothing logged for board rates yet
-- on: central
-- expect-value: 0
SELECT COUNT(*) AS Nos FROM tblActivity WHERE TableName = 'tblBoardRateMaster'
GO

-- seed: a logged board-rate voucher
-- on: central
INSERT INTO tblActivity (ID, TableName, tblUniqueID, Action, Active) VALUES (100, 'tblBoardRateMaster', 7, 'InsertUpdate', 1)
GO

-- ERP: the same board-rate voucher again
-- on: central
-- expect-rows: 1
INSERT INTO tblBoardRateMaster (Vchdate, ItemID, SRate, MRP, VchID) VALUES ('06/Dec/2026', 2, 160, 165, 7)
GO

-- ERP: a new board-rate voucher
-- on: central
-- expect-rows: 1
INSERT INTO tblBoardRateMaster (Vchdate, ItemID, SRate, MRP, VchID) VALUES ('07/Dec/2026', 2, 161, 165, 8)
GO

-- check: only the new voucher is logged
-- on: central
-- expect-value: 1
SELECT COUNT(*) AS Nos FROM tblActivity WHERE TableName = 'tblBoardRateMaster' AND Action = 'InsertUpdate' AND tblUniqueID = 8
GO

-- check: the board-rate row id follows the largest
-- on: central
-- expect-value: 101
SELECT MAX(ID) AS Nos FROM tblActivity
GO

-- ERP: a branch sale
-- on: branch
-- expect-rows: 1
INSERT INTO tblSales (InvID, InvNo, InvDate, BillTime, VchTypeID, LedgerID, Party, BillAmt, CCID, SyncStat) VALUES (1, 'S1-0001', '06/Dec/2026', '10:02:00 AM', 201, 8, 'Walk-in Customer', 420, 2, 0)
GO

-- check: the sale is logged with its voucher type and parent type
-- on: branch
-- expect-value: 1201
SELECT ParentID * 1000 + VchTYpeID AS Nos FROM tblActivity WHERE TableName = 'tblSales' AND Action = 'Insert'
GO

-- ERP: the sale marked uploaded
-- on: branch
-- expect-rows: 1
UPDATE tblSales SET SyncStat = 1, ServInvID = 812 WHERE InvID = 1
GO

-- ERP: the sale deleted at the branch
-- on: branch
-- expect-rows: 1
DELETE FROM tblSales WHERE InvID = 1
GO

-- check: the delete row carries the central number
-- on: branch
-- expect-value: 812
SELECT tblUniqueRefID FROM tblActivity WHERE TableName = 'tblSales' AND Action = 'Deleted'
GO

-- check: three rows in all
-- on: branch
-- expect-value: 3
SELECT COUNT(*) AS Nos FROM tblActivity
GO

-- Droptrigger Area
-- on: central
Drop trigger Trig_AreaInsert
GO

-- Droptrigger Area
-- on: central
Drop trigger Trig_Areaupdate
GO

-- Droptrigger Area
-- on: central
Drop trigger Trig_AreaDelete
GO

-- Droptrigger of a voucher table on the central database
-- on: central
-- expect-error: Cannot drop the trigger
Drop trigger Trig_SalesInsert
GO

-- Update Database
-- on: central
Drop trigger Trig_UsergroupInsert
GO

-- Update Database
-- on: central
Drop trigger Trig_Usergroupupdate
GO

-- Update Database
-- on: central
Drop trigger Trig_UsergroupDelete
GO

-- Update Database
-- on: central
Drop trigger Trig_PricListInsert
GO

-- Update Database
-- on: central
Drop trigger Trig_PricListupdate
GO

-- Update Database
-- on: central
Drop trigger Trig_PricListDelete
GO

-- Update Database
-- on: central
Drop trigger Trig_VchTypeInsert
GO

-- Update Database
-- on: central
Drop trigger Trig_VchTypeupdate
GO

-- Update Database
-- on: central
Drop trigger Trig_VchTypeDelete
GO

-- Update Database
-- on: central
Drop trigger Trig_CustomerProfileInsert
GO

-- Update Database
-- on: central
Drop trigger Trig_CustomerProfileupdate
GO

-- Update Database
-- on: central
Drop trigger Trig_CustomerProfileDelete
GO

-- Update Database
-- on: central
Drop trigger Trig_CustomerCardInsert
GO

-- Update Database
-- on: central
Drop trigger Trig_CustomerCardupdate
GO

-- Update Database
-- on: central
Drop trigger Trig_CustomerCardDelete
GO

-- Update Database
-- on: central
Drop trigger Trig_CurrencyDetailInsert
GO

-- Update Database
-- on: central
Drop trigger Trig_CurrencyDetailupdate
GO

-- Update Database
-- on: central
Drop trigger Trig_CurrencyDetailDelete
GO

-- Update Database
-- on: central
Drop trigger Trig_CurrencyInsert
GO

-- Update Database
-- on: central
Drop trigger Trig_Currencyupdate
GO

-- Update Database
-- on: central
Drop trigger Trig_CurrencyDelete
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_CategoriesInsert
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_Categoriesupdate
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_CategoriesDelete
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_CostCentreInsert
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_CostCentreupdate
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_CostCentreDelete
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_EmployeeInsert
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_Employeeupdate
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_EmployeeDelete
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_GodownInsert
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_Godownupdate
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_GodownDelete
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_IteamsInsert
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_Iteamsupdate
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_IteamsDelete
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_LedgerInsert
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_Ledgerupdate
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_LedgerDelete
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_TaxClassInsert
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_TaxClassupdate
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_TaxClassDelete
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_HSNCODEInsert
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_HSNCODEupdate
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_HSNCODEDelete
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_UnitInsert
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_Unitupdate
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_UnitDelete
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_UserInsert
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_Userupdate
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_UserDelete
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: central
Drop trigger Trig_BoardRateUpdateInsert
GO

-- Update Database
-- on: central
CREATE trigger [dbo].[Trig_BoardRateUpdateInsert]  ON [dbo].[tblBoardRateMaster]  FOR Insert , Update  as DECLARE @name int declare @Type INT declare @IT INT declare @VchTypeId INT  Select @IT= vchid from inserted  select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)  select @name = @name + 1        set  @VchTypeId =0     set @Type = 0  if   @IT <>  isnull((select max(tblUniqueID) from tblActivity where TableName = 'tblBoardRateMaster'), -1)   begin    insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) values (@name, 'tblBoardRateMaster',@IT,'InsertUpdate',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE()))  End 
GO

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database
-- on: central
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_SalesInsert
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_Salesupdate
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_SalesDelete
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_NotesInsert
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_Notesupdate
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_NotesDelete
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_StockJournalInsert
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_StockJournalupdate
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_StockJournalDelete
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_OrderInsert
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_Orderupdate
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_OrderDelete
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_JobCardInsert
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_JobCardupdate
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Update Database: the trigger is dropped before it is made again
-- on: branch
Drop trigger Trig_JobCardDelete
GO

-- Update Database
-- on: branch
-- newline: CRLF
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

-- Change capture: what the triggers Update Database puts in place (schema_upgrade.sql) log for
-- statements of the ERP, and the server refusing a second trigger of the same name.
-- prepare: upgrade
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

-- check: one change-log row for each item the statement changed
-- on: central
-- expect-value: 5
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
-- expect-value: 5
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

-- check: the first board-rate voucher is logged although none was before
-- on: central
-- expect-value: 1
SELECT COUNT(*) AS Nos FROM tblActivity WHERE TableName = 'tblBoardRateMaster'
GO

-- seed: a change-log row far above the others
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

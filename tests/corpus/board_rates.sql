-- Board rate import: the latest central board rates applied to the branch's board rates, stock
-- and items; then the batch active flags through the linked server.
-- prepare: upgrade
-- prepare: linked-server
GO

-- importBoardRateUpdator: empty the branch board rates
-- on: branch
-- expect-rows: 107
 DELETE FROM tblBoardRateMaster 
GO

-- importBoardRateUpdator: the latest rates of every item
-- on: central
-- expect-rows: 57
SELECT     ID, Vchdate, ItemID, SRate, MRP, CUSTOMFIELD1,VchID,VchNo From tblBoardRateMaster WHERE     (Vchdate = (SELECT     MAX(Vchdate) AS Expr1 FROM          tblBoardRateMaster AS tblBoardRateMaster_1 WHERE      (ItemID = tblBoardRateMaster.ItemID))) ORDER BY Vchdate 
GO

-- importBoardRateUpdator: the branch board rate
-- on: branch
-- expect-rows: 1
 INSERT INTO [tblBoardRateMaster] ([Vchdate],[ItemID] ,[SRate] ,[MRP],VchID,VchNo) Values ('01/Dec/2026',1,420,450,0,0 )
GO

-- seed: a branch stock row of the item
-- on: branch
INSERT INTO tblStock (StockID, ItemID, BatchID, BatchCode, BatchUnique, CCID, Qty) VALUES (1, 1, -1, 'B00001', 'B00001', 2, 27)
GO

-- seed: a branch stock row whose batch head office lacks
-- on: branch
INSERT INTO tblStock (StockID, ItemID, BatchID, BatchCode, BatchUnique, CCID, Qty, Active) VALUES (2, 1, -2, 'LOCAL1', 'LOCAL1', 2, 3, 0)
GO

-- importBoardRateUpdator: the item's stock rows
-- on: branch
-- expect-rows: 2
Update tblstock Set Srate=420,bMRP=450 ,bSrate=420 where ItemID=1
GO

-- importBoardRateUpdator: the item master
-- on: branch
-- expect-rows: 1
Update tblItemMaster Set MRP=450,Srate=420 where ItemID=1
GO

-- importBoardRateUpdator: the rates of one date
-- on: central
-- expect-rows: 57
Select * FROM [tblBoardRateMaster] where vchdate='01/Dec/2026'
GO

-- importBoardRateUpdator: one rate row
-- on: central
-- expect-rows: 1
Select * FROM [tblBoardRateMaster] where id=5
GO

-- updatebatchActivestatus: active flags from head office
-- on: branch
-- expect-rows: 2
 Update TBLSTOCK SET  Active = (SELECT  Active FROM [embedded:servers/central].HO01.dbo.TBLSTOCK AS st WHERE (TBLSTOCK.CCID = CCID) AND (TBLSTOCK.BatchUnique = BatchUnique) AND (TBLSTOCK.ItemID = ItemID))  
GO

-- updatebatchActivestatus: batches head office lacks stay active
-- on: branch
-- expect-rows: 1
 Update TBLSTOCK SET  Active = 1 WHERE  Active IS NULL 
GO

-- check: both batches active
-- on: branch
-- expect-value: 2
SELECT COUNT(*) AS Nos FROM tblStock WHERE Active = 1
GO

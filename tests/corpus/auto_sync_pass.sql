-- One auto-sync pass: the waiting change-log summary of the central database.
-- prepare: upgrade
GO

-- ERP: head office changes three items in one statement
-- on: central
-- expect-rows: 3
UPDATE tblItemMaster SET MinQty = 10 WHERE ItemID <= 3
GO

-- ERP: head office creates a ledger
-- on: central
-- expect-rows: 1
INSERT INTO tblLedger (LID, LName, AccountGroupID, ActiveStatus) VALUES (900, 'New Customer', 5, 1)
GO

-- timer pass: waiting master changes per table and day
-- on: central
-- expect-rows: 2
 SELECT  COUNT(tblUniqueID) AS Updations, TableName, DAY(DateofAction) AS day, MONTH(DateofAction) AS Month, YEAR(DateofAction) AS year From tblActivity where ID>0 GROUP BY TableName, DAY(DateofAction), MONTH(DateofAction), YEAR(DateofAction) 
GO

-- timer pass: nothing above the mark
-- on: central
-- expect-rows: 0
 SELECT  COUNT(tblUniqueID) AS Updations, TableName, DAY(DateofAction) AS day, MONTH(DateofAction) AS Month, YEAR(DateofAction) AS year From tblActivity where ID>4 GROUP BY TableName, DAY(DateofAction), MONTH(DateofAction), YEAR(DateofAction) 
GO

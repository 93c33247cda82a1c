-- Transaction upload: the change-log query of an automatic run and of a manual re-sync, the
-- fallback query for vouchers never uploaded, and the marks of vouchers deleted at the branch.
-- prepare: upgrade
GO

-- ERP: a sale at the branch
-- on: branch
-- expect-rows: 1
INSERT INTO tblSales (InvID, InvNo, InvDate, BillTime, VchType, VchTypeID, MOP, LedgerID, Party, GrossAmt, BillAmt, NetAmount, CCID, SalesManID, UserID, SyncStat) VALUES (1, 'S1-0001', '06/Dec/2026', '10:02:00 AM', 'Sales BR1', 201, 'Cash', 7, 'O''Brien Traders', 1190, 1190, 1190, 2, 1, 2, 0)
GO

-- ERP: a sale line
-- on: branch
-- expect-rows: 1
INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty, Rate, MRP, Amount, BatchCode, BatchUnique, ItemRemarks) VALUES (1, 1, 1, 1, 420, 450, 420, 'B00001', 'B00001', NULL)
GO

-- ERP: a sale line
-- on: branch
-- expect-rows: 1
INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty, Rate, MRP, Amount, BatchCode, BatchUnique, ItemRemarks) VALUES (2, 1, 2, 2, 155, 165, 310, 'B00002', 'B00002', 'gift wrap')
GO

-- ERP: a sale line
-- on: branch
-- expect-rows: 1
INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty, Rate, MRP, Amount, BatchCode, BatchUnique, ItemRemarks) VALUES (3, 1, 5, 19, 24, 25, 456, 'LOT''5', 'LOT''5', 'kid''s pack')
GO

-- ERP: a receipt at the branch
-- on: branch
-- expect-rows: 1
INSERT INTO tblNotes (VchID, VchNo, VchDate, BillTime, VchTypeID, LedgerID, CashLedgerID, Amount, Narration, CCID, UserID, SyncStat) VALUES (1, 'R1-0001', '06/Dec/2026', '10:05:00 AM', 202, 7, 1, 250, 'Part payment', 2, 2, 0)
GO

-- ERP: a stock journal at the branch
-- on: branch
-- expect-rows: 1
INSERT INTO tblStockJournal (VchID, InvId, InvNo, InvDate, VchType, MOP, LedgerId, Party, CCID, VchTypeid, UserName, BillTime, SyncStat) VALUES (1, 1, 'J1-0001', '06/Dec/2026', 'Stock Journal BR1', 'Cash', 100, 'Damaged in transit', 2, 204, 'cashier', '10:07:00 AM', 0)
GO

-- ERP: a stock journal line
-- on: branch
-- expect-rows: 1
INSERT INTO tblStockJournalDetail (slno, InvID, ItemId, QtyIn, QtyOut, PRate, Crate, Srate, MRP, BatchCode, Expiry, CCID, GodownID, BatchUnique) VALUES (1, 1, 2, 0, 1, 140, 140, 155, 165, 'B00002', '31/Dec/2027', 2, 1, 'B00002')
GO

-- ERP: a stock journal line
-- on: branch
-- expect-rows: 1
INSERT INTO tblStockJournalDetail (slno, InvID, ItemId, QtyIn, QtyOut, PRate, Crate, Srate, MRP, BatchCode, Expiry, CCID, GodownID, BatchUnique) VALUES (2, 1, 4, 0, 2, 62.5, 62.5, 72, 79.5, 'B00004', '31/Dec/2027', 2, 1, 'B00004')
GO

-- ERP: a job card at the branch
-- on: branch
-- expect-rows: 1
INSERT INTO tblJobcard (JobCardID, JobCardNo, JobCardDate, JobCardTime, VchTypeID, LedgerID, Party, Complaint, EstimateAmt, EmpID, CCID, Status, SyncStat) VALUES (1, 'C1-0001', '06/Dec/2026', '10:09:00 AM', 206, 8, 'Walk-in Customer', 'Mixer not starting', 350, 3, 2, 'Open', 0)
GO

-- ERP: a job card line
-- on: branch
-- expect-rows: 1
INSERT INTO tblJobCardDetail (SlNo, JobCardID, ItemID, Qty, Rate, Amount, WorkDone) VALUES (1, 1, 4, 1, 72, 72, 'Cleaned')
GO

-- ERP: a job card line
-- on: branch
-- expect-rows: 1
INSERT INTO tblJobCardDetail (SlNo, JobCardID, ItemID, Qty, Rate, Amount, WorkDone) VALUES (2, 1, 3, 1, 110, 110, NULL)
GO

-- ERP: a sales order at the branch
-- on: branch
-- expect-rows: 1
INSERT INTO tblOrder (InvID, InvNo, InvDate, BillTime, DeliveryDate, VchTypeID, LedgerID, Party, BillAmt, NetAmount, CCID, SyncStat) VALUES (1, 'O1-0001', '06/Dec/2026', '10:11:00 AM', '08/Dec/2026', 205, 7, 'O''Brien Traders', 840, 840, 2, 0)
GO

-- ERP: an order line
-- on: branch
-- expect-rows: 1
INSERT INTO tblOrderItem (SlNo, InvID, ItemID, Qty, Rate, MRP, Amount, BatchCode) VALUES (1, 1, 1, 2, 420, 450, 840, 'B00001')
GO

-- uploadTransactions: change-log rows of the working date
-- on: branch
 select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from tblactivity O where ParentID in(1,3,5,7,8,9,10,14,18,41,42,43,44,45) and ISNULL(pARENTid,0) <> 0 AND Action not in('Update') and DateofAction='06/Dec/2026' and ID>0 and vchtypeID in (201,202,203,204,205,206,207)  Order by o.ID 
GO

-- uploadTransactions: change-log rows without a voucher-type filter
-- on: branch
 select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from tblactivity O where ParentID in(1,3,5,7,8,9,10,14,18,41,42,43,44,45) and ISNULL(pARENTid,0) <> 0 AND Action not in('Update') and DateofAction='06/Dec/2026' and ID>0  Order by o.ID 
GO

-- uploadTransactions: fallback query (vouchers never uploaded)
-- on: branch
-- expect-rows: 5
select * from (SELECT 0 as ID, 'tblSales' AS tablename, InvId AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat  FROM  tblSales WHERE  (SyncStat = 0) Union Select 0 as ID, 'tblNotes' AS tablename, VchId AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, vchDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM  tblNotes WHERE (SyncStat = 0)  Union Select 0 as ID, 'tblJobCard' AS tablename, Jobcardid AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, JobcardDate AS dateofaction, JObcardTime,SyncStat AS ActionTime FROM  tblJobCard WHERE (SyncStat = 0)  Union Select 0 as ID, 'tblOrder' AS tablename, InvId AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM  tblOrder WHERE (SyncStat = 0)  Union Select 0 as ID, 'tblStockJournal' AS tablename, InvId AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM  tblStockJournal WHERE (SyncStat = 0)) as M where m.dateofaction='06/Dec/2026' or SyncStat =0
GO

-- uploadTransactions: manual re-sync query
-- on: branch
 select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from tblactivity O where ParentID in(1,3,5,7,8,9,10,14,18,41,42,43,44,45) and ISNULL(pARENTid,0) <> 0 AND Action not in('Update') and DateofAction='06/Dec/2026' and vchtypeID in (201,202,203,204,205,206,207) and id = (select max(A.id) from tblactivity A where o.tblUniqueID=a.tblUniqueID and o.tablename = a.tablename and a.Action not in('Update')) Order by o.ID 
GO

-- check: every voucher insert was logged
-- on: branch
-- expect-value: 5
SELECT COUNT(*) AS Nos FROM tblactivity WHERE Action = 'Insert' AND ISNULL(ParentID,0) <> 0
GO

-- ERP: the sale deleted at the branch after its upload
-- on: branch
-- expect-rows: 1
UPDATE tblSales SET SyncStat = 1, ServInvID = 812 WHERE InvID = 1
GO

-- ERP: the sale deleted at the branch after its upload
-- on: branch
-- expect-rows: 1
DELETE FROM tblSales WHERE InvID = 1
GO

-- check: the delete row carries the central number
-- on: branch
-- expect-value: 812
SELECT tblUniquerefID FROM tblactivity WHERE Action = 'Deleted'
GO

-- seed: the central copy of the sale
-- on: central
INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, Party, CCID) VALUES (812, 'S1-0001', '06/Dec/2026', 201, 'O''Brien Traders', 2)
GO

-- uploadTransactions: a voucher deleted at the branch (tblSales)
-- on: central
-- expect-rows: 1
update  tblSales set Party='#DELETEDFROMBRANCH#' where INvID=812
GO

-- uploadTransactions: a voucher deleted at the branch (tblNotes)
-- on: central
-- expect-rows: 0
update  tblNotes set NARRATION='#DELETEDFROMBRANCH#' where vchID=812
GO

-- uploadTransactions: a voucher deleted at the branch (tblStockJournal)
-- on: central
-- expect-rows: 0
update  tblStockJournal set Party='#DELETEDFROMBRANCH#' where INvID=812
GO

-- uploadTransactions: a voucher deleted at the branch (tblJobCard)
-- on: central
-- expect-rows: 0
update  tblJobCard set Party='#DELETEDFROMBRANCH#' where JobcardID=812
GO

-- uploadTransactions: a voucher deleted at the branch (tblOrder)
-- on: central
-- expect-rows: 0
update  tblOrder set Party='#DELETEDFROMBRANCH#' where INvID=812
GO

-- check: the central copy is marked, not deleted
-- on: central
-- expect-value: #DELETEDFROMBRANCH#
SELECT Party FROM tblSales WHERE InvID = 812
GO

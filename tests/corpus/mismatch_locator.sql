-- Mismatch locator: vouchers uploaded but missing centrally (query A), vouchers whose item counts
-- differ (queries B and C), the re-queue (U) and retire (R) statements of every family.
-- prepare: upgrade
-- prepare: linked-server
GO

-- seed: a branch sale uploaded as central 5
-- on: branch
INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, Party, CCID, SyncStat, ServInvID) VALUES (1, 'S1-0001', '06/Dec/2026', 201, 'Walk-in Customer', 2, 1, 5)
GO

-- seed: its two lines
-- on: branch
INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty) VALUES (1, 1, 1, 1)
GO

-- seed: its two lines
-- on: branch
INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty) VALUES (2, 1, 2, 1)
GO

-- seed: a branch sale uploaded as central 6, missing centrally
-- on: branch
INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, Party, CCID, SyncStat, ServInvID) VALUES (2, 'S1-0002', '06/Dec/2026', 201, 'Walk-in Customer', 2, 1, 6)
GO

-- seed: a branch sale not yet uploaded
-- on: branch
INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, Party, CCID, SyncStat) VALUES (3, 'S1-0003', '06/Dec/2026', 201, 'Walk-in Customer', 2, 0)
GO

-- seed: the central copy of the first sale, with one line only
-- on: central
INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, Party, CCID, SyncStat, ServInvID) VALUES (5, 'S1-0001', '06/Dec/2026', 201, 'Walk-in Customer', 2, 0, 0)
GO

-- seed: its line
-- on: central
INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty) VALUES (1, 5, 1, 1)
GO

-- LocateMismatchingTrans TBLsALES: query A
-- on: branch
-- expect-rows: 1
 select InvID,invno ,invdate,vchtypeid, 'Main Server' as ServerName,servInvID,SyncStat from TBLsALES s where S.invno not in ( select invno from [embedded:servers/central].HO01.dbo.TBLsALES M WHERE M.INVDATE = S.INVDATE AND M.VCHTYPEID = S.VCHTYPEID and invdate='06/Dec/2026') and SyncStat=1  and invdate='06/Dec/2026'
GO

-- LocateMismatchingTrans TBLsALES: query B
-- on: branch
-- expect-rows: 1
 select invno ,invdate,vchtypeid, servInvID,SyncStat, count(m.InvID) as ItemCount,'Main Server' as ServerName from [embedded:servers/central].HO01.dbo.TBLsALES s inner join  [embedded:servers/central].HO01.dbo.TBLSALESITEM M on m.invid = s.invid where invdate='06/Dec/2026' AND s.CCID = 2 group by invno ,invdate,vchtypeid,servInvID,SyncStat
GO

-- LocateMismatchingTrans TBLsALES: query C
-- on: branch
-- expect-rows: 1
 select s.invid,invno ,invdate,vchtypeid, servInvID,SyncStat, count(m.InvID) as ItemCount,'Branch Server' as ServerName from TBLsALES s inner join  TBLSALESITEM M on m.invid = s.invid where invdate='06/Dec/2026' AND s.CCID = 2 and invNo = 'S1-0001' and invdate = '06/Dec/2026'  and vchtypeid = 201  group by s.InvID,invno ,invdate,vchtypeid,servInvID,SyncStat
GO

-- LocateMismatchingTrans TBLsALES: re-queue U
-- on: branch
  Update TBLsALES  set syncstat = 0 where Invdate='06/Dec/2026' and InvID=2 and VchTypeID=201
GO

-- LocateMismatchingTrans TBLsALES: retire R
-- on: central
update  TBLsALES set InvNo=InvNo+'Del',Party='#DELETEDFROMBRANCH#' where INvID=6 and Invdate='06/Dec/2026' and VchTypeID=201
GO

-- LocateMismatchingTrans tblStockJournal: query A
-- on: branch
-- expect-rows: 0
 select InvID,invno ,invdate,vchtypeid, 'Main Server' as ServerName,servInvID,SyncStat from tblStockJournal s where S.invno not in ( select invno from [embedded:servers/central].HO01.dbo.tblStockJournal M WHERE M.INVDATE = S.INVDATE AND M.VCHTYPEID = S.VCHTYPEID and invdate='06/Dec/2026') and SyncStat=1  and invdate='06/Dec/2026'
GO

-- LocateMismatchingTrans tblStockJournal: query B
-- on: branch
-- expect-rows: 0
 select invno ,invdate,vchtypeid, servInvID,SyncStat, count(m.InvID) as ItemCount,'Main Server' as ServerName from [embedded:servers/central].HO01.dbo.tblStockJournal s inner join  [embedded:servers/central].HO01.dbo.tblStockJournalDetail M on m.invid = s.invid where invdate='06/Dec/2026' AND s.CCID = 2 group by invno ,invdate,vchtypeid,servInvID,SyncStat
GO

-- LocateMismatchingTrans tblStockJournal: query C
-- on: branch
-- expect-rows: 0
 select s.invid,invno ,invdate,vchtypeid, servInvID,SyncStat, count(m.InvID) as ItemCount,'Branch Server' as ServerName from tblStockJournal s inner join  tblStockJournalDetail M on m.invid = s.invid where invdate='06/Dec/2026' AND s.CCID = 2 and invNo = 'S1-0001' and invdate = '06/Dec/2026'  and vchtypeid = 201  group by s.InvID,invno ,invdate,vchtypeid,servInvID,SyncStat
GO

-- LocateMismatchingTrans tblStockJournal: re-queue U
-- on: branch
  Update tblStockJournal  set syncstat = 0 where Invdate='06/Dec/2026' and InvID=2 and VchTypeID=201
GO

-- LocateMismatchingTrans tblStockJournal: retire R
-- on: central
update  tblStockJournal set InvNo=InvNo+'Del',Party='#DELETEDFROMBRANCH#' where INvID=6 and Invdate='06/Dec/2026' and VchTypeID=201
GO

-- LocateMismatchingTrans tblOrder: query A
-- on: branch
-- expect-rows: 0
 select InvID,invno ,invdate,vchtypeid, 'Main Server' as ServerName,servInvID,SyncStat from tblOrder s where S.invno not in ( select invno from [embedded:servers/central].HO01.dbo.tblOrder M WHERE M.INVDATE = S.INVDATE AND M.VCHTYPEID = S.VCHTYPEID and invdate='06/Dec/2026') and SyncStat=1  and invdate='06/Dec/2026'
GO

-- LocateMismatchingTrans tblOrder: query B
-- on: branch
-- expect-rows: 0
 select invno ,invdate,vchtypeid, servInvID,SyncStat, count(m.InvID) as ItemCount,'Main Server' as ServerName from [embedded:servers/central].HO01.dbo.tblOrder s inner join  [embedded:servers/central].HO01.dbo.tblOrderItem M on m.invid = s.invid where invdate='06/Dec/2026' AND s.CCID = 2 group by invno ,invdate,vchtypeid,servInvID,SyncStat
GO

-- LocateMismatchingTrans tblOrder: query C
-- on: branch
-- expect-rows: 0
 select s.invid,invno ,invdate,vchtypeid, servInvID,SyncStat, count(m.InvID) as ItemCount,'Branch Server' as ServerName from tblOrder s inner join  tblOrderItem M on m.invid = s.invid where invdate='06/Dec/2026' AND s.CCID = 2 and invNo = 'S1-0001' and invdate = '06/Dec/2026'  and vchtypeid = 201  group by s.InvID,invno ,invdate,vchtypeid,servInvID,SyncStat
GO

-- LocateMismatchingTrans tblOrder: re-queue U
-- on: branch
  Update tblOrder  set syncstat = 0 where Invdate='06/Dec/2026' and InvID=2 and VchTypeID=201
GO

-- LocateMismatchingTrans tblOrder: retire R
-- on: central
update  tblOrder set InvNo=InvNo+'Del',Party='#DELETEDFROMBRANCH#' where INvID=6 and Invdate='06/Dec/2026' and VchTypeID=201
GO

-- LocateMismatchingTrans tblJobCard: query A
-- on: branch
-- expect-rows: 0
 select JobCardID,JobCardNo ,JobCardDate,vchtypeid, 'Main Server' as ServerName,servInvID,SyncStat from tblJobCard s where S.JobCardNo not in ( select JobCardNo from [embedded:servers/central].HO01.dbo.tblJobCard M WHERE M.JobCardDate = S.JobCardDate AND M.VCHTYPEID = S.VCHTYPEID and JobCardDate='06/Dec/2026') and SyncStat=1  and JobCardDate='06/Dec/2026'
GO

-- LocateMismatchingTrans tblJobCard: query B
-- on: branch
-- expect-rows: 0
 select JobCardNo ,JobCardDate,vchtypeid, servInvID,SyncStat, count(m.JobCardID) as ItemCount,'Main Server' as ServerName from [embedded:servers/central].HO01.dbo.tblJobCard s inner join  [embedded:servers/central].HO01.dbo.tblJobCardDetail M on m.JobCardID = s.JobCardID where JobCardDate='06/Dec/2026' AND CCID = 2 group by JobCardNo ,JobCardDate,vchtypeid,servInvID,SyncStat
GO

-- LocateMismatchingTrans tblJobCard: query C
-- on: branch
-- expect-rows: 0
 select s.JobCardID,JobCardNo ,JobCardDate,vchtypeid, servInvID,SyncStat, count(m.JobCardID) as ItemCount,'Branch Server' as ServerName from tblJobCard s inner join  tblJobCardDetail M on m.JobCardID = s.JobCardID where JobCardDate='06/Dec/2026' AND s.CCID = 2 and JobCardNo = 'C1-0001' and JobCardDate = '06/Dec/2026'  and vchtypeid = 201  group by JobCardNo ,JobCardDate,vchtypeid,servInvID,SyncStat,s.JobCardID
GO

-- LocateMismatchingTrans tblJobCard: re-queue U
-- on: branch
  Update tblJobCard  set syncstat = 0 where JobCardDate= '06/Dec/2026' and JobCardID=2 and VchTypeID=201
GO

-- LocateMismatchingTrans tblJobCard: retire R
-- on: central
update  tblJobCard set JObCardNo=JObCardNo+'Del',Party='#DELETEDFROMBRANCH#' where INvID=6 and JObCardDate='06/Dec/2026' and VchTypeID=201
GO

-- LocateMismatchingTrans tblNOTES: query A
-- on: branch
-- expect-rows: 0
 select VchID,VchNo ,Vchdate,vchtypeid, 'Main Server' as ServerName,servInvID,SyncStat from tblNOTES s where S.VchNo not in ( select VchNo from [embedded:servers/central].HO01.dbo.tblNOTES M WHERE M.Vchdate = S.Vchdate AND M.VCHTYPEID = S.VCHTYPEID and Vchdate='06/Dec/2026') and SyncStat=1  and Vchdate='06/Dec/2026'
GO

-- LocateMismatchingTrans tblNOTES: re-queue U
-- on: branch
  Update tblNOTES  set syncstat = 0 where vchDate= '06/Dec/2026' and VchID=2 and VchTypeID=201
GO

-- LocateMismatchingTrans tblNOTES: retire R
-- on: central
update  tblNotes set NARRATION='#DELETEDFROMBRANCH#' where vchID=6 and vchDate='06/Dec/2026' and VchTypeID=201
GO

-- check: the missing sale is queued again
-- on: branch
-- expect-value: 0
SELECT SyncStat FROM tblSales WHERE InvID = 2
GO

-- cmdMIgrateMismatchedItemsonly: the central change log's last id
-- on: central
-- expect-rows: 1
 SELECT  max(ID) as MAXID From tblActivity  
GO

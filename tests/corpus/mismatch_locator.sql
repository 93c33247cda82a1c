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

-- LocateMismatchingTrans TBLsALES: re-queue U
-- on: branch
  Update TBLsALES  set syncstat = 0 where Invdate='06/Dec/2026' and InvID=2 and VchTypeID=201
GO

-- LocateMismatchingTrans TBLsALES: retire R
-- on: central
update  TBLsALES set InvNo=InvNo+'Del',Party='#DELETEDFROMBRANCH#' where INvID=6 and Invdate='06/Dec/2026' and VchTypeID=201
GO

-- LocateMismatchingTrans tblStockJournal: re-queue U
-- on: branch
  Update tblStockJournal  set syncstat = 0 where Invdate='06/Dec/2026' and InvID=2 and VchTypeID=201
GO

-- LocateMismatchingTrans tblStockJournal: retire R
-- on: central
update  tblStockJournal set InvNo=InvNo+'Del',Party='#DELETEDFROMBRANCH#' where INvID=6 and Invdate='06/Dec/2026' and VchTypeID=201
GO

-- LocateMismatchingTrans tblOrder: re-queue U
-- on: branch
  Update tblOrder  set syncstat = 0 where Invdate='06/Dec/2026' and InvID=2 and VchTypeID=201
GO

-- LocateMismatchingTrans tblOrder: retire R
-- on: central
update  tblOrder set InvNo=InvNo+'Del',Party='#DELETEDFROMBRANCH#' where INvID=6 and Invdate='06/Dec/2026' and VchTypeID=201
GO

-- LocateMismatchingTrans tblJobCard: re-queue U
-- on: branch
  Update tblJobCard  set syncstat = 0 where JobCardDate= '06/Dec/2026' and JobCardID=2 and VchTypeID=201
GO

-- LocateMismatchingTrans tblJobCard: retire R
-- on: central
update  tblJobCard set JObCardNo=JObCardNo+'Del',Party='#DELETEDFROMBRANCH#' where INvID=6 and JObCardDate='06/Dec/2026' and VchTypeID=201
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

-- Mismatch page (Mismatch check)
-- on: branch
 select s.InvID as ID, s.InvNo as VNo, s.InvDate as VDate, s.VchTypeID as VType, 'Main Server' as ServerName, s.ServInvID, s.SyncStat from tblSales s where s.SyncStat=1 and s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and not exists (select 1 from [embedded:servers/central].[HO01].dbo.tblSales m where m.InvNo=s.InvNo and m.InvDate=s.InvDate and m.VchTypeID=s.VchTypeID and m.CCID=s.CCID and isnull(m.Party,'')<>'#DELETEDFROMBRANCH#') order by s.InvID
GO

-- Mismatch page (Mismatch check)
-- on: branch
 select s.InvNo as VNo, s.InvDate as VDate, s.VchTypeID as VType, count(m.InvID) as ItemCount, 'Main Server' as ServerName from [embedded:servers/central].[HO01].dbo.tblSales s left join [embedded:servers/central].[HO01].dbo.tblSalesItem m on m.InvID=s.InvID where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' group by s.InvNo, s.InvDate, s.VchTypeID order by s.InvNo
GO

-- Mismatch page (Mismatch check)
-- on: branch
 select s.InvID as ID, s.InvNo as VNo, s.InvDate as VDate, s.VchTypeID as VType, s.ServInvID, s.SyncStat, count(m.InvID) as ItemCount, 'Branch Server' as ServerName from tblSales s left join tblSalesItem m on m.InvID=s.InvID where s.InvDate='07/Dec/2026' and s.CCID=2 and s.InvNo='S-1' and s.VchTypeID=201 group by s.InvID, s.InvNo, s.InvDate, s.VchTypeID, s.ServInvID, s.SyncStat
GO

-- Mismatch page (Mismatch check)
-- on: branch
 select s.VchID as ID, s.VchNo as VNo, s.VchDate as VDate, s.VchTypeID as VType, 'Main Server' as ServerName, s.ServInvID, s.SyncStat from tblNotes s where s.SyncStat=1 and s.VchDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and not exists (select 1 from [embedded:servers/central].[HO01].dbo.tblNotes m where m.VchNo=s.VchNo and m.VchDate=s.VchDate and m.VchTypeID=s.VchTypeID and m.CCID=s.CCID and isnull(m.Narration,'')<>'#DELETEDFROMBRANCH#') order by s.VchID
GO

-- Mismatch page (Mismatch check)
-- on: branch
 select s.InvID as ID, s.InvNo as VNo, s.InvDate as VDate, s.VchTypeID as VType, 'Main Server' as ServerName, s.ServInvID, s.SyncStat from tblStockJournal s where s.SyncStat=1 and s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and not exists (select 1 from [embedded:servers/central].[HO01].dbo.tblStockJournal m where m.InvNo=s.InvNo and m.InvDate=s.InvDate and m.VchTypeID=s.VchTypeID and m.CCID=s.CCID and isnull(m.Party,'')<>'#DELETEDFROMBRANCH#') order by s.InvID
GO

-- Mismatch page (Mismatch check)
-- on: branch
 select s.InvNo as VNo, s.InvDate as VDate, s.VchTypeID as VType, count(m.InvID) as ItemCount, 'Main Server' as ServerName from [embedded:servers/central].[HO01].dbo.tblStockJournal s left join [embedded:servers/central].[HO01].dbo.tblStockJournalDetail m on m.InvID=s.InvID where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' group by s.InvNo, s.InvDate, s.VchTypeID order by s.InvNo
GO

-- Mismatch page (Mismatch check)
-- on: branch
 select s.InvID as ID, s.InvNo as VNo, s.InvDate as VDate, s.VchTypeID as VType, s.ServInvID, s.SyncStat, count(m.InvID) as ItemCount, 'Branch Server' as ServerName from tblStockJournal s left join tblStockJournalDetail m on m.InvID=s.InvID where s.InvDate='07/Dec/2026' and s.CCID=2 and s.InvNo='J-2' and s.VchTypeID=204 group by s.InvID, s.InvNo, s.InvDate, s.VchTypeID, s.ServInvID, s.SyncStat
GO

-- Mismatch page (Mismatch check)
-- on: branch
 select s.JobCardID as ID, s.JobCardNo as VNo, s.JobCardDate as VDate, s.VchTypeID as VType, 'Main Server' as ServerName, s.ServInvID, s.SyncStat from tblJobCard s where s.SyncStat=1 and s.JobCardDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and not exists (select 1 from [embedded:servers/central].[HO01].dbo.tblJobCard m where m.JobCardNo=s.JobCardNo and m.JobCardDate=s.JobCardDate and m.VchTypeID=s.VchTypeID and m.CCID=s.CCID and isnull(m.Party,'')<>'#DELETEDFROMBRANCH#') order by s.JobCardID
GO

-- Mismatch page (Mismatch check)
-- on: branch
 select s.JobCardNo as VNo, s.JobCardDate as VDate, s.VchTypeID as VType, count(m.JobCardID) as ItemCount, 'Main Server' as ServerName from [embedded:servers/central].[HO01].dbo.tblJobCard s left join [embedded:servers/central].[HO01].dbo.tblJobCardDetail m on m.JobCardID=s.JobCardID where s.JobCardDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' group by s.JobCardNo, s.JobCardDate, s.VchTypeID order by s.JobCardNo
GO

-- Mismatch page (Mismatch check)
-- on: branch
 select s.InvID as ID, s.InvNo as VNo, s.InvDate as VDate, s.VchTypeID as VType, 'Main Server' as ServerName, s.ServInvID, s.SyncStat from tblOrder s where s.SyncStat=1 and s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and not exists (select 1 from [embedded:servers/central].[HO01].dbo.tblOrder m where m.InvNo=s.InvNo and m.InvDate=s.InvDate and m.VchTypeID=s.VchTypeID and m.CCID=s.CCID and isnull(m.Party,'')<>'#DELETEDFROMBRANCH#') order by s.InvID
GO

-- Mismatch page (Mismatch check)
-- on: branch
 select s.InvNo as VNo, s.InvDate as VDate, s.VchTypeID as VType, count(m.InvID) as ItemCount, 'Main Server' as ServerName from [embedded:servers/central].[HO01].dbo.tblOrder s left join [embedded:servers/central].[HO01].dbo.tblOrderItem m on m.InvID=s.InvID where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' group by s.InvNo, s.InvDate, s.VchTypeID order by s.InvNo
GO

-- Mismatch page (Mismatch check)
-- on: branch
 select s.InvID as ID, s.InvNo as VNo, s.InvDate as VDate, s.VchTypeID as VType, s.ServInvID, s.SyncStat, count(m.InvID) as ItemCount, 'Branch Server' as ServerName from tblOrder s left join tblOrderItem m on m.InvID=s.InvID where s.InvDate='07/Dec/2026' and s.CCID=2 and s.InvNo='O-1' and s.VchTypeID=205 group by s.InvID, s.InvNo, s.InvDate, s.VchTypeID, s.ServInvID, s.SyncStat
GO

-- Mismatch page (Mismatch check)
-- on: branch
SELECT VchTypeID, VchType FROM tblVchType
GO

-- Mismatch page (Mismatch check)
-- on: branch
select * from tblSales s where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) order by s.InvID
GO

-- Mismatch page (Mismatch check)
-- on: branch
select d.InvID as K, count(*) as N, sum(isnull(d.Qty,0)) as S0, sum(isnull(d.FreeQty,0)) as S1, sum(isnull(d.Amount,0)) as S2 from tblSalesItem d inner join tblSales s on s.InvID=d.InvID where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) group by d.InvID
GO

-- Mismatch page (Mismatch check)
-- on: central
select * from tblSales s where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' order by s.InvID
GO

-- Mismatch page (Mismatch check)
-- on: central
select d.InvID as K, count(*) as N, sum(isnull(d.Qty,0)) as S0, sum(isnull(d.FreeQty,0)) as S1, sum(isnull(d.Amount,0)) as S2 from tblSalesItem d inner join tblSales s on s.InvID=d.InvID where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' group by d.InvID
GO

-- Mismatch page (Mismatch check)
-- on: branch
select * from tblNotes s where s.VchDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) order by s.VchID
GO

-- Mismatch page (Mismatch check)
-- on: central
select * from tblNotes s where s.VchDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Narration,'')<>'#DELETEDFROMBRANCH#' order by s.VchID
GO

-- Mismatch page (Mismatch check)
-- on: branch
select * from tblStockJournal s where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) order by s.InvID
GO

-- Mismatch page (Mismatch check)
-- on: branch
select d.InvID as K, count(*) as N, sum(isnull(d.QtyIn,0)) as S0, sum(isnull(d.QtyOut,0)) as S1, sum(isnull(d.Amount,0)) as S2 from tblStockJournalDetail d inner join tblStockJournal s on s.InvID=d.InvID where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) group by d.InvID
GO

-- Mismatch page (Mismatch check)
-- on: central
select * from tblStockJournal s where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' order by s.InvID
GO

-- Mismatch page (Mismatch check)
-- on: central
select d.InvID as K, count(*) as N, sum(isnull(d.QtyIn,0)) as S0, sum(isnull(d.QtyOut,0)) as S1, sum(isnull(d.Amount,0)) as S2 from tblStockJournalDetail d inner join tblStockJournal s on s.InvID=d.InvID where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' group by d.InvID
GO

-- Mismatch page (Mismatch check)
-- on: branch
select * from tblJobCard s where s.JobCardDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) order by s.JobCardID
GO

-- Mismatch page (Mismatch check)
-- on: branch
select d.JobCardID as K, count(*) as N, sum(isnull(d.Qty,0)) as S0, sum(isnull(d.Amount,0)) as S1 from tblJobCardDetail d inner join tblJobCard s on s.JobCardID=d.JobCardID where s.JobCardDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) group by d.JobCardID
GO

-- Mismatch page (Mismatch check)
-- on: central
select * from tblJobCard s where s.JobCardDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' order by s.JobCardID
GO

-- Mismatch page (Mismatch check)
-- on: central
select d.JobCardID as K, count(*) as N, sum(isnull(d.Qty,0)) as S0, sum(isnull(d.Amount,0)) as S1 from tblJobCardDetail d inner join tblJobCard s on s.JobCardID=d.JobCardID where s.JobCardDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' group by d.JobCardID
GO

-- Mismatch page (Mismatch check)
-- on: branch
select * from tblOrder s where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) order by s.InvID
GO

-- Mismatch page (Mismatch check)
-- on: branch
select d.InvID as K, count(*) as N, sum(isnull(d.Qty,0)) as S0, sum(isnull(d.Amount,0)) as S1 from tblOrderItem d inner join tblOrder s on s.InvID=d.InvID where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) group by d.InvID
GO

-- Mismatch page (Mismatch check)
-- on: central
select * from tblOrder s where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' order by s.InvID
GO

-- Mismatch page (Mismatch check)
-- on: central
select d.InvID as K, count(*) as N, sum(isnull(d.Qty,0)) as S0, sum(isnull(d.Amount,0)) as S1 from tblOrderItem d inner join tblOrder s on s.InvID=d.InvID where s.InvDate='07/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' group by d.InvID
GO

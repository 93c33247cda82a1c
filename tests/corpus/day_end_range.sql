-- Day end: the vouchers compared one by one from the earlier of the day start and the last day
-- closed (a range of dates, one read a family on each side), and the earlier dates its refusal queues
-- again.
-- prepare: upgrade
GO

-- Day End
-- on: branch
-- sent 1 time(s) in the played days
select * from tblSales s where s.InvDate>='30/Dec/1899' and s.InvDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) order by s.InvID
GO

-- Day End
-- on: branch
-- sent 1 time(s) in the played days
select d.InvID as K, count(*) as N, sum(isnull(d.Qty,0)) as S0, sum(isnull(d.FreeQty,0)) as S1, sum(isnull(d.Amount,0)) as S2 from tblSalesItem d inner join tblSales s on s.InvID=d.InvID where s.InvDate>='30/Dec/1899' and s.InvDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) group by d.InvID
GO

-- Day End
-- on: central
-- sent 1 time(s) in the played days
select * from tblSales s where s.InvDate>='30/Dec/1899' and s.InvDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' order by s.InvID
GO

-- Day End
-- on: central
-- sent 1 time(s) in the played days
select d.InvID as K, count(*) as N, sum(isnull(d.Qty,0)) as S0, sum(isnull(d.FreeQty,0)) as S1, sum(isnull(d.Amount,0)) as S2 from tblSalesItem d inner join tblSales s on s.InvID=d.InvID where s.InvDate>='30/Dec/1899' and s.InvDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' group by d.InvID
GO

-- Day End
-- on: branch
-- sent 1 time(s) in the played days
select * from tblNotes s where s.VchDate>='30/Dec/1899' and s.VchDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) order by s.VchID
GO

-- Day End
-- on: central
-- sent 1 time(s) in the played days
select * from tblNotes s where s.VchDate>='30/Dec/1899' and s.VchDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Narration,'')<>'#DELETEDFROMBRANCH#' order by s.VchID
GO

-- Day End
-- on: branch
-- sent 1 time(s) in the played days
select * from tblStockJournal s where s.InvDate>='30/Dec/1899' and s.InvDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) order by s.InvID
GO

-- Day End
-- on: branch
-- sent 1 time(s) in the played days
select d.InvID as K, count(*) as N, sum(isnull(d.QtyIn,0)) as S0, sum(isnull(d.QtyOut,0)) as S1, sum(isnull(d.Amount,0)) as S2 from tblStockJournalDetail d inner join tblStockJournal s on s.InvID=d.InvID where s.InvDate>='30/Dec/1899' and s.InvDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) group by d.InvID
GO

-- Day End
-- on: central
-- sent 1 time(s) in the played days
select * from tblStockJournal s where s.InvDate>='30/Dec/1899' and s.InvDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' order by s.InvID
GO

-- Day End
-- on: central
-- sent 1 time(s) in the played days
select d.InvID as K, count(*) as N, sum(isnull(d.QtyIn,0)) as S0, sum(isnull(d.QtyOut,0)) as S1, sum(isnull(d.Amount,0)) as S2 from tblStockJournalDetail d inner join tblStockJournal s on s.InvID=d.InvID where s.InvDate>='30/Dec/1899' and s.InvDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' group by d.InvID
GO

-- Day End
-- on: branch
-- sent 1 time(s) in the played days
select * from tblJobCard s where s.JobCardDate>='30/Dec/1899' and s.JobCardDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) order by s.JobCardID
GO

-- Day End
-- on: branch
-- sent 1 time(s) in the played days
select d.JobCardID as K, count(*) as N, sum(isnull(d.Qty,0)) as S0, sum(isnull(d.Amount,0)) as S1 from tblJobCardDetail d inner join tblJobCard s on s.JobCardID=d.JobCardID where s.JobCardDate>='30/Dec/1899' and s.JobCardDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) group by d.JobCardID
GO

-- Day End
-- on: central
-- sent 1 time(s) in the played days
select * from tblJobCard s where s.JobCardDate>='30/Dec/1899' and s.JobCardDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' order by s.JobCardID
GO

-- Day End
-- on: central
-- sent 1 time(s) in the played days
select d.JobCardID as K, count(*) as N, sum(isnull(d.Qty,0)) as S0, sum(isnull(d.Amount,0)) as S1 from tblJobCardDetail d inner join tblJobCard s on s.JobCardID=d.JobCardID where s.JobCardDate>='30/Dec/1899' and s.JobCardDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' group by d.JobCardID
GO

-- Day End
-- on: branch
-- sent 1 time(s) in the played days
select * from tblOrder s where s.InvDate>='30/Dec/1899' and s.InvDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) order by s.InvID
GO

-- Day End
-- on: branch
-- sent 1 time(s) in the played days
select d.InvID as K, count(*) as N, sum(isnull(d.Qty,0)) as S0, sum(isnull(d.Amount,0)) as S1 from tblOrderItem d inner join tblOrder s on s.InvID=d.InvID where s.InvDate>='30/Dec/1899' and s.InvDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) group by d.InvID
GO

-- Day End
-- on: central
-- sent 1 time(s) in the played days
select * from tblOrder s where s.InvDate>='30/Dec/1899' and s.InvDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' order by s.InvID
GO

-- Day End
-- on: central
-- sent 1 time(s) in the played days
select d.InvID as K, count(*) as N, sum(isnull(d.Qty,0)) as S0, sum(isnull(d.Amount,0)) as S1 from tblOrderItem d inner join tblOrder s on s.InvID=d.InvID where s.InvDate>='30/Dec/1899' and s.InvDate<='08/Dec/2026' and s.CCID=2 and s.VchTypeID in (206,203,202,201,205,207,204) and isnull(s.Party,'')<>'#DELETEDFROMBRANCH#' group by d.InvID
GO


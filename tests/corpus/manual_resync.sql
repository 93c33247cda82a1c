-- Manual re-sync: the working day's vouchers deleted centrally and queued again at the branch;
-- then the day purge on both databases.
-- prepare: upgrade
GO

-- cmdManualSynch: Delete Stock History Web
-- on: central
delete from tblStockHistory where ccid=2 AND Vchdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete Sales Web
-- on: central
delete from tblSales where ccid=2 AND Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete Sales item Web
-- on: central
delete from tblSalesItem where InvID not in(Select INvID from tblSales) 
GO

-- cmdManualSynch: Update Sales
-- on: branch
Update tblSales  set syncstat = 0 where ccid=2 AND  Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete tblStockJournal Web
-- on: central
delete from tblStockJournal where ccid=2 AND  Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete Stock Journal Web
-- on: central
delete from tblStockJournalDetail where InvID not in(Select INvID from tblStockJournal) 
GO

-- cmdManualSynch: Update Sales
-- on: branch
Update tblStockJournal  set syncstat = 0 where Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete tblOrder Web
-- on: central
delete from tblOrder where ccid=2 AND  Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete tblOrder Web
-- on: central
delete from tblOrderItem where InvID not in(Select INvID from tblOrder) 
GO

-- cmdManualSynch: Update tblOrder
-- on: branch
Update tblOrder  set syncstat = 0 where Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete tblJobcard Web
-- on: central
delete from tblJobcard where ccid=2 AND  JobCardDate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete Job Card Web
-- on: central
delete from tblJobcardDetail where jobcardID not in(Select jobcardiD from tblJobcard) 
GO

-- cmdManualSynch: Update Jobcard 
-- on: branch
Update tblJobcard  set syncstat = 0 where JObcarddate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Delete Notes Web
-- on: central
delete from tblNotes where ccid=2 AND  VchDate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- cmdManualSynch: Update NOtes
-- on: branch
Update tblNotes  set syncstat = 0 where Vchdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: branch
delete from tblStockHistory where 1=1 and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: branch
delete from tblSales where 1=1 and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: branch
delete from tblSalesItem where InvID not in(Select INvID from tblSales) 
GO

-- Command1 (day purge)
-- on: branch
delete from tblActivity 
GO

-- Command1 (day purge)
-- on: central
delete from tblStockHistory where Vchdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: central
delete from tblSales where Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: central
delete from tblSalesItem where InvID not in(Select INvID from tblSales) 
GO

-- Command1 (day purge)
-- on: branch
delete from tblSTOCKJOURNAL where 1=1 and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: branch
delete from tblSTOCKJOURNALDETAIL where InvID not in(Select INvID from tblSTOCKJOURNAL) 
GO

-- Command1 (day purge)
-- on: central
delete from tblSTOCKJOURNAL where Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: central
delete from tblSTOCKJOURNALDETAIL where InvID not in(Select INvID from tblSTOCKJOURNAL) 
GO

-- Command1 (day purge)
-- on: branch
delete from tblJOBCARD where 1=1 and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: branch
delete from tblJOBCARDDETAIL where JOBCARDid not in(Select JOBCARDid from tblJOBCARD) 
GO

-- Command1 (day purge)
-- on: central
delete from tblJOBCARD where jOBCARDdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: central
delete from tblJOBCARDDETAIL where jOBCARDID not in(Select jOBCARDID from tblJOBCARD) 
GO

-- Command1 (day purge)
-- on: branch
delete from tbloRDER where 1=1 and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: branch
delete from tbloRDERitem where InvID not in(Select INvID from tbloRDER) 
GO

-- Command1 (day purge)
-- on: central
delete from tbloRDER where Invdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: central
delete from tbloRDERitem where InvID not in(Select INvID from tbloRDER) 
GO

-- Command1 (day purge)
-- on: branch
delete from TBLNOTES where 1=1 and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: central
delete from TBLVOUCHER where TRdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

-- Command1 (day purge)
-- on: central
delete from TBLNOTES where VCHdate= '06/Dec/2026'  and vchtypeID in (201,202,203,204,205,206,207)
GO

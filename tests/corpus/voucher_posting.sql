-- Voucher posting (PostVoucher): the two sides of one ledger line on the branch.
GO

-- PostVoucher: next transaction id
-- on: branch
-- expect-value: NULL
select max(trid)+1 as id from tblvoucher where trtype=''
GO

-- PostVoucher: next main id
-- on: branch
-- expect-value: NULL
select max(Mainid)+1 as id from tblvoucher 
GO

-- PostVoucher: first side
-- on: branch
-- expect-rows: 1
insert into  tblvoucher (MainID,TrID,TrType,VchTypeID,TrDate,DrLID,CrLID,Particulars,Narration,AmountD,AmountC,USerNarration,SortOrder,SalesManID,Optional,CCID,currencyID,Conversion,Reconciled)values(1,1,'',1005,'06/Dec/2026',17,0,'17','17',250,0,'OPENING SYNCH',0,1,0,2,1,1,0)
GO

-- PostVoucher: second side
-- on: branch
-- expect-rows: 1
insert into tblvoucher (MainID,TrID,TrType,VchTypeID,TrDate,DrLID,CrLID,Particulars,Narration,AmountD,AmountC,USerNarration,SortOrder,SalesManID,Optional,CCID,currencyID,Conversion,Reconciled) values(1,1,'',1005,'06/Dec/2026',0,17,'17','17',0,250,'OPENING SYNCH',0,1,0,2,1,1,1)
GO

-- check: the ledger's balance
-- on: branch
-- expect-value: 250
SELECT SUM(AmountD - AmountC) AS Amount FROM tblVoucher WHERE DrLID = 17
GO

-- PostVoucher: next ids after the line
-- on: branch
-- expect-value: 2
select max(trid)+1 as id from tblvoucher where trtype=''
GO

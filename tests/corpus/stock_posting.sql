-- Stock posting (PostStock) on the branch: numbering, batch lookup, stock row update or
-- insert, movement, rates, serial numbers, the delete mode and the item master rates.
GO

-- NextId of a stock row
-- on: branch
-- expect-value: NULL
Select max(StockID) + 1 as MAxid from tblStock
GO

-- NextId of a batch number
-- on: branch
-- expect-value: NULL
Select max(ABS(BatchID)) + 1 as MAxid from tblStock
GO

-- NextId with a filter
-- on: branch
-- expect-value: NULL
Select max(invid) + 1 as MAxid from tblStockJournal where VchTypeid=1005
GO

-- batch rows of a posting transaction, read once (day start, transfer import)
-- on: branch
-- expect-rows: 0
Select StockID, BatchID, BatchCode, BatchUnique, CCID from tblStock with (updlock, holdlock)
GO

-- batch code owned by another item
-- on: branch
-- expect-rows: 0
Select tblItemMaster.ItemID,ItemName,ItemCode from tblStock,tblItemMaster where tblStock.ItemID=tblItemMaster.ItemID and BatchCode='B00001' and tblItemMaster.Itemid<>1
GO

-- stock row update by item (no batches)
-- on: branch
-- expect-rows: 0
update tblstock set qty=qty,Weight=Weight+0,Prate=380  , Mrp = 450,Srate=420,Crate=380,PrateAU=0,SrateAU=0,CRateAU=0,MRPAU=0,PrateAU2=0,CRateAU2=0,SRateAU2=0,MRPAU2 =0  where CCID=2 and Itemid=1
GO

-- stock row update by batch code
-- on: branch
-- expect-rows: 0
update tblstock set GodownID=1 ,Itemid=1,SupplierID=9, Expiry='06/Dec/2026', Prate=380  , Mrp = 450, Srate=420 ,Crate=380,PrateAU=0,SrateAU=0,CRateAU=0,MRPAU=0,PrateAU2=0,SrateAU2=0,CRateAU2=0,MRPAU2=0  where Rtrim(Ltrim(BatchCode)) = 'B00001'  And CCid = 2
GO

-- stock row update by batch key (several rates per batch)
-- on: branch
-- expect-rows: 0
update tblstock set GodownID=1 ,Itemid=1,SupplierID=9, Expiry='06/Dec/2026', Prate=380  , Mrp = 450, Srate=420 ,Crate=380,PrateAU=0,SrateAU=0,CRateAU=0,MRPAU=0,PrateAU2=0,SrateAU2=0,CRateAU2=0,MRPAU2=0  where Rtrim(Ltrim(BatchUnique)) = 'A1@12.50'  And CCid = 2
GO

-- new stock row
-- on: branch
-- expect-rows: 1
insert into tblStock (StockId, ItemID,BAtch,Expiry,  Qty,QtyAu,QtyAu2,pRate,SRate,Mrp,BatchCode,batchID,CCID,Weight,CRate,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,SupplierID,GodownID,BatchUnique) values ( 1,1,'1','06/Dec/2026',27,0,0,380,420,450,'B00001',-1,2,0,380,0,0,0,0,0,0,0,0,9,1,'B00001')
GO

-- valuation rate of the new row
-- on: branch
-- expect-rows: 1
 Update tblStock set Vrate='5'  where StockID=1
GO

-- stock row update by batch code, now found
-- on: branch
-- expect-rows: 1
update tblstock set GodownID=1 ,Itemid=1,SupplierID=9, Expiry='06/Dec/2026', Prate=380  , Mrp = 450, Srate=420 ,Crate=380,PrateAU=0,SrateAU=0,CRateAU=0,MRPAU=0,PrateAU2=0,SrateAU2=0,CRateAU2=0,MRPAU2=0  where Rtrim(Ltrim(BatchCode)) = 'B00001'  And CCid = 2
GO

-- stock row update by batch code, confined to the rows the posting transaction's book names
-- on: branch
-- expect-rows: 1
update tblstock set GodownID=1 ,Itemid=1,SupplierID=9, Expiry='06/Dec/2026', Prate=380  , Mrp = 450, Srate=420 ,Crate=380,PrateAU=0,SrateAU=0,CRateAU=0,MRPAU=0,PrateAU2=0,SrateAU2=0,CRateAU2=0,MRPAU2=0  where StockID in (1) and Rtrim(Ltrim(BatchCode)) = 'b00001 '  And CCid = 2
GO

-- stock row update by batch key, confined to the book's rows (several rates per batch)
-- on: branch
-- expect-rows: 0
update tblstock set GodownID=1 ,Itemid=1,SupplierID=9, Expiry='06/Dec/2026', Prate=380  , Mrp = 450, Srate=420 ,Crate=380,PrateAU=0,SrateAU=0,CRateAU=0,MRPAU=0,PrateAU2=0,SrateAU2=0,CRateAU2=0,MRPAU2=0  where StockID in (1,7) and Rtrim(Ltrim(BatchUnique)) = 'A1@12.50'  And CCid = 2
GO

-- same batch number twice in a cost centre
-- on: branch
-- expect-error: CIDX_tblStock
insert into tblStock (StockId, ItemID,BAtch,Expiry,  Qty,QtyAu,QtyAu2,pRate,SRate,Mrp,BatchCode,batchID,CCID,Weight,CRate,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,SupplierID,GodownID,BatchUnique) values ( 2,1,'2','06/Dec/2026',5,0,0,380,420,450,'B00002',-1,2,0,380,0,0,0,0,0,0,0,0,9,1,'B00002')
GO

-- a new stock row with a quote in its batch code
-- on: branch
-- expect-rows: 1
insert into tblStock (StockId, ItemID,BAtch,Expiry,  Qty,QtyAu,QtyAu2,pRate,SRate,Mrp,BatchCode,batchID,CCID,Weight,CRate,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,SupplierID,GodownID,BatchUnique) values ( 2,1,'2','06/Dec/2026',5,0,0,380,420,450,'LOT''5',-2,2,0,380,0,0,0,0,0,0,0,0,9,1,'LOT''5')
GO

-- same batch code and number in another cost centre
-- on: branch
-- expect-error: IX_tblStock_BatchCode_mainIndex
insert into tblStock (StockId, ItemID,BAtch,Expiry,  Qty,QtyAu,QtyAu2,pRate,SRate,Mrp,BatchCode,batchID,CCID,Weight,CRate,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,SupplierID,GodownID,BatchUnique) values ( 3,1,'3','06/Dec/2026',5,0,0,380,420,450,'LOT''5',-2,3,0,380,0,0,0,0,0,0,0,0,9,1,'LOT''5')
GO

-- same batch key twice in a cost centre
-- on: branch
-- expect-error: UNIQUE KEY
insert into tblStock (StockId, ItemID,BAtch,Expiry,  Qty,QtyAu,QtyAu2,pRate,SRate,Mrp,BatchCode,batchID,CCID,Weight,CRate,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,SupplierID,GodownID,BatchUnique) values ( 4,1,'4','06/Dec/2026',5,0,0,380,420,450,'LOT''5',-3,2,0,380,0,0,0,0,0,0,0,0,9,1,'LOT''5')
GO

-- check: the batch code was stored with its quote
-- on: branch
-- expect-value: 1
SELECT COUNT(*) AS Nos FROM tblStock WHERE BatchCode = 'LOT''5'
GO

-- stock row update by batch code with a quote
-- on: branch
-- expect-rows: 1
update tblstock set GodownID=1 ,Itemid=1,SupplierID=9, Expiry='06/Dec/2026', Prate=380  , Mrp = 450, Srate=420 ,Crate=380,PrateAU=0,SrateAU=0,CRateAU=0,MRPAU=0,PrateAU2=0,SrateAU2=0,CRateAU2=0,MRPAU2=0  where Rtrim(Ltrim(BatchCode)) = 'LOT''5'  And CCid = 2
GO

-- movement in
-- on: branch
-- expect-rows: 1
insert into tblstockHistory(StockHisId,VchDate,  VchTypeID ,RefId   ,AdnlRefID   ,ItemID  ,QtyIN,QtyINAU,QtyINAU2,   QtyOut,QtyOutAU,QtyOutAU2,BAtch,expiry  ,PvalueIN    ,PvalueOut   ,SValueIN    ,SValueOut,MrpValueIN,MrpValueOut,FreeQtyIn,FreeQtyOut,BatchCode,CCID,WeightIn,WeightOut,Prate,Srate,CRate,MRP,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,SHSupplierID,GodownID,BatchUnique) values( 0,'06/Dec/2026','1005',1,'',1,27,0,0,0,0,0,'B00001','06/Dec/2026',10260,0,11340,0,12150,0,0,0,'B00001',2,0,0,380,420,380,450,0,0,0,0,0,0,0,0,9,1,'B00001')
GO

-- movement out
-- on: branch
-- expect-rows: 1
insert into tblstockHistory(StockHisId,VchDate,  VchTypeID ,RefId   ,AdnlRefID   ,ItemID  ,QtyIN,QtyINAU,QtyINAU2,   QtyOut,QtyOutAU,QtyOutAU2,BAtch,expiry  ,PvalueIN    ,PvalueOut   ,SValueIN    ,SValueOut,MrpValueIN,MrpValueOut,FreeQtyIn,FreeQtyOut,BatchCode,CCID,WeightIn,WeightOut,Prate,Srate,CRate,MRP,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,SHSupplierID,GodownID,BatchUnique) values( 0,'06/Dec/2026','1005',1,'',5,0,0,0,3,0,0,'LOT''5','06/Dec/2026',0,54,0,72,0,75,0,0,'LOT''5',2,0,0,18,24,18,25,0,0,0,0,0,0,0,0,9,1,'LOT''5')
GO

-- check: the movements of the voucher
-- on: branch
-- expect-value: 24
SELECT SUM(QtyIN - QtyOut) AS Qty FROM tblStockHistory WHERE VchTypeID = 1005 AND RefId = 1
GO

-- purchase rate of a stock-in line
-- on: branch
-- expect-rows: 1
 insert into tblItemRates(ItemID,Vchdate,VchTypeID,RefID,Qty,Prate,Crate,SRate,MRP,CCID) values (1,'06/Dec/2026','1005',1,27,5,380,420,450,2)
GO

-- serial number of the line
-- on: branch
-- expect-rows: 1
insert into tblStockHistorySerialNo(StkHisID,VchTypeID,RefId,SerialNo,QtyIN,QtyOut,ItemID,CCID) values(0,'1005',1,'SN-0001',1,0,1,2)
GO

-- serial number of the line
-- on: branch
-- expect-rows: 1
insert into tblStockHistorySerialNo(StkHisID,VchTypeID,RefId,SerialNo,QtyIN,QtyOut,ItemID,CCID) values(0,'1005',1,'SN-0002',1,0,1,2)
GO

-- delete mode: serial numbers
-- on: branch
-- expect-rows: 2
delete from tblstockHistorySerialNo where  vchtypeid=1005 and refid=1
GO

-- delete mode: movements with an additional reference
-- on: branch
-- expect-rows: 0
delete from tblstockHistory where  vchtypeid=1005 and refid=1and adnlrefID='7'
GO

-- delete mode: movements
-- on: branch
-- expect-rows: 2
delete from tblstockHistory where  vchtypeid=1005 and refid=1
GO

-- delete mode: purchase rates
-- on: branch
-- expect-rows: 1
delete from tblItemRates  where  vchtypeID=1005 and refid=1
GO

-- item master rates
-- on: branch
-- expect-rows: 1
UPDATE TBLITEMMASTER SET ItemCRate = 380, PRate=380,Srate=420,MRP=450,PrateAU=0,SrateAU=0,MRPAU=0,PrateAU2=0,SrateAU2=0,MRPAU2=0 where itemid=1
GO

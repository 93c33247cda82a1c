-- Head office's own vouchers in the central company database: a stock transfer to Branch One, a purchase
-- received at Branch One and the opening ledger balances of head office and Branch One. The opening stock
-- (stock rows, journals and history) follows from the testbed program. One statement per batch.
INSERT INTO [dbo].[tblStockJournal] (VchID, InvId, InvNo, RefNO, AutoNum, SortNumber, InvDate, VchType, MOP, LedgerId, Party, Discount, TaxType, TaxAmt, GrossAmt, BillAmt, ComputerName, UsConversion, UserNarration, SalesManID, Cancelled, CCID, currencyid, VchTypeid, UserName, CustomField1, UserID, DestCCID, NetAmount, ProfileID, BlnWaitForAuthorisation, BillTime, LockMode) VALUES (3, 3, 'ST-0003', '', 0, 3, '05/Dec/2026', 'Stock Transfer', 'Cash', 100, 'Branch One', 0, '<None>', 0, 5780, 5780, 'HOPC01', 1, 'Weekly replenishment', 1, 0, 1, 1, 16, 'admin', '', 1, 2, 5780, 0, 0, '11:30:00 AM', 0)
GO
INSERT INTO [dbo].[tblStockJournalDetail] (slno, InvID, ItemId, QtyIn, QtyOut, PRate, Crate, Srate, MRP, UnitId, Batch, Amount, Conversion, RateInclusive, BatchCode, Expiry, AlterUnitConversion, AlterUnitConversion2, CCID, SupplierID, GodownID, BatchUnique) VALUES (1, 3, 1, 0, 10, 380, 380, 420, 450, 1, 'B00001', 3800, 1, '0', 'B00001', '31/Dec/2027', 12, 1, 1, 9, 1, 'B00001')
GO
INSERT INTO [dbo].[tblStockJournalDetail] (slno, InvID, ItemId, QtyIn, QtyOut, PRate, Crate, Srate, MRP, UnitId, Batch, Amount, Conversion, RateInclusive, BatchCode, Expiry, AlterUnitConversion, AlterUnitConversion2, CCID, SupplierID, GodownID, BatchUnique) VALUES (2, 3, 2, 0, 6, 140, 140, 155, 165, 1, 'B00002', 840, 1, '0', 'B00002', '31/Dec/2027', 12, 1, 1, 9, 1, 'B00002')
GO
INSERT INTO [dbo].[tblStockJournalDetail] (slno, InvID, ItemId, QtyIn, QtyOut, PRate, Crate, Srate, MRP, UnitId, Batch, Amount, Conversion, RateInclusive, BatchCode, Expiry, AlterUnitConversion, AlterUnitConversion2, CCID, SupplierID, GodownID, BatchUnique) VALUES (3, 3, 3, 0, 12, 95, 95, 110, 120, 1, 'B00003', 1140, 1, '0', 'B00003', '31/Dec/2027', 12, 1, 1, 9, 1, 'B00003')
GO
INSERT INTO [dbo].[tblStockHistory] (StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, QtyINAU2, QtyOut, QtyOutAU, QtyOutAU2, BAtch, expiry, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, MrpValueOut, FreeQtyIn, FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, SHSupplierID, GodownID, BatchUnique) VALUES (0, '05/Dec/2026', 16, 3, '', 1, 0, 0, 0, 10, 0, 0, 'B00001', '31/Dec/2027', 0, 3800, 0, 4200, 0, 4500, 0, 0, 'B00001', 1, 0, 0, 380, 420, 380, 450, 9, 1, 'B00001')
GO
INSERT INTO [dbo].[tblStockHistory] (StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, QtyINAU2, QtyOut, QtyOutAU, QtyOutAU2, BAtch, expiry, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, MrpValueOut, FreeQtyIn, FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, SHSupplierID, GodownID, BatchUnique) VALUES (0, '05/Dec/2026', 16, 3, '', 1, 10, 0, 0, 0, 0, 0, 'B00001', '31/Dec/2027', 3800, 0, 4200, 0, 4500, 0, 0, 0, 'B00001', 2, 0, 0, 380, 420, 380, 450, 9, 1, 'B00001')
GO
INSERT INTO [dbo].[tblStockHistory] (StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, QtyINAU2, QtyOut, QtyOutAU, QtyOutAU2, BAtch, expiry, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, MrpValueOut, FreeQtyIn, FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, SHSupplierID, GodownID, BatchUnique) VALUES (0, '05/Dec/2026', 16, 3, '', 2, 0, 0, 0, 6, 0, 0, 'B00002', '31/Dec/2027', 0, 840, 0, 930, 0, 990, 0, 0, 'B00002', 1, 0, 0, 140, 155, 140, 165, 9, 1, 'B00002')
GO
INSERT INTO [dbo].[tblStockHistory] (StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, QtyINAU2, QtyOut, QtyOutAU, QtyOutAU2, BAtch, expiry, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, MrpValueOut, FreeQtyIn, FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, SHSupplierID, GodownID, BatchUnique) VALUES (0, '05/Dec/2026', 16, 3, '', 2, 6, 0, 0, 0, 0, 0, 'B00002', '31/Dec/2027', 840, 0, 930, 0, 990, 0, 0, 0, 'B00002', 2, 0, 0, 140, 155, 140, 165, 9, 1, 'B00002')
GO
INSERT INTO [dbo].[tblStockHistory] (StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, QtyINAU2, QtyOut, QtyOutAU, QtyOutAU2, BAtch, expiry, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, MrpValueOut, FreeQtyIn, FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, SHSupplierID, GodownID, BatchUnique) VALUES (0, '05/Dec/2026', 16, 3, '', 3, 0, 0, 0, 12, 0, 0, 'B00003', '31/Dec/2027', 0, 1140, 0, 1320, 0, 1440, 0, 0, 'B00003', 1, 0, 0, 95, 110, 95, 120, 9, 1, 'B00003')
GO
INSERT INTO [dbo].[tblStockHistory] (StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, QtyINAU2, QtyOut, QtyOutAU, QtyOutAU2, BAtch, expiry, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, MrpValueOut, FreeQtyIn, FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, SHSupplierID, GodownID, BatchUnique) VALUES (0, '05/Dec/2026', 16, 3, '', 3, 12, 0, 0, 0, 0, 0, 'B00003', '31/Dec/2027', 1140, 0, 1320, 0, 1440, 0, 0, 0, 'B00003', 2, 0, 0, 95, 110, 95, 120, 9, 1, 'B00003')
GO
INSERT INTO [dbo].[tblPurchase] (InvID, InvNo, RefNo, InvDate, StockDate, BillTime, VchType, VchTypeID, LedgerID, Party, GrossAmt, TaxAmt, BillAmt, NetAmount, UserNarration, CCID, UserID, Cancelled, Customfield1, LockMode) VALUES (1, 'PB-0001', 'FF/2231', '05/Dec/2026', '05/Dec/2026', '10:45:00 AM', 'Purchase', 2, 9, 'Fresh Farms Supplies', 2400.0, 0, 2400.0, 2400.0, '', 2, 1, 0, '', 0)
GO
INSERT INTO [dbo].[tblPurchaseItem] (SlNo, InvID, ItemId, Qty, FreeQty, PRate, SRate, CRate, MRP, TaxPer, Amount, BatchCode, BatchUnique, Expiry, GodownID) VALUES (1, 1, 4, 24, 0, 62.5, 72, 62.5, 79.5, 5, 1500.0, 'B00004', 'B00004', '31/Dec/2027', 1)
GO
INSERT INTO [dbo].[tblStockHistory] (StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, QtyINAU2, QtyOut, QtyOutAU, QtyOutAU2, BAtch, expiry, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, MrpValueOut, FreeQtyIn, FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, SHSupplierID, GodownID, BatchUnique) VALUES (0, '05/Dec/2026', 2, 1, '', 4, 24, 0, 0, 0, 0, 0, 'B00004', '31/Dec/2027', 1500.0, 0.0, 1728, 0, 1908.0, 0.0, 0, 0, 'B00004', 2, 0, 0, 62.5, 72, 62.5, 79.5, 9, 1, 'B00004')
GO
INSERT INTO [dbo].[tblPurchaseItem] (SlNo, InvID, ItemId, Qty, FreeQty, PRate, SRate, CRate, MRP, TaxPer, Amount, BatchCode, BatchUnique, Expiry, GodownID) VALUES (2, 1, 5, 50, 0, 18, 24, 18, 25, 5, 900, 'LOT''5', 'LOT''5', '31/Dec/2027', 1)
GO
INSERT INTO [dbo].[tblStockHistory] (StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, QtyINAU2, QtyOut, QtyOutAU, QtyOutAU2, BAtch, expiry, PvalueIN, PvalueOut, SValueIN, SValueOut, MrpValueIN, MrpValueOut, FreeQtyIn, FreeQtyOut, BatchCode, CCID, WeightIn, WeightOut, Prate, Srate, CRate, MRP, SHSupplierID, GodownID, BatchUnique) VALUES (0, '05/Dec/2026', 2, 1, '', 5, 50, 0, 0, 0, 0, 0, 'LOT''5', '31/Dec/2027', 900, 0, 1200, 0, 1250, 0, 0, 0, 'LOT''5', 2, 0, 0, 18, 24, 18, 25, 9, 1, 'LOT''5')
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (1, 1, '', 1005, '01/Apr/2026', 1, 100, '1', 'Opening balance', 25000, 0, 'OPENING', 0, 1, 0, 1, 1, 1, 0)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (1, 1, '', 1005, '01/Apr/2026', 100, 1, '1', 'Opening balance', 0, 25000, 'OPENING', 0, 1, 0, 1, 1, 1, 1)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (2, 2, '', 1005, '01/Apr/2026', 2, 100, '2', 'Opening balance', 180000, 0, 'OPENING', 0, 1, 0, 1, 1, 1, 0)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (2, 2, '', 1005, '01/Apr/2026', 100, 2, '2', 'Opening balance', 0, 180000, 'OPENING', 0, 1, 0, 1, 1, 1, 1)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (3, 3, '', 1005, '01/Apr/2026', 100, 9, '9', 'Opening balance', 4200, 0, 'OPENING', 0, 1, 0, 1, 1, 1, 0)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (3, 3, '', 1005, '01/Apr/2026', 9, 100, '9', 'Opening balance', 0, 4200, 'OPENING', 0, 1, 0, 1, 1, 1, 1)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (4, 4, '', 1005, '01/Apr/2026', 1, 100, '1', 'Opening balance', 5000, 0, 'OPENING', 0, 1, 0, 2, 1, 1, 0)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (4, 4, '', 1005, '01/Apr/2026', 100, 1, '1', 'Opening balance', 0, 5000, 'OPENING', 0, 1, 0, 2, 1, 1, 1)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (5, 5, '', 1005, '01/Apr/2026', 2, 100, '2', 'Opening balance', 12000, 0, 'OPENING', 0, 1, 0, 2, 1, 1, 0)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (5, 5, '', 1005, '01/Apr/2026', 100, 2, '2', 'Opening balance', 0, 12000, 'OPENING', 0, 1, 0, 2, 1, 1, 1)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (6, 6, '', 1005, '01/Apr/2026', 7, 100, '7', 'Opening balance', 250, 0, 'OPENING', 0, 1, 0, 2, 1, 1, 0)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (6, 6, '', 1005, '01/Apr/2026', 100, 7, '7', 'Opening balance', 0, 250, 'OPENING', 0, 1, 0, 2, 1, 1, 1)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (7, 7, '', 1005, '01/Apr/2026', 100, 9, '9', 'Opening balance', 250, 0, 'OPENING', 0, 1, 0, 2, 1, 1, 0)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (7, 7, '', 1005, '01/Apr/2026', 9, 100, '9', 'Opening balance', 0, 250, 'OPENING', 0, 1, 0, 2, 1, 1, 1)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (8, 8, '', 1005, '01/Apr/2026', 6, 100, '6', 'Opening balance', 1500.75, 0, 'OPENING', 0, 1, 0, 2, 1, 1, 0)
GO
INSERT INTO [dbo].[tblVoucher] (MainID, TrID, TrType, VchTypeID, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, USerNarration, SortOrder, SalesManID, Optional, CCID, currencyID, Conversion, Reconciled) VALUES (8, 8, '', 1005, '01/Apr/2026', 100, 6, '6', 'Opening balance', 0, 1500.75, 'OPENING', 0, 1, 0, 2, 1, 1, 1)
GO

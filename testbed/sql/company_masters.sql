-- Fixed master data of the sample company, loaded into both company databases (the branch holds the
-- same masters as if migrated from head office). Generated items, ledgers, price lists and board rates
-- follow from the testbed program. One statement per batch.
INSERT INTO [dbo].[tblSettings] (SettingsID, CompanyName, Address, Phone, FinancialYearFrom, FinancialYearTo, DBVersion) VALUES (1, 'Halvex Demo Traders', '12 Market Road, Town Centre', '0484 200100', '01/Apr/2026', '31/Mar/2027', '3.6')
GO
INSERT INTO [dbo].[tblCostCentre] (CCID, CCName, CCCode, Address, Phone, ActiveStatus) VALUES (1, 'Head Office', 'HO', '12 Market Road', NULL, 1)
GO
INSERT INTO [dbo].[tblCostCentre] (CCID, CCName, CCCode, Address, Phone, ActiveStatus) VALUES (2, 'Branch One', 'BR1', '4 Harbour Street', NULL, 1)
GO
INSERT INTO [dbo].[tblCostCentre] (CCID, CCName, CCCode, Address, Phone, ActiveStatus) VALUES (3, 'Branch Two', 'BR2', 'North Zone Mall', NULL, 1)
GO
INSERT INTO [dbo].[tblArea] (AreaID, AreaName, AreaCode, ActiveStatus) VALUES (1, 'Town Centre', 'TC', 1)
GO
INSERT INTO [dbo].[tblArea] (AreaID, AreaName, AreaCode, ActiveStatus) VALUES (2, 'North Zone', 'NZ', 1)
GO
INSERT INTO [dbo].[tblArea] (AreaID, AreaName, AreaCode, ActiveStatus) VALUES (3, 'South Zone', 'SZ', 1)
GO
INSERT INTO [dbo].[tblArea] (AreaID, AreaName, AreaCode, ActiveStatus) VALUES (4, 'Harbour', 'HB', 1)
GO
INSERT INTO [dbo].[tblAccountGroup] (AccountGroupID, AccountGroup, GroupUnder, Nature, ActiveStatus) VALUES (1, 'Capital Account', 0, 'Liability', 1)
GO
INSERT INTO [dbo].[tblAccountGroup] (AccountGroupID, AccountGroup, GroupUnder, Nature, ActiveStatus) VALUES (2, 'Current Assets', 0, 'Asset', 1)
GO
INSERT INTO [dbo].[tblAccountGroup] (AccountGroupID, AccountGroup, GroupUnder, Nature, ActiveStatus) VALUES (3, 'Cash-in-hand', 2, 'Asset', 1)
GO
INSERT INTO [dbo].[tblAccountGroup] (AccountGroupID, AccountGroup, GroupUnder, Nature, ActiveStatus) VALUES (4, 'Bank Accounts', 2, 'Asset', 1)
GO
INSERT INTO [dbo].[tblAccountGroup] (AccountGroupID, AccountGroup, GroupUnder, Nature, ActiveStatus) VALUES (5, 'Sundry Debtors', 2, 'Asset', 1)
GO
INSERT INTO [dbo].[tblAccountGroup] (AccountGroupID, AccountGroup, GroupUnder, Nature, ActiveStatus) VALUES (6, 'Sundry Creditors', 0, 'Liability', 1)
GO
INSERT INTO [dbo].[tblAccountGroup] (AccountGroupID, AccountGroup, GroupUnder, Nature, ActiveStatus) VALUES (7, 'Sales Accounts', 0, 'Income', 1)
GO
INSERT INTO [dbo].[tblAccountGroup] (AccountGroupID, AccountGroup, GroupUnder, Nature, ActiveStatus) VALUES (8, 'Purchase Accounts', 0, 'Expense', 1)
GO
INSERT INTO [dbo].[tblAccountGroup] (AccountGroupID, AccountGroup, GroupUnder, Nature, ActiveStatus) VALUES (9, 'Direct Expenses', 0, 'Expense', 1)
GO
INSERT INTO [dbo].[tblAccountGroup] (AccountGroupID, AccountGroup, GroupUnder, Nature, ActiveStatus) VALUES (10, 'Indirect Expenses', 0, 'Expense', 1)
GO
INSERT INTO [dbo].[tblAccountGroup] (AccountGroupID, AccountGroup, GroupUnder, Nature, ActiveStatus) VALUES (11, 'Duties & Taxes', 0, 'Liability', 1)
GO
INSERT INTO [dbo].[tblLedger] (LID, LName, LAliasName, AccountGroupID, Address, Phone, AreaID, OpeningBalance, CreditLimit, TaxRegNo, CreatedDate, ActiveStatus) VALUES (1, 'Cash', 'CASH', 3, NULL, NULL, 1, 0, 0, NULL, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblLedger] (LID, LName, LAliasName, AccountGroupID, Address, Phone, AreaID, OpeningBalance, CreditLimit, TaxRegNo, CreatedDate, ActiveStatus) VALUES (2, 'Bank Account', 'BANK ACCOUNT', 4, NULL, NULL, 1, 0, 0, NULL, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblLedger] (LID, LName, LAliasName, AccountGroupID, Address, Phone, AreaID, OpeningBalance, CreditLimit, TaxRegNo, CreatedDate, ActiveStatus) VALUES (3, 'Sales Account', 'SALES ACCOUNT', 7, NULL, NULL, 1, 0, 0, NULL, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblLedger] (LID, LName, LAliasName, AccountGroupID, Address, Phone, AreaID, OpeningBalance, CreditLimit, TaxRegNo, CreatedDate, ActiveStatus) VALUES (4, 'Purchase Account', 'PURCHASE ACCOUNT', 8, NULL, NULL, 1, 0, 0, NULL, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblLedger] (LID, LName, LAliasName, AccountGroupID, Address, Phone, AreaID, OpeningBalance, CreditLimit, TaxRegNo, CreatedDate, ActiveStatus) VALUES (5, 'Output GST', 'OUTPUT GST', 11, NULL, NULL, 1, 0, 0, NULL, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblLedger] (LID, LName, LAliasName, AccountGroupID, Address, Phone, AreaID, OpeningBalance, CreditLimit, TaxRegNo, CreatedDate, ActiveStatus) VALUES (6, 'Shop Rent', 'SHOP RENT', 10, NULL, NULL, 1, 0, 0, NULL, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblLedger] (LID, LName, LAliasName, AccountGroupID, Address, Phone, AreaID, OpeningBalance, CreditLimit, TaxRegNo, CreatedDate, ActiveStatus) VALUES (7, 'O''Brien Traders', 'O''BRIEN TRADERS', 5, NULL, NULL, 4, 0, 0, NULL, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblLedger] (LID, LName, LAliasName, AccountGroupID, Address, Phone, AreaID, OpeningBalance, CreditLimit, TaxRegNo, CreatedDate, ActiveStatus) VALUES (8, 'Walk-in Customer', 'WALK-IN CUSTOMER', 5, NULL, NULL, 1, 0, 0, NULL, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblLedger] (LID, LName, LAliasName, AccountGroupID, Address, Phone, AreaID, OpeningBalance, CreditLimit, TaxRegNo, CreatedDate, ActiveStatus) VALUES (9, 'Fresh Farms Supplies', 'FRESH FARMS SUPPLIES', 6, NULL, NULL, 2, 0, 0, NULL, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblLedger] (LID, LName, LAliasName, AccountGroupID, Address, Phone, AreaID, OpeningBalance, CreditLimit, TaxRegNo, CreatedDate, ActiveStatus) VALUES (100, 'Opening Stock', 'OPENING STOCK', 1, NULL, NULL, 1, 0, 0, NULL, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblCategories] (CategoryID, Category, Description, ActiveStatus) VALUES (1, 'Groceries', 'Groceries items', 1)
GO
INSERT INTO [dbo].[tblCategories] (CategoryID, Category, Description, ActiveStatus) VALUES (2, 'Beverages', 'Beverages items', 1)
GO
INSERT INTO [dbo].[tblCategories] (CategoryID, Category, Description, ActiveStatus) VALUES (3, 'Household', 'Household items', 1)
GO
INSERT INTO [dbo].[tblCategories] (CategoryID, Category, Description, ActiveStatus) VALUES (4, 'Stationery', 'Stationery items', 1)
GO
INSERT INTO [dbo].[tblUnit] (UnitID, UnitName, UnitShortName, Decimals) VALUES (1, 'Numbers', 'NOS', 0)
GO
INSERT INTO [dbo].[tblUnit] (UnitID, UnitName, UnitShortName, Decimals) VALUES (2, 'Kilogram', 'KG', 3)
GO
INSERT INTO [dbo].[tblUnit] (UnitID, UnitName, UnitShortName, Decimals) VALUES (3, 'Litre', 'LTR', 3)
GO
INSERT INTO [dbo].[tblUnit] (UnitID, UnitName, UnitShortName, Decimals) VALUES (4, 'Box', 'BOX', 0)
GO
INSERT INTO [dbo].[tblTaxClass] (TaxClassID, TaxName, GSTPER, CSTPER, RateInclusive, PSTPer, RateInclusivePurchase, blnCessOnTax, PCSTPER, ExciseDutyPer, EDCessPer, EDCessPer2, PExciseDutyPer, PEDCessPer, PEDCessPer2, CompCessQty, ActiveStatus, GSTCESSPur, GSTCESSSALE, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, CessPer) VALUES (1, 'GST 0%', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0.0, 0.0, 0, 0)
GO
INSERT INTO [dbo].[tblTaxClass] (TaxClassID, TaxName, GSTPER, CSTPER, RateInclusive, PSTPer, RateInclusivePurchase, blnCessOnTax, PCSTPER, ExciseDutyPer, EDCessPer, EDCessPer2, PExciseDutyPer, PEDCessPer, PEDCessPer2, CompCessQty, ActiveStatus, GSTCESSPur, GSTCESSSALE, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, CessPer) VALUES (2, 'GST 5%', 5, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 2.5, 2.5, 5, 0)
GO
INSERT INTO [dbo].[tblTaxClass] (TaxClassID, TaxName, GSTPER, CSTPER, RateInclusive, PSTPer, RateInclusivePurchase, blnCessOnTax, PCSTPER, ExciseDutyPer, EDCessPer, EDCessPer2, PExciseDutyPer, PEDCessPer, PEDCessPer2, CompCessQty, ActiveStatus, GSTCESSPur, GSTCESSSALE, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, CessPer) VALUES (3, 'GST 12%', 12, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 6.0, 6.0, 12, 0)
GO
INSERT INTO [dbo].[tblTaxClass] (TaxClassID, TaxName, GSTPER, CSTPER, RateInclusive, PSTPer, RateInclusivePurchase, blnCessOnTax, PCSTPER, ExciseDutyPer, EDCessPer, EDCessPer2, PExciseDutyPer, PEDCessPer, PEDCessPer2, CompCessQty, ActiveStatus, GSTCESSPur, GSTCESSSALE, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, CessPer) VALUES (4, 'GST 18%', 18, 0, 0, 18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 9.0, 9.0, 18, 0)
GO
INSERT INTO [dbo].[tblHSNCODE] (HSNID, HSNCODE, HSNDECRIPTION, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, TaxClassID, TaxClassID1, TaxClassID2, TaxClassID3, TaxClassID4, blnSlabSystem, slabtaxString, HSNCODEUnique) VALUES (1, '1006', 'Rice', 2.5, 2.5, 5, 2, 0, 0, 0, 0, 0, '', '1006')
GO
INSERT INTO [dbo].[tblHSNCODE] (HSNID, HSNCODE, HSNDECRIPTION, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, TaxClassID, TaxClassID1, TaxClassID2, TaxClassID3, TaxClassID4, blnSlabSystem, slabtaxString, HSNCODEUnique) VALUES (2, '1512', 'Edible oils', 2.5, 2.5, 5, 2, 0, 0, 0, 0, 0, '', '1512')
GO
INSERT INTO [dbo].[tblHSNCODE] (HSNID, HSNCODE, HSNDECRIPTION, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, TaxClassID, TaxClassID1, TaxClassID2, TaxClassID3, TaxClassID4, blnSlabSystem, slabtaxString, HSNCODEUnique) VALUES (3, '0902', 'Tea', 2.5, 2.5, 5, 2, 0, 0, 0, 0, 0, '', '0902')
GO
INSERT INTO [dbo].[tblHSNCODE] (HSNID, HSNCODE, HSNDECRIPTION, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, TaxClassID, TaxClassID1, TaxClassID2, TaxClassID3, TaxClassID4, blnSlabSystem, slabtaxString, HSNCODEUnique) VALUES (4, '3402', 'Washing preparations', 9.0, 9.0, 18, 4, 0, 0, 0, 0, 0, '', '3402')
GO
INSERT INTO [dbo].[tblHSNCODE] (HSNID, HSNCODE, HSNDECRIPTION, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, TaxClassID, TaxClassID1, TaxClassID2, TaxClassID3, TaxClassID4, blnSlabSystem, slabtaxString, HSNCODEUnique) VALUES (5, '4820', 'Registers and notebooks', 6.0, 6.0, 12, 3, 0, 0, 0, 0, 0, '', '4820')
GO
INSERT INTO [dbo].[tblItemMaster] (ItemID, ItemCode, ItemName, Description, CategoryID, ProductTypeID, ProductType, Unit, UnitID, AlterUnit, AlterUnit2, AlterUnitConversion, AlterUnitConversion2, TaxClassID, HSNID, Rack, Manufacturer, BlnExpiryItem, ItemCRate, PRate, Srate, MRP, PrateAU, SrateAU, MRPAU, PrateAU2, SrateAU2, MRPAU2, MinQty, MaxQty, CreatedDate, ActiveStatus) VALUES (1, 'IT0001', 'Basmati Rice 5kg', 'Basmati Rice 5kg', 1, 1, 'Goods', 'KG', 2, 'BOX', '', 12, 1, 2, 1, 'R1', 'Golden Harvest', 0, 380, 380, 420, 450, 4560, 5040, 5400, 0, 0, 0, 5, 500, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblItemMaster] (ItemID, ItemCode, ItemName, Description, CategoryID, ProductTypeID, ProductType, Unit, UnitID, AlterUnit, AlterUnit2, AlterUnitConversion, AlterUnitConversion2, TaxClassID, HSNID, Rack, Manufacturer, BlnExpiryItem, ItemCRate, PRate, Srate, MRP, PrateAU, SrateAU, MRPAU, PrateAU2, SrateAU2, MRPAU2, MinQty, MaxQty, CreatedDate, ActiveStatus) VALUES (2, 'IT0002', 'Sunflower Oil 1L', 'Sunflower Oil 1L', 1, 1, 'Goods', 'LTR', 3, 'BOX', '', 12, 1, 2, 2, 'R2', 'Sunny Mills', 0, 140, 140, 155, 165, 1680, 1860, 1980, 0, 0, 0, 5, 500, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblItemMaster] (ItemID, ItemCode, ItemName, Description, CategoryID, ProductTypeID, ProductType, Unit, UnitID, AlterUnit, AlterUnit2, AlterUnitConversion, AlterUnitConversion2, TaxClassID, HSNID, Rack, Manufacturer, BlnExpiryItem, ItemCRate, PRate, Srate, MRP, PrateAU, SrateAU, MRPAU, PrateAU2, SrateAU2, MRPAU2, MinQty, MaxQty, CreatedDate, ActiveStatus) VALUES (3, 'IT0003', 'Green Tea 100g', 'Green Tea 100g', 2, 1, 'Goods', 'NOS', 1, 'BOX', '', 12, 1, 2, 3, 'R3', 'Hill Estates', 1, 95, 95, 110, 120, 1140, 1320, 1440, 0, 0, 0, 5, 500, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblItemMaster] (ItemID, ItemCode, ItemName, Description, CategoryID, ProductTypeID, ProductType, Unit, UnitID, AlterUnit, AlterUnit2, AlterUnitConversion, AlterUnitConversion2, TaxClassID, HSNID, Rack, Manufacturer, BlnExpiryItem, ItemCRate, PRate, Srate, MRP, PrateAU, SrateAU, MRPAU, PrateAU2, SrateAU2, MRPAU2, MinQty, MaxQty, CreatedDate, ActiveStatus) VALUES (4, 'IT0004', 'Dish Soap 500ml', 'Dish Soap 500ml', 3, 1, 'Goods', 'NOS', 1, 'BOX', '', 12, 1, 4, 4, 'R4', 'CleanCo', 0, 62.5, 62.5, 72, 79.5, 750.0, 864, 954.0, 0, 0, 0, 5, 500, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblItemMaster] (ItemID, ItemCode, ItemName, Description, CategoryID, ProductTypeID, ProductType, Unit, UnitID, AlterUnit, AlterUnit2, AlterUnitConversion, AlterUnitConversion2, TaxClassID, HSNID, Rack, Manufacturer, BlnExpiryItem, ItemCRate, PRate, Srate, MRP, PrateAU, SrateAU, MRPAU, PrateAU2, SrateAU2, MRPAU2, MinQty, MaxQty, CreatedDate, ActiveStatus) VALUES (5, 'IT0005', 'Kid''s Notebook A5', 'Kid''s Notebook A5', 4, 1, 'Goods', 'NOS', 1, 'BOX', '', 12, 1, 3, 5, 'R5', 'PaperWorks', 0, 18, 18, 24, 25, 216, 288, 300, 0, 0, 0, 5, 500, '01/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblEmployee] (EmpID, EmpName, EmpCode, Designation, Phone, JoinDate, Salary, ActiveStatus) VALUES (1, 'Anil Kumar', 'E001', 'Salesman', NULL, '01/Jun/2024', 15000, 1)
GO
INSERT INTO [dbo].[tblEmployee] (EmpID, EmpName, EmpCode, Designation, Phone, JoinDate, Salary, ActiveStatus) VALUES (2, 'Beena Thomas', 'E002', 'Cashier', NULL, '01/Jun/2024', 14000, 1)
GO
INSERT INTO [dbo].[tblEmployee] (EmpID, EmpName, EmpCode, Designation, Phone, JoinDate, Salary, ActiveStatus) VALUES (3, 'Chris D''Souza', 'E003', 'Technician', NULL, '01/Jun/2024', 16500, 1)
GO
INSERT INTO [dbo].[tblUserGroupMaster] (GroupName, Accesslevel, ActiveStatus) VALUES ('Administrators', '11111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111111', 1)
GO
INSERT INTO [dbo].[tblUserGroupMaster] (GroupName, Accesslevel, ActiveStatus) VALUES ('Billing', '11111111111111111111111111111111111111110000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000', 1)
GO
INSERT INTO [dbo].[tblUserMaster] (UserID, UserName, Password, UserGroupID, EmpID, ActiveStatus) VALUES (1, 'admin', 'admin', 1, 0, 1)
GO
INSERT INTO [dbo].[tblUserMaster] (UserID, UserName, Password, UserGroupID, EmpID, ActiveStatus) VALUES (2, 'cashier', 'cash123', 2, 2, 1)
GO
INSERT INTO [dbo].[tblGodown] (GodownName, GodownCode) VALUES ('Main Store', 'MS')
GO
INSERT INTO [dbo].[tblGodown] (GodownName, GodownCode) VALUES ('Back Store', 'BS')
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (1, 'Sales', 1, 'SL', 'SL', '1', 0, 1, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (2, 'Purchase', 2, 'PU', 'PU', '1', 0, 2, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (3, 'Sales Return', 3, 'SR', 'SR', '1', 0, 3, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (5, 'Stock Journal', 5, 'SJ', 'SJ', '1', 0, 4, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (6, 'Physical Stock', 6, 'PS', 'PS', '1', 0, 5, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (7, 'Receipt', 7, 'RC', 'RC', '1', 0, 6, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (8, 'Payment', 8, 'PY', 'PY', '1', 0, 7, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (9, 'Journal', 9, 'JV', 'JV', '1', 0, 8, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (10, 'Contra', 10, 'CT', 'CT', '1', 0, 9, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (14, 'Sales Order', 14, 'SO', 'SO', '1', 0, 10, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (16, 'Stock Transfer', 16, 'ST', 'ST', '1', 0, 11, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (18, 'Job Card', 18, 'JC', 'JC', '1', 0, 12, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (41, 'Damage Stock', 41, 'DS', 'DS', '1', 0, 13, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (42, 'Credit Note', 42, 'CN', 'CN', '1', 0, 14, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (43, 'Debit Note', 43, 'DN', 'DN', '1', 0, 15, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (44, 'Delivery Note', 44, 'DL', 'DL', '1', 0, 16, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (45, 'Quotation', 45, 'QT', 'QT', '1', 0, 17, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (1005, 'Opening Stock', 1005, 'OP', 'OP', '1', 0, 18, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (201, 'Sales BR1', 1, 'S1', 'S1', '2', 1, 100, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (202, 'Receipt BR1', 7, 'R1', 'R1', '2', 1, 101, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (203, 'Payment BR1', 8, 'P1', 'P1', '2', 1, 102, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (204, 'Stock Journal BR1', 5, 'J1', 'J1', '2', 1, 103, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (205, 'Sales Order BR1', 14, 'O1', 'O1', '2', 1, 104, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (206, 'Job Card BR1', 18, 'C1', 'C1', '2', 1, 105, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (207, 'Sales Return BR1', 3, 'T1', 'T1', '2', 1, 106, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (208, 'Quotation BR1', 45, 'Q1', 'Q1', '2', 0, 107, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (301, 'Sales BR2', 1, 'S2', 'S2', '3', 1, 200, 1)
GO
INSERT INTO [dbo].[tblVchType] (VchTypeID, VchType, ParentID, ShortName, Prefix, PrimaryCCIDS, BLNUseForClientSync, SortOrder, ActiveStatus) VALUES (302, 'Receipt BR2', 7, 'R2', 'R2', '3', 1, 201, 1)
GO
INSERT INTO [dbo].[tblCustomerProfile] (ProfileID, ProfileName, LID, Phone, Email, BirthDate, ActiveStatus) VALUES (1, 'O''Brien Traders', 7, '98470 11111', 'obrien@example.com', NULL, 1)
GO
INSERT INTO [dbo].[tblCustomerProfile] (ProfileID, ProfileName, LID, Phone, Email, BirthDate, ActiveStatus) VALUES (2, 'Walk-in Customer', 8, NULL, NULL, NULL, 1)
GO
INSERT INTO [dbo].[tblCustomerCard] (CustomerCardID, CardNo, ProfileID, Points, IssueDate, ActiveStatus) VALUES (1, 'CARD-0001', 1, 120.5, '15/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblCustomerCard] (CustomerCardID, CardNo, ProfileID, Points, IssueDate, ActiveStatus) VALUES (2, 'CARD-0002', 2, 0, '15/Apr/2026', 1)
GO
INSERT INTO [dbo].[tblCurrency] (CurrencyID, CurrencyName, Symbol, MinorCurrency, DecimalPlaces) VALUES (1, 'Rupee', 'Rs', 'Paise', 2)
GO
INSERT INTO [dbo].[tblCurrency] (CurrencyID, CurrencyName, Symbol, MinorCurrency, DecimalPlaces) VALUES (2, 'US Dollar', '$', 'Cent', 2)
GO
INSERT INTO [dbo].[tblCurrencyDetail] (CurrencyDetailID, CurrencyID, ConversionRate, EffectiveDate) VALUES (1, 1, 1, '01/Apr/2026')
GO
INSERT INTO [dbo].[tblCurrencyDetail] (CurrencyDetailID, CurrencyID, ConversionRate, EffectiveDate) VALUES (2, 2, 83.25, '01/Apr/2026')
GO
INSERT INTO [dbo].[tblAttendance] (AttendanceID, EmpID, AttDate, InTime, OutTime, Status) VALUES (1, 1, '01/Dec/2026', '01/Dec/2026 09:02:00', '01/Dec/2026 18:05:00', 'Present')
GO
INSERT INTO [dbo].[tblAttendance] (AttendanceID, EmpID, AttDate, InTime, OutTime, Status) VALUES (2, 2, '01/Dec/2026', NULL, NULL, 'Leave')
GO

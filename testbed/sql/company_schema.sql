-- The ERP's company database: every table the synchroniser reads or writes, as the ERP creates it.
-- Branch and central company databases share this schema. The synchroniser's own objects (change log,
-- day rows, upload columns, triggers) are added later by its "Update Database" run, not here.
-- One statement per batch.

-- Company-wide details; the synchroniser reads the central server's clock through it.
CREATE TABLE [dbo].[tblSettings] (
  [SettingsID] [numeric](18, 0) NOT NULL,
  [CompanyName] [varchar](100) NULL,
  [Address] [varchar](500) NULL,
  [Phone] [varchar](50) NULL,
  [FinancialYearFrom] [datetime] NULL,
  [FinancialYearTo] [datetime] NULL,
  [DBVersion] [varchar](20) NULL,
  CONSTRAINT [PK_tblSettings] PRIMARY KEY CLUSTERED ([SettingsID] ASC)
)
GO

-- The ERP's key/value switches.
CREATE TABLE [dbo].[tblAppSettings] (
  [KeyName] [varchar](100) NOT NULL,
  [ValueName] [varchar](1000) NULL,
  CONSTRAINT [PK_tblAppSettings] PRIMARY KEY CLUSTERED ([KeyName] ASC)
)
GO

CREATE TABLE [dbo].[tblCostCentre] (
  [CCID] [numeric](18, 0) NOT NULL,
  [CCName] [varchar](100) NULL,
  [CCCode] [varchar](20) NULL,
  [Address] [varchar](500) NULL,
  [Phone] [varchar](50) NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblCostCentre] PRIMARY KEY CLUSTERED ([CCID] ASC)
)
GO

CREATE TABLE [dbo].[tblArea] (
  [AreaID] [numeric](18, 0) NOT NULL,
  [AreaName] [varchar](100) NULL,
  [AreaCode] [varchar](20) NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblArea] PRIMARY KEY CLUSTERED ([AreaID] ASC)
)
GO

CREATE TABLE [dbo].[tblAccountGroup] (
  [AccountGroupID] [numeric](18, 0) NOT NULL,
  [AccountGroup] [varchar](100) NULL,
  [GroupUnder] [numeric](18, 0) NULL,
  [Nature] [varchar](20) NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblAccountGroup] PRIMARY KEY CLUSTERED ([AccountGroupID] ASC)
)
GO

CREATE TABLE [dbo].[tblLedger] (
  [LID] [numeric](18, 0) NOT NULL,
  [LName] [varchar](200) NULL,
  [LAliasName] [varchar](200) NULL,
  [AccountGroupID] [numeric](18, 0) NULL,
  [Address] [varchar](500) NULL,
  [Phone] [varchar](50) NULL,
  [AreaID] [numeric](18, 0) NULL,
  [OpeningBalance] [numeric](18, 2) NULL,
  [CreditLimit] [numeric](18, 2) NULL,
  [TaxRegNo] [varchar](50) NULL,
  [CreatedDate] [datetime] NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblLedger] PRIMARY KEY CLUSTERED ([LID] ASC)
)
GO

CREATE TABLE [dbo].[tblCategories] (
  [CategoryID] [numeric](18, 0) NOT NULL,
  [Category] [varchar](100) NULL,
  [Description] [varchar](200) NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblCategories] PRIMARY KEY CLUSTERED ([CategoryID] ASC)
)
GO

CREATE TABLE [dbo].[tblUnit] (
  [UnitID] [numeric](18, 0) NOT NULL,
  [UnitName] [varchar](50) NULL,
  [UnitShortName] [varchar](10) NULL,
  [Decimals] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblUnit] PRIMARY KEY CLUSTERED ([UnitID] ASC)
)
GO

CREATE TABLE [dbo].[tblTaxClass] (
  [TaxClassID] [numeric](18, 0) NOT NULL,
  [TaxName] [varchar](50) NULL,
  [GSTPER] [float] NULL,
  [CSTPER] [float] NULL,
  [RateInclusive] [numeric](18, 0) NULL,
  [PSTPer] [float] NULL,
  [RateInclusivePurchase] [numeric](18, 0) NULL,
  [blnCessOnTax] [numeric](18, 0) NULL,
  [PCSTPER] [float] NULL,
  [ExciseDutyPer] [float] NULL,
  [EDCessPer] [float] NULL,
  [EDCessPer2] [float] NULL,
  [PExciseDutyPer] [float] NULL,
  [PEDCessPer] [float] NULL,
  [PEDCessPer2] [float] NULL,
  [CompCessQty] [float] NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  [GSTCESSPur] [float] NULL,
  [GSTCESSSALE] [float] NULL,
  [CGSTTaxPer] [float] NULL,
  [SGSTTaxPer] [float] NULL,
  [IGSTTaxPer] [float] NULL,
  [CessPer] [float] NULL,
  CONSTRAINT [PK_tblTaxClass] PRIMARY KEY CLUSTERED ([TaxClassID] ASC)
)
GO

CREATE TABLE [dbo].[tblHSNCODE] (
  [HSNID] [numeric](18, 0) NOT NULL,
  [HSNCODE] [varchar](50) NULL,
  [HSNDECRIPTION] [varchar](200) NULL,
  [CGSTTaxPer] [float] NULL,
  [SGSTTaxPer] [float] NULL,
  [IGSTTaxPer] [float] NULL,
  [TaxClassID] [numeric](18, 0) NULL,
  [TaxClassID1] [numeric](18, 0) NULL,
  [TaxClassID2] [numeric](18, 0) NULL,
  [TaxClassID3] [numeric](18, 0) NULL,
  [TaxClassID4] [numeric](18, 0) NULL,
  [blnSlabSystem] [bit] NULL,
  [slabtaxString] [varchar](200) NULL,
  [HSNCODEUnique] [varchar](50) NULL,
  CONSTRAINT [PK_tblHSNCODE] PRIMARY KEY CLUSTERED ([HSNID] ASC)
)
GO

CREATE TABLE [dbo].[tblItemMaster] (
  [ItemID] [numeric](18, 0) NOT NULL,
  [ItemCode] [varchar](50) NULL,
  [ItemName] [varchar](200) NULL,
  [Description] [varchar](500) NULL,
  [CategoryID] [numeric](18, 0) NULL,
  [ProductTypeID] [numeric](18, 0) NULL,
  [ProductType] [varchar](50) NULL,
  [Unit] [varchar](20) NULL,
  [UnitID] [numeric](18, 0) NULL,
  [AlterUnit] [varchar](20) NULL,
  [AlterUnit2] [varchar](20) NULL,
  [AlterUnitConversion] [float] NULL,
  [AlterUnitConversion2] [float] NULL,
  [TaxClassID] [numeric](18, 0) NULL,
  [HSNID] [numeric](18, 0) NULL,
  [Rack] [varchar](50) NULL,
  [Manufacturer] [varchar](100) NULL,
  [BlnExpiryItem] [bit] NULL,
  [ItemCRate] [float] NULL,
  [PRate] [float] NULL,
  [Srate] [float] NULL,
  [MRP] [float] NULL,
  [PrateAU] [float] NULL,
  [SrateAU] [float] NULL,
  [MRPAU] [float] NULL,
  [PrateAU2] [float] NULL,
  [SrateAU2] [float] NULL,
  [MRPAU2] [float] NULL,
  [MinQty] [float] NULL,
  [MaxQty] [float] NULL,
  [CreatedDate] [datetime] NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblItemMaster] PRIMARY KEY CLUSTERED ([ItemID] ASC)
)
GO

CREATE TABLE [dbo].[tblEmployee] (
  [EmpID] [numeric](18, 0) NOT NULL,
  [EmpName] [varchar](100) NULL,
  [EmpCode] [varchar](20) NULL,
  [Designation] [varchar](50) NULL,
  [Phone] [varchar](50) NULL,
  [JoinDate] [datetime] NULL,
  [Salary] [numeric](18, 2) NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblEmployee] PRIMARY KEY CLUSTERED ([EmpID] ASC)
)
GO

-- ID is an identity without a key constraint: the synchroniser's upgrade rebuilds it on the branch as a
-- plain numeric column (drop and add), which a primary key on it would prevent.
CREATE TABLE [dbo].[tblUserGroupMaster] (
  [ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL,
  [GroupName] [varchar](50) NULL,
  [Accesslevel] [varchar](4000) NULL,
  [ActiveStatus] [numeric](18, 0) NULL
)
GO

CREATE TABLE [dbo].[tblUserMaster] (
  [UserID] [numeric](18, 0) NOT NULL,
  [UserName] [varchar](50) NULL,
  [Password] [varchar](50) NULL,
  [UserGroupID] [numeric](18, 0) NULL,
  [EmpID] [numeric](18, 0) NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblUserMaster] PRIMARY KEY CLUSTERED ([UserID] ASC)
)
GO

-- GodownID: identity without a key constraint, for the same reason as tblUserGroupMaster.ID.
CREATE TABLE [dbo].[tblGodown] (
  [GodownID] [numeric](18, 0) IDENTITY(1,1) NOT NULL,
  [GodownName] [varchar](100) NULL,
  [GodownCode] [varchar](20) NULL
)
GO

-- PrimaryCCIDS: the cost centre (as text) a voucher type belongs to.
CREATE TABLE [dbo].[tblVchType] (
  [VchTypeID] [numeric](18, 0) NOT NULL,
  [VchType] [varchar](100) NULL,
  [ParentID] [numeric](18, 0) NULL,
  [ShortName] [varchar](20) NULL,
  [Prefix] [varchar](20) NULL,
  [PrimaryCCIDS] [varchar](200) NULL,
  [BLNUseForClientSync] [numeric](18, 0) NULL,
  [SortOrder] [numeric](18, 0) NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblVchType] PRIMARY KEY CLUSTERED ([VchTypeID] ASC)
)
GO

CREATE TABLE [dbo].[tblCustomerProfile] (
  [ProfileID] [numeric](18, 0) NOT NULL,
  [ProfileName] [varchar](100) NULL,
  [LID] [numeric](18, 0) NULL,
  [Phone] [varchar](50) NULL,
  [Email] [varchar](100) NULL,
  [BirthDate] [datetime] NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblCustomerProfile] PRIMARY KEY CLUSTERED ([ProfileID] ASC)
)
GO

CREATE TABLE [dbo].[tblCustomerCard] (
  [CustomerCardID] [numeric](18, 0) NOT NULL,
  [CardNo] [varchar](50) NULL,
  [ProfileID] [numeric](18, 0) NULL,
  [Points] [numeric](18, 2) NULL,
  [IssueDate] [datetime] NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblCustomerCard] PRIMARY KEY CLUSTERED ([CustomerCardID] ASC)
)
GO

CREATE TABLE [dbo].[tblCurrency] (
  [CurrencyID] [numeric](18, 0) NOT NULL,
  [CurrencyName] [varchar](50) NULL,
  [Symbol] [varchar](10) NULL,
  [MinorCurrency] [varchar](50) NULL,
  [DecimalPlaces] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblCurrency] PRIMARY KEY CLUSTERED ([CurrencyID] ASC)
)
GO

CREATE TABLE [dbo].[tblCurrencyDetail] (
  [CurrencyDetailID] [numeric](18, 0) NOT NULL,
  [CurrencyID] [numeric](18, 0) NULL,
  [ConversionRate] [float] NULL,
  [EffectiveDate] [datetime] NULL,
  CONSTRAINT [PK_tblCurrencyDetail] PRIMARY KEY CLUSTERED ([CurrencyDetailID] ASC)
)
GO

CREATE TABLE [dbo].[tblAttendance] (
  [AttendanceID] [numeric](18, 0) NOT NULL,
  [EmpID] [numeric](18, 0) NULL,
  [AttDate] [datetime] NULL,
  [InTime] [datetime] NULL,
  [OutTime] [datetime] NULL,
  [Status] [varchar](20) NULL,
  CONSTRAINT [PK_tblAttendance] PRIMARY KEY CLUSTERED ([AttendanceID] ASC)
)
GO

-- blnPercentage and CatchAll are bit columns in the ERP; the synchroniser's upgrade widens them to numeric.
CREATE TABLE [dbo].[tblpricelist] (
  [PLID] [numeric](18, 0) NULL,
  [PriceList] [varchar](100) NULL,
  [blnPercentage] [bit] NULL,
  [ItemID] [numeric](18, 0) NULL,
  [SRate] [float] NULL,
  [MRP] [float] NULL,
  [SrPercent] [float] NULL,
  [MRPPercent] [float] NULL,
  [PLSrate] [float] NULL,
  [PLMRP] [float] NULL,
  [CatchAll] [bit] NULL,
  [ActiveStatus] [numeric](18, 0) NULL,
  [Description] [varchar](200) NULL,
  [SrPercentAU] [float] NULL,
  [PLSrateAU] [float] NULL,
  [SrPercentAU2] [float] NULL,
  [PLSrateAU2] [float] NULL,
  [CalculationType] [numeric](18, 0) NULL,
  [BlnShowAsDiscount] [bit] NULL,
  [UNIQUEID] [numeric](18, 0) NOT NULL,
  CONSTRAINT [PK_tblpricelist] PRIMARY KEY CLUSTERED ([UNIQUEID] ASC)
)
GO

-- Dated board rates (selling rate and MRP fixed by head office). ID is the ERP's own numbering.
CREATE TABLE [dbo].[tblBoardRateMaster] (
  [ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL,
  [Vchdate] [datetime] NULL,
  [ItemID] [numeric](18, 0) NULL,
  [SRate] [float] NULL,
  [MRP] [float] NULL,
  CONSTRAINT [PK_tblBoardRateMaster] PRIMARY KEY CLUSTERED ([ID] ASC)
)
GO

-- One row per batch and cost centre. Qty is written when the row is created; movements go to tblStockHistory.
CREATE TABLE [dbo].[tblStock] (
  [StockID] [numeric](18, 0) NOT NULL,
  [ItemID] [numeric](18, 0) NOT NULL,
  [BAtch] [varchar](50) NULL,
  [BatchID] [numeric](18, 0) NOT NULL,
  [BatchCode] [varchar](50) NULL,
  [BatchUnique] [varchar](100) NULL,
  [Expiry] [datetime] NULL,
  [Qty] [float] NULL,
  [QtyAu] [float] NULL,
  [QtyAu2] [float] NULL,
  [Weight] [float] NULL,
  [Prate] [float] NULL,
  [Srate] [float] NULL,
  [Crate] [float] NULL,
  [Mrp] [float] NULL,
  [Vrate] [float] NULL,
  [PrateAU] [float] NULL,
  [SrateAU] [float] NULL,
  [CRateAU] [float] NULL,
  [MRPAU] [float] NULL,
  [PrateAU2] [float] NULL,
  [SrateAU2] [float] NULL,
  [CRateAU2] [float] NULL,
  [MRPAU2] [float] NULL,
  [bSrate] [float] NULL,
  [bMRP] [float] NULL,
  [CCID] [numeric](18, 0) NOT NULL,
  [GodownID] [numeric](18, 0) NULL,
  [SupplierID] [numeric](18, 0) NULL,
  [Active] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblStock] PRIMARY KEY NONCLUSTERED ([StockID] ASC),
  CONSTRAINT [UK_tblStock_BatchUnique] UNIQUE NONCLUSTERED ([BatchUnique] ASC, [CCID] ASC)
)
GO

-- A batch number is unique within a cost centre.
CREATE UNIQUE CLUSTERED INDEX [CIDX_tblStock] ON [dbo].[tblStock] ([BatchID] ASC, [CCID] ASC)
GO

-- The same batch code in two cost centres carries two batch numbers.
CREATE UNIQUE NONCLUSTERED INDEX [IX_tblStock_BatchCode_mainIndex] ON [dbo].[tblStock] ([BatchCode] ASC, [BatchID] ASC)
GO

CREATE NONCLUSTERED INDEX [IX_tblStock_Item] ON [dbo].[tblStock] ([ItemID] ASC, [CCID] ASC)
GO

-- Every stock movement. StockHisId is written as 0 by the posting routine (no numbering).
CREATE TABLE [dbo].[tblStockHistory] (
  [StockHisId] [numeric](18, 0) NULL,
  [VchDate] [datetime] NULL,
  [VchTypeID] [numeric](18, 0) NULL,
  [RefId] [numeric](18, 0) NULL,
  [AdnlRefID] [varchar](50) NULL,
  [ItemID] [numeric](18, 0) NULL,
  [QtyIN] [float] NULL,
  [QtyINAU] [float] NULL,
  [QtyINAU2] [float] NULL,
  [QtyOut] [float] NULL,
  [QtyOutAU] [float] NULL,
  [QtyOutAU2] [float] NULL,
  [BAtch] [varchar](50) NULL,
  [expiry] [datetime] NULL,
  [PvalueIN] [float] NULL,
  [PvalueOut] [float] NULL,
  [SValueIN] [float] NULL,
  [SValueOut] [float] NULL,
  [MrpValueIN] [float] NULL,
  [MrpValueOut] [float] NULL,
  [FreeQtyIn] [float] NULL,
  [FreeQtyOut] [float] NULL,
  [BatchCode] [varchar](50) NULL,
  [CCID] [numeric](18, 0) NULL,
  [WeightIn] [float] NULL,
  [WeightOut] [float] NULL,
  [Prate] [float] NULL,
  [Srate] [float] NULL,
  [CRate] [float] NULL,
  [MRP] [float] NULL,
  [PrateAU] [float] NULL,
  [SrateAU] [float] NULL,
  [CRateAU] [float] NULL,
  [MRPAU] [float] NULL,
  [PrateAU2] [float] NULL,
  [SrateAU2] [float] NULL,
  [CRateAU2] [float] NULL,
  [MRPAU2] [float] NULL,
  [SHSupplierID] [numeric](18, 0) NULL,
  [GodownID] [numeric](18, 0) NULL,
  [BatchUnique] [varchar](100) NULL
)
GO

CREATE NONCLUSTERED INDEX [IX_tblStockHistory_Ref] ON [dbo].[tblStockHistory] ([VchTypeID] ASC, [RefId] ASC)
GO

CREATE NONCLUSTERED INDEX [IX_tblStockHistory_Item] ON [dbo].[tblStockHistory] ([ItemID] ASC, [CCID] ASC)
GO

CREATE TABLE [dbo].[tblStockHistorySerialNo] (
  [StkHisID] [numeric](18, 0) NULL,
  [VchTypeID] [numeric](18, 0) NULL,
  [RefId] [numeric](18, 0) NULL,
  [SerialNo] [varchar](100) NULL,
  [QtyIN] [float] NULL,
  [QtyOut] [float] NULL,
  [ItemID] [numeric](18, 0) NULL,
  [CCID] [numeric](18, 0) NULL
)
GO

CREATE TABLE [dbo].[tblItemRates] (
  [ItemID] [numeric](18, 0) NULL,
  [Vchdate] [datetime] NULL,
  [VchTypeID] [numeric](18, 0) NULL,
  [RefID] [numeric](18, 0) NULL,
  [Qty] [float] NULL,
  [Prate] [float] NULL,
  [Crate] [float] NULL,
  [SRate] [float] NULL,
  [MRP] [float] NULL,
  [CCID] [numeric](18, 0) NULL
)
GO

-- The ledger postings: two rows (one per side) share MainID and TrID.
CREATE TABLE [dbo].[tblVoucher] (
  [MainID] [numeric](18, 0) NULL,
  [TrID] [numeric](18, 0) NULL,
  [TrType] [varchar](20) NULL,
  [VchTypeID] [numeric](18, 0) NULL,
  [TrDate] [datetime] NULL,
  [DrLID] [numeric](18, 0) NULL,
  [CrLID] [numeric](18, 0) NULL,
  [Particulars] [varchar](200) NULL,
  [Narration] [varchar](500) NULL,
  [AmountD] [numeric](18, 2) NULL,
  [AmountC] [numeric](18, 2) NULL,
  [USerNarration] [varchar](500) NULL,
  [SortOrder] [numeric](18, 0) NULL,
  [SalesManID] [numeric](18, 0) NULL,
  [Optional] [numeric](18, 0) NULL,
  [CCID] [numeric](18, 0) NULL,
  [currencyID] [numeric](18, 0) NULL,
  [Conversion] [float] NULL,
  [Reconciled] [numeric](18, 0) NULL
)
GO

CREATE NONCLUSTERED INDEX [IX_tblVoucher_MainID] ON [dbo].[tblVoucher] ([MainID] ASC)
GO

-- Sales. SynchStat is the ERP's old upload flag, which the synchroniser's upgrade drops on the branch.
-- BillTime (here and on the other vouchers) holds the time of day on the base date 1900-01-01.
CREATE TABLE [dbo].[tblSales] (
  [InvID] [numeric](18, 0) NOT NULL,
  [InvNo] [varchar](50) NULL,
  [RefNo] [varchar](50) NULL,
  [AutoNum] [numeric](18, 0) NULL,
  [SortNumber] [numeric](18, 0) NULL,
  [InvDate] [datetime] NULL,
  [BillTime] [datetime] NULL,
  [VchType] [varchar](50) NULL,
  [VchTypeID] [numeric](18, 0) NULL,
  [MOP] [varchar](20) NULL,
  [LedgerID] [numeric](18, 0) NULL,
  [Party] [varchar](200) NULL,
  [PartyAddress] [varchar](500) NULL,
  [GrossAmt] [numeric](18, 2) NULL,
  [Discount] [numeric](18, 2) NULL,
  [TaxAmt] [numeric](18, 2) NULL,
  [BillAmt] [numeric](18, 2) NULL,
  [RoundOff] [numeric](18, 2) NULL,
  [NetAmount] [numeric](18, 2) NULL,
  [UserNarration] [varchar](500) NULL,
  [SalesManID] [numeric](18, 0) NULL,
  [Cancelled] [numeric](18, 0) NULL,
  [CCID] [numeric](18, 0) NULL,
  [currencyid] [numeric](18, 0) NULL,
  [UserID] [numeric](18, 0) NULL,
  [UserName] [varchar](50) NULL,
  [ComputerName] [varchar](50) NULL,
  [CustomField1] [varchar](100) NULL,
  [LockMode] [numeric](18, 0) NULL,
  [SynchStat] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblSales] PRIMARY KEY CLUSTERED ([InvID] ASC)
)
GO

CREATE TABLE [dbo].[tblSalesItem] (
  [SlNo] [numeric](18, 0) NULL,
  [InvID] [numeric](18, 0) NOT NULL,
  [ItemID] [numeric](18, 0) NULL,
  [Qty] [float] NULL,
  [FreeQty] [float] NULL,
  [UnitID] [numeric](18, 0) NULL,
  [Rate] [float] NULL,
  [PRate] [float] NULL,
  [CRate] [float] NULL,
  [MRP] [float] NULL,
  [Discount] [numeric](18, 2) NULL,
  [TaxPer] [float] NULL,
  [TaxAmount] [numeric](18, 2) NULL,
  [Amount] [numeric](18, 2) NULL,
  [BatchCode] [varchar](50) NULL,
  [BatchUnique] [varchar](100) NULL,
  [Expiry] [datetime] NULL,
  [GodownID] [numeric](18, 0) NULL,
  [ItemRemarks] [varchar](200) NULL
)
GO

CREATE NONCLUSTERED INDEX [IX_tblSalesItem_InvID] ON [dbo].[tblSalesItem] ([InvID] ASC)
GO

-- Receipts, payments and other notes. ID is the ERP's row number; VchID the voucher number.
CREATE TABLE [dbo].[tblNotes] (
  [ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL,
  [VchID] [numeric](18, 0) NOT NULL,
  [VchNo] [varchar](50) NULL,
  [VchDate] [datetime] NULL,
  [BillTime] [datetime] NULL,
  [VchTypeID] [numeric](18, 0) NULL,
  [LedgerID] [numeric](18, 0) NULL,
  [CashLedgerID] [numeric](18, 0) NULL,
  [Amount] [numeric](18, 2) NULL,
  [Narration] [varchar](500) NULL,
  [RefNo] [varchar](50) NULL,
  [CCID] [numeric](18, 0) NULL,
  [UserID] [numeric](18, 0) NULL,
  [Cancelled] [numeric](18, 0) NULL,
  [LockMode] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblNotes] PRIMARY KEY CLUSTERED ([ID] ASC)
)
GO

CREATE NONCLUSTERED INDEX [IX_tblNotes_VchID] ON [dbo].[tblNotes] ([VchID] ASC)
GO

CREATE TABLE [dbo].[tblStockJournal] (
  [VchID] [numeric](18, 0) NULL,
  [InvId] [numeric](18, 0) NOT NULL,
  [InvNo] [varchar](50) NULL,
  [RefNO] [varchar](50) NULL,
  [AutoNum] [numeric](18, 0) NULL,
  [SortNumber] [numeric](18, 0) NULL,
  [InvDate] [datetime] NULL,
  [VchType] [varchar](50) NULL,
  [MOP] [varchar](20) NULL,
  [LedgerId] [numeric](18, 0) NULL,
  [Party] [varchar](200) NULL,
  [Discount] [numeric](18, 2) NULL,
  [TaxType] [varchar](20) NULL,
  [TaxAmt] [numeric](18, 2) NULL,
  [Astamt] [numeric](18, 2) NULL,
  [GrossAmt] [numeric](18, 2) NULL,
  [BillAmt] [numeric](18, 2) NULL,
  [OtherExpense] [numeric](18, 2) NULL,
  [ComputerName] [varchar](50) NULL,
  [Taxable] [numeric](18, 2) NULL,
  [NonTaxable] [numeric](18, 2) NULL,
  [UsConversion] [float] NULL,
  [UsAmount] [numeric](18, 2) NULL,
  [OrderInfo] [varchar](200) NULL,
  [DespatchInfo] [varchar](200) NULL,
  [ItemDiscountTotal] [numeric](18, 2) NULL,
  [UserNarration] [varchar](500) NULL,
  [SalesManID] [numeric](18, 0) NULL,
  [Cancelled] [numeric](18, 0) NULL,
  [CCID] [numeric](18, 0) NULL,
  [currencyid] [numeric](18, 0) NULL,
  [OrderIds] [varchar](200) NULL,
  [VchTypeid] [numeric](18, 0) NULL,
  [RoundOff] [numeric](18, 2) NULL,
  [RoundOffMode] [numeric](18, 0) NULL,
  [RoundOffBlock] [numeric](18, 0) NULL,
  [BuyersName] [varchar](100) NULL,
  [PreCarriageBy] [varchar](100) NULL,
  [PlaceofReceiptbyPC] [varchar](100) NULL,
  [FlightNo] [varchar](50) NULL,
  [PortOfLoading] [varchar](100) NULL,
  [TermsofDelivery] [varchar](200) NULL,
  [FinalDestination] [varchar](100) NULL,
  [Countryoforigin] [varchar](50) NULL,
  [CountryOfDestination] [varchar](50) NULL,
  [GrossWeight] [varchar](50) NULL,
  [OutStandingAmt] [numeric](18, 2) NULL,
  [ReceiptAmt] [numeric](18, 2) NULL,
  [ReceiptID] [numeric](18, 0) NULL,
  [CessOntax] [numeric](18, 2) NULL,
  [NoteIDs] [varchar](200) NULL,
  [UserName] [varchar](50) NULL,
  [DiscPer] [float] NULL,
  [CustDiscPer] [float] NULL,
  [CardLedgerID] [numeric](18, 0) NULL,
  [CustomField1] [varchar](100) NULL,
  [CustomField2] [varchar](100) NULL,
  [CustomField3] [varchar](100) NULL,
  [CustomField4] [varchar](100) NULL,
  [PartyAddress] [varchar](500) NULL,
  [MRPValue] [numeric](18, 2) NULL,
  [UserID] [numeric](18, 0) NULL,
  [AgentID] [numeric](18, 0) NULL,
  [Accounts] [numeric](18, 0) NULL,
  [CashDiscount] [numeric](18, 2) NULL,
  [SaleAmount] [numeric](18, 2) NULL,
  [DPerType_ManualCalc_Customer] [numeric](18, 0) NULL,
  [deliveryNoteNo] [varchar](50) NULL,
  [ICF3Tot] [numeric](18, 2) NULL,
  [ICF4Tot] [numeric](18, 2) NULL,
  [DestCCID] [numeric](18, 0) NULL,
  [NetAmount] [numeric](18, 2) NULL,
  [ProfileID] [numeric](18, 0) NULL,
  [RegNo] [varchar](50) NULL,
  [BlnWaitForAuthorisation] [numeric](18, 0) NULL,
  [BillTime] [datetime] NULL,
  [LockMode] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblStockJournal] PRIMARY KEY CLUSTERED ([InvId] ASC)
)
GO

CREATE TABLE [dbo].[tblStockJournalDetail] (
  [slno] [numeric](18, 0) NULL,
  [InvID] [numeric](18, 0) NOT NULL,
  [ItemId] [numeric](18, 0) NULL,
  [QtyIn] [float] NULL,
  [QtyOut] [float] NULL,
  [PRate] [float] NULL,
  [Crate] [float] NULL,
  [Srate] [float] NULL,
  [MRP] [float] NULL,
  [UnitId] [numeric](18, 0) NULL,
  [Batch] [varchar](50) NULL,
  [TaxPer] [float] NULL,
  [TaxAmount] [numeric](18, 2) NULL,
  [AstAmount] [numeric](18, 2) NULL,
  [Amount] [numeric](18, 2) NULL,
  [Conversion] [float] NULL,
  [Discount] [numeric](18, 2) NULL,
  [HSerialNos] [varchar](500) NULL,
  [SerialNos] [varchar](500) NULL,
  [RateInclusive] [varchar](5) NULL,
  [BatchCode] [varchar](50) NULL,
  [ItemDiscount] [numeric](18, 2) NULL,
  [ItemDiscountPer] [float] NULL,
  [FreeIn] [float] NULL,
  [FreeOut] [float] NULL,
  [BlnCessOnTax] [numeric](18, 0) NULL,
  [iCessOnTax] [float] NULL,
  [Expiry] [datetime] NULL,
  [blnMnfCode] [numeric](18, 0) NULL,
  [iCustomField1] [varchar](100) NULL,
  [iCustomField2] [varchar](100) NULL,
  [iCustomField3] [float] NULL,
  [iCustomField4] [float] NULL,
  [iCessPer] [float] NULL,
  [WeightIn] [float] NULL,
  [WeightOut] [float] NULL,
  [SratePer] [float] NULL,
  [SratePerAU] [float] NULL,
  [SratePerAU2] [float] NULL,
  [MRPPer] [float] NULL,
  [MRPPerAU] [float] NULL,
  [MRPPerAU2] [float] NULL,
  [AlterUnitConversion] [float] NULL,
  [AlterUnitConversion2] [float] NULL,
  [PrateP] [float] NULL,
  [SrateP] [float] NULL,
  [CRateP] [float] NULL,
  [MRPP] [float] NULL,
  [PrateAU] [float] NULL,
  [SrateAU] [float] NULL,
  [CRateAU] [float] NULL,
  [MRPAU] [float] NULL,
  [PrateAU2] [float] NULL,
  [SrateAU2] [float] NULL,
  [CRateAU2] [float] NULL,
  [MRPAU2] [float] NULL,
  [CCID] [numeric](18, 0) NULL,
  [ITaxableAmount] [numeric](18, 2) NULL,
  [INetAmount] [numeric](18, 2) NULL,
  [SupplierID] [numeric](18, 0) NULL,
  [HSerialNos1] [varchar](500) NULL,
  [HSerialNos2] [varchar](500) NULL,
  [HSerialNos3] [varchar](500) NULL,
  [GodownID] [numeric](18, 0) NULL,
  [BatchUnique] [varchar](100) NULL
)
GO

CREATE NONCLUSTERED INDEX [IX_tblStockJournalDetail_InvID] ON [dbo].[tblStockJournalDetail] ([InvID] ASC)
GO

CREATE TABLE [dbo].[tblOrder] (
  [InvID] [numeric](18, 0) NOT NULL,
  [InvNo] [varchar](50) NULL,
  [InvDate] [datetime] NULL,
  [BillTime] [datetime] NULL,
  [DeliveryDate] [datetime] NULL,
  [VchTypeID] [numeric](18, 0) NULL,
  [LedgerID] [numeric](18, 0) NULL,
  [Party] [varchar](200) NULL,
  [BillAmt] [numeric](18, 2) NULL,
  [NetAmount] [numeric](18, 2) NULL,
  [UserNarration] [varchar](500) NULL,
  [SalesManID] [numeric](18, 0) NULL,
  [CCID] [numeric](18, 0) NULL,
  [UserID] [numeric](18, 0) NULL,
  [Cancelled] [numeric](18, 0) NULL,
  [CustomField1] [varchar](100) NULL,
  [LockMode] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblOrder] PRIMARY KEY CLUSTERED ([InvID] ASC)
)
GO

CREATE TABLE [dbo].[tblOrderItem] (
  [SlNo] [numeric](18, 0) NULL,
  [InvID] [numeric](18, 0) NOT NULL,
  [ItemID] [numeric](18, 0) NULL,
  [Qty] [float] NULL,
  [Rate] [float] NULL,
  [MRP] [float] NULL,
  [Amount] [numeric](18, 2) NULL,
  [BatchCode] [varchar](50) NULL,
  [ItemRemarks] [varchar](200) NULL
)
GO

CREATE NONCLUSTERED INDEX [IX_tblOrderItem_InvID] ON [dbo].[tblOrderItem] ([InvID] ASC)
GO

-- Job cards. InvID links the job card to the sale that billed it.
CREATE TABLE [dbo].[tblJobcard] (
  [JobCardID] [numeric](18, 0) NOT NULL,
  [JobCardNo] [varchar](50) NULL,
  [JobCardDate] [datetime] NULL,
  [JobCardTime] [datetime] NULL,
  [DeliveryDate] [datetime] NULL,
  [VchTypeID] [numeric](18, 0) NULL,
  [LedgerID] [numeric](18, 0) NULL,
  [Party] [varchar](200) NULL,
  [Complaint] [varchar](500) NULL,
  [EstimateAmt] [numeric](18, 2) NULL,
  [EmpID] [numeric](18, 0) NULL,
  [CCID] [numeric](18, 0) NULL,
  [UserID] [numeric](18, 0) NULL,
  [Status] [varchar](20) NULL,
  [InvID] [numeric](18, 0) NULL,
  [Cancelled] [numeric](18, 0) NULL,
  [LockMode] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblJobcard] PRIMARY KEY CLUSTERED ([JobCardID] ASC)
)
GO

CREATE TABLE [dbo].[tblJobCardDetail] (
  [SlNo] [numeric](18, 0) NULL,
  [JobCardID] [numeric](18, 0) NOT NULL,
  [ItemID] [numeric](18, 0) NULL,
  [Qty] [float] NULL,
  [Rate] [float] NULL,
  [Amount] [numeric](18, 2) NULL,
  [WorkDone] [varchar](500) NULL
)
GO

CREATE NONCLUSTERED INDEX [IX_tblJobCardDetail_JobCardID] ON [dbo].[tblJobCardDetail] ([JobCardID] ASC)
GO

-- Purchases (goods received; the branch imports those addressed to it as opening stock).
CREATE TABLE [dbo].[tblPurchase] (
  [InvID] [numeric](18, 0) NOT NULL,
  [InvNo] [varchar](50) NULL,
  [RefNo] [varchar](50) NULL,
  [InvDate] [datetime] NULL,
  [StockDate] [datetime] NULL,
  [BillTime] [datetime] NULL,
  [VchType] [varchar](50) NULL,
  [VchTypeID] [numeric](18, 0) NULL,
  [LedgerID] [numeric](18, 0) NULL,
  [Party] [varchar](200) NULL,
  [GrossAmt] [numeric](18, 2) NULL,
  [TaxAmt] [numeric](18, 2) NULL,
  [BillAmt] [numeric](18, 2) NULL,
  [NetAmount] [numeric](18, 2) NULL,
  [UserNarration] [varchar](500) NULL,
  [CCID] [numeric](18, 0) NULL,
  [UserID] [numeric](18, 0) NULL,
  [Cancelled] [numeric](18, 0) NULL,
  [Customfield1] [varchar](100) NULL,
  [LockMode] [numeric](18, 0) NULL,
  CONSTRAINT [PK_tblPurchase] PRIMARY KEY CLUSTERED ([InvID] ASC)
)
GO

CREATE TABLE [dbo].[tblPurchaseItem] (
  [SlNo] [numeric](18, 0) NULL,
  [InvID] [numeric](18, 0) NOT NULL,
  [ItemId] [numeric](18, 0) NULL,
  [Qty] [float] NULL,
  [FreeQty] [float] NULL,
  [PRate] [float] NULL,
  [SRate] [float] NULL,
  [CRate] [float] NULL,
  [MRP] [float] NULL,
  [TaxPer] [float] NULL,
  [Amount] [numeric](18, 2) NULL,
  [BatchCode] [varchar](50) NULL,
  [BatchUnique] [varchar](100) NULL,
  [Expiry] [datetime] NULL,
  [GodownID] [numeric](18, 0) NULL
)
GO

CREATE NONCLUSTERED INDEX [IX_tblPurchaseItem_InvID] ON [dbo].[tblPurchaseItem] ([InvID] ASC)
GO

-- The ERP's switches (tblAppSettings), the same in both company databases: items are held in named
-- batches, one rate set per batch, no expiry tracking, two decimals for amounts and three for quantities.
-- STRBATCODEPREFIXSUFFIX holds the batch-code prefix and suffix separated by the character U+0192.

INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNBATCHCODE', '1')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNMultiBatchRates', '0')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNEXPIRY', '0')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNEXPIRYDATEWISE', '0')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNGODOWN', '1')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNCOSTCENTRE', '1')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNTaxEnabled', '1')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNUNITCONVERSION', '1')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('blnpricelist', '1')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNAREA', '1')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNCURRENCY', '0')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNTRACKWEIGHT', '0')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNSMS', '0')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNHEAVYDB', 'False')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('HALVEXAMT', '2')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('HALVEXQTY', '3')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('HALVEXINWORDS', '1')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNCOMAFORMAT', '0')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('BLNBILLWISE', '1')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('INTCOSTINGID', '1')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('INTLANGUAGEID', '0')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('STRWINDOWFONT', 'Tahoma')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('STRWINDOWFONTSIZE', '9')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('MajorCurrency', 'Rupees')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('MAJORSYMBOL', 'Rs')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('MinorCurrency', 'Paise')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('MINORSYMBOL', 'p')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('WelcomeNote', 'Welcome to Halvex ERP')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('ReportPeriod', 'Monthly')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('barCodePattern', '<ITEMCODE><BATCHCODE>')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('DENOMINATIONS', '2000,500,200,100,50,20,10')
GO
INSERT INTO [dbo].[tblAppSettings] (KeyName, ValueName) VALUES ('STRBATCODEPREFIXSUFFIX', N'<YEARMONTH>ƒ')
GO

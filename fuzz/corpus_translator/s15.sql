EXEC sp_addlinkedserver @server = N'central', @srvproduct = N'', @provider = N'SQLNCLI', @datasrc = N'embedded:server'
EXEC sp_serveroption @server = N'central', @optname = N'data access', @optvalue = N'true'
SELECT COUNT(*) FROM [central].[Central].[dbo].[tblSales]

-- Connections: the linked server on the branch server that reaches the central server, set up
-- twice (the second time the drop runs), and the central server's clock.
GO

-- ConfigureLinkedServer: drop the linked server when it exists
-- on: branch
IF  EXISTS (SELECT srv.name FROM sys.servers srv WHERE srv.server_id != 0 AND srv.name = N'embedded:servers/central')EXEC master.dbo.sp_dropserver @server=N'embedded:servers/central', @droplogins='droplogins'
GO

-- ConfigureLinkedServer: add the linked server
-- on: branch
EXEC master.dbo.sp_addlinkedserver @server = N'embedded:servers/central', @srvproduct=N'SQL Server'
GO

-- ConfigureLinkedServer: login mapping for other logins
-- on: branch
EXEC master.dbo.sp_addlinkedsrvlogin @rmtsrvname=N'embedded:servers/central',@useself=N'False',@locallogin=NULL,@rmtuser=NULL,@rmtpassword=NULL
GO

-- ConfigureLinkedServer: login mapping for sa
-- on: branch
EXEC master.dbo.sp_addlinkedsrvlogin @rmtsrvname=N'embedded:servers/central',@useself=N'False',@locallogin=N'sa',@rmtuser=N'sa',@rmtpassword='PLOVERS318#'
GO

-- ConfigureLinkedServer: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'collation compatible', @optvalue=N'false'
GO

-- ConfigureLinkedServer: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'data access', @optvalue=N'true'
GO

-- ConfigureLinkedServer: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'dist', @optvalue=N'false'
GO

-- ConfigureLinkedServer: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'pub', @optvalue=N'false'
GO

-- ConfigureLinkedServer: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'rpc', @optvalue=N'false'
GO

-- ConfigureLinkedServer: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'rpc out', @optvalue=N'false'
GO

-- ConfigureLinkedServer: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'sub', @optvalue=N'false'
GO

-- ConfigureLinkedServer: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'connect timeout', @optvalue=N'0'
GO

-- ConfigureLinkedServer: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'collation name', @optvalue=null
GO

-- ConfigureLinkedServer: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'lazy schema validation', @optvalue=N'false'
GO

-- ConfigureLinkedServer: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'query timeout', @optvalue=N'0'
GO

-- ConfigureLinkedServer: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'use remote collation', @optvalue=N'true'
GO

-- ConfigureLinkedServer again: drop the linked server when it exists
-- on: branch
IF  EXISTS (SELECT srv.name FROM sys.servers srv WHERE srv.server_id != 0 AND srv.name = N'embedded:servers/central')EXEC master.dbo.sp_dropserver @server=N'embedded:servers/central', @droplogins='droplogins'
GO

-- ConfigureLinkedServer again: add the linked server
-- on: branch
EXEC master.dbo.sp_addlinkedserver @server = N'embedded:servers/central', @srvproduct=N'SQL Server'
GO

-- ConfigureLinkedServer again: login mapping for other logins
-- on: branch
EXEC master.dbo.sp_addlinkedsrvlogin @rmtsrvname=N'embedded:servers/central',@useself=N'False',@locallogin=NULL,@rmtuser=NULL,@rmtpassword=NULL
GO

-- ConfigureLinkedServer again: login mapping for sa
-- on: branch
EXEC master.dbo.sp_addlinkedsrvlogin @rmtsrvname=N'embedded:servers/central',@useself=N'False',@locallogin=N'sa',@rmtuser=N'sa',@rmtpassword='PLOVERS318#'
GO

-- ConfigureLinkedServer again: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'collation compatible', @optvalue=N'false'
GO

-- ConfigureLinkedServer again: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'data access', @optvalue=N'true'
GO

-- ConfigureLinkedServer again: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'dist', @optvalue=N'false'
GO

-- ConfigureLinkedServer again: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'pub', @optvalue=N'false'
GO

-- ConfigureLinkedServer again: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'rpc', @optvalue=N'false'
GO

-- ConfigureLinkedServer again: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'rpc out', @optvalue=N'false'
GO

-- ConfigureLinkedServer again: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'sub', @optvalue=N'false'
GO

-- ConfigureLinkedServer again: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'connect timeout', @optvalue=N'0'
GO

-- ConfigureLinkedServer again: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'collation name', @optvalue=null
GO

-- ConfigureLinkedServer again: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'lazy schema validation', @optvalue=N'false'
GO

-- ConfigureLinkedServer again: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'query timeout', @optvalue=N'0'
GO

-- ConfigureLinkedServer again: server option
-- on: branch
EXEC master.dbo.sp_serveroption @server=N'embedded:servers/central', @optname=N'use remote collation', @optvalue=N'true'
GO

-- check: a central table through the linked server
-- on: branch
-- expect-value: 1
SELECT COUNT(*) AS Nos FROM [embedded:servers/central].HO01.dbo.tblSettings
GO

-- GetServerDateTime with a time zone offset
-- on: central
-- expect-rows: 1
Select top 1 dateadd(Minute,330,getutcdate()) as ServDate from tblSettings
GO

-- GetServerDateTime without offset
-- on: central
-- expect-rows: 1
Select top 1 Getdate() as ServDate from tblSettings
GO

-- GetServerDateTime, startup table form with offset
-- on: startup-central
-- expect-rows: 1
Select top 1 dateadd(Minute,-90,getutcdate()) as ServDate from tblcOMPANY
GO

-- GetServerDateTime, startup table form
-- on: startup-central
-- expect-rows: 1
Select top 1 Getdate() as ServDate from tblcOMPANY
GO

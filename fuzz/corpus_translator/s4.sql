EXEC sp_addlinkedserver @server = N'central', @srvproduct = N'', @provider = N'SQLNCLI', @datasrc = N'embedded:server'
update tblSales set InvNo = InvNo + 'Del', Qty = (select max(Qty) from [central].Central.dbo.tblSales i where i.InvID = tblSales.InvID) where InvID in (1,2,3)

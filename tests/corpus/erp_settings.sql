-- ERP application settings: the loader's query and one key read and written.
GO

-- LoadErpSettings
-- on: branch
-- expect-rows: 32
select * from tblAppSettings 
GO

-- AppSetting write: an existing key, value with a quote
-- on: branch
-- expect-rows: 1
update tblAppSettings set valueName = 'O''Brien welcomes you' where KeyName='WelcomeNote'
GO

-- AppSetting write: a missing key
-- on: branch
-- expect-rows: 0
update tblAppSettings set valueName = '1' where KeyName='BLNNEWFEATURE'
GO

-- AppSetting write: the missing key inserted
-- on: branch
-- expect-rows: 1
insert into tblAppSettings (KeyName,valueName) values('BLNNEWFEATURE','1')
GO

-- AppSetting read, key in another case
-- on: branch
-- expect-value: O'Brien welcomes you
Select valueName from tblAppSettings where  KeyName='welcomenote'
GO

-- AppSetting read of an absent key
-- on: branch
-- expect-rows: 0
Select valueName from tblAppSettings where  KeyName='NOSUCHKEY'
GO

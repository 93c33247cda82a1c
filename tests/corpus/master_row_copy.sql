-- Master row copy builder: the source queries on the central database and the literal inserts
-- it builds for the branch (quotes doubled, NULL text as a quoted blank, NULL numbers as 0).
GO

-- source: a whole table
-- on: central
-- expect-rows: 4
Select * from tblCategories
GO

-- insert of a row the branch already holds
-- on: branch
-- expect-error: Cannot insert duplicate key
Insert into tblCategories (CategoryID,Category,Description,ActiveStatus) values (1,'Groceries','Groceries items',1)
GO

-- insert of a new category
-- on: branch
-- expect-rows: 1
Insert into tblCategories (CategoryID,Category,Description,ActiveStatus) values (5,'Baby Care',' ',0)
GO

-- check: NULL text arrives as a blank, NULL number as 0
-- on: branch
-- expect-value:  |0
SELECT Description + '|' + CONVERT(VARCHAR(10), ActiveStatus) AS Nos FROM tblCategories WHERE CategoryID = 5
GO

-- insert of a text too long for its column
-- on: branch
-- expect-error: String or binary data would be truncated
Insert into tblCategories (CategoryID,Category,Description,ActiveStatus) values (6,'XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX','',1)
GO

-- insert with an apostrophe, a midnight date and a decimal
-- on: branch
-- expect-rows: 1
Insert into tblLedger (LID,LName,LAliasName,AccountGroupID,Address,Phone,AreaID,OpeningBalance,CreditLimit,TaxRegNo,CreatedDate,ActiveStatus) values (501,'D''Costa & Sons','D''COSTA & SONS',5,' ',' ',2,12.5,25000,' ','01/Apr/2026',1)
GO

-- check: the apostrophe is stored once
-- on: branch
-- expect-value: D'Costa & Sons
SELECT LName FROM tblLedger WHERE LID = 501
GO

-- check: the decimal
-- on: branch
-- expect-value: 12.5
SELECT OpeningBalance FROM tblLedger WHERE LID = 501
GO

-- insert with a date and time of day
-- on: branch
-- expect-rows: 1
Insert into tblEmployee (EmpID,EmpName,EmpCode,Designation,Phone,JoinDate,Salary,ActiveStatus) values (4,'Deepa Nair','E004','Cashier',' ','06/Dec/2026 10:15:32 AM',14250.75,1)
GO

-- check: the date and time
-- on: branch
-- expect-value: 2026-12-06 10:15:32.000
SELECT JoinDate FROM tblEmployee WHERE EmpID = 4
GO

-- source: one item
-- on: central
-- expect-rows: 1
SELECT  * from tblItemMaster where  ItemID=3
GO

-- insert of an item with every column
-- on: branch
-- expect-error: Invalid column name
Insert into tblItemMaster (ItemID,ItemCode,ItemName,Description,CategoryID,ProductTypeID,ProductType,Unit,UnitID,AlterUnit,AlterUnit2,AlterUnitConversion,AlterUnitConversion2,TaxClassID,HSNID,Rack,Manufacturer,BlnExpiryItem,ItemCRate,PRate,Srate,MRP,PrateAU,SrateAU,MRPAU,PrateAU2,SrateAU2,MRPAU2,MinQty,MaxQty,CreatedDate,ActiveStatus,sRatePerOnMRP) values (9001,'IT9001','Cardamom 50g',' ',1,1,'Goods','NOS',1,'BOX',' ',12,1,2,3,' ',' ',1,88.4,88.4,99,105,0,0,0,0,0,0,0,0,'06/Dec/2026',1,0)
GO

-- insert of an item with every column of the branch table
-- on: branch
-- expect-rows: 1
Insert into tblItemMaster (ItemID,ItemCode,ItemName,Description,CategoryID,ProductTypeID,ProductType,Unit,UnitID,AlterUnit,AlterUnit2,AlterUnitConversion,AlterUnitConversion2,TaxClassID,HSNID,Rack,Manufacturer,BlnExpiryItem,ItemCRate,PRate,Srate,MRP,PrateAU,SrateAU,MRPAU,PrateAU2,SrateAU2,MRPAU2,MinQty,MaxQty,CreatedDate,ActiveStatus) values (9001,'IT9001','Cardamom 50g',' ',1,1,'Goods','NOS',1,'BOX',' ',12,1,2,3,' ',' ',1,88.4,88.4,99,105,0,0,0,0,0,0,0,0,'06/Dec/2026',1)
GO

-- check: the bit column
-- on: branch
-- expect-value: 1
SELECT COUNT(*) AS Nos FROM tblItemMaster WHERE BlnExpiryItem = 1 AND ItemID = 9001
GO

-- settings copy: the source query
-- on: central
-- expect-rows: 32
SELECT KeyName,ValueName  FROM tblAppSettings 
GO

-- Activity high-water marks: the last change-log ids of both databases.
-- prepare: upgrade
GO

-- lblMaxIDS / cmdClearActivity: the central change log's last id
-- on: central
-- expect-value: NULL
-- expect-rows: 1
 SELECT  max(ID) as MAXID From tblActivity  
GO

-- lblMaxIDS: the branch's newest voucher row of the working date
-- on: branch
-- expect-value: NULL
-- expect-rows: 1
SELECT     MAX(ID) AS MaxID FROM         tblActivity AS O WHERE     (ParentID IN (1, 3, 5, 7, 8, 9, 10, 14, 18, 41, 42, 43, 44, 45)) AND (ISNULL(ParentID, 0) <> 0) AND (Action NOT IN ('Update')) AND (DateofAction = '06/Dec/2026') AND (ID = (SELECT     MAX(ID) AS Expr1 FROM          tblActivity AS A   wHERE      (O.tblUniqueID = tblUniqueID) AND (O.TableName = TableName) AND (Action NOT IN ('Update')))) 
GO

-- Clear Activity
-- on: central
select count(*) from tblActivity where ID>6
GO

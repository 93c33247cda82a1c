-- Voucher types of the branch cost centre that take part in the upload.
GO

-- FillSyncVchTypes
-- on: branch
-- expect-value: 206
-- expect-rows: 7
SELECT   VchTypeID, VchType From tblVchType WHERE  PrimaryCCIDS='2' AND BLNUseForClientSync=1 Order by VchType 
GO

-- Start-up and connect: the branch cost centre, the company list of the startup catalog on
-- both servers, and the settings wizard's cost-centre list.
GO

-- Connect: load the branch cost centre
-- on: branch
-- expect-rows: 1
Select * from tblCostCentre where ccID=2
GO

-- Connect: load the branch cost centre that does not exist
-- on: branch
-- expect-rows: 0
Select * from tblCostCentre where ccID=0
GO

-- settings wizard: central companies (ApplicationID 33 and active, or company 33)
-- on: startup-central
-- expect-value: 33
-- expect-rows: 2
Select * from tblcompany where (ApplicationID IN (33) and active=1) or companyID=33 order by CompanyCode 
GO

-- settings wizard: branch companies
-- on: startup-branch
-- expect-value: 33
-- expect-rows: 2
Select * from tblcompany where (ApplicationID IN (33) and active=1) or companyID=33 order by CompanyCode 
GO

-- settings wizard: cost centres by name
-- on: branch
-- expect-value: 2
-- expect-rows: 3
Select * from tblCostCentre Order by 2 
GO

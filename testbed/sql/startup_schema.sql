-- The ERP's startup catalog QMRStartup: the list of company databases on this server.
-- ApplicationID 33 marks the companies of this ERP; active = 1 the ones in use.
CREATE TABLE [dbo].[tblcompany] (
  [CompanyID] [numeric](18, 0) NOT NULL,
  [CompanyCode] [varchar](50) NOT NULL,
  [CompanyName] [varchar](200) NULL,
  [ApplicationID] [numeric](18, 0) NULL,
  [active] [numeric](18, 0) NULL,
  [FinancialYearFrom] [datetime] NULL,
  [FinancialYearTo] [datetime] NULL,
  [CreatedDate] [datetime] NULL,
  CONSTRAINT [PK_tblcompany] PRIMARY KEY CLUSTERED ([CompanyID] ASC)
)
GO

// The texts of the change-log triggers and of the change-log table.
#include "capture/trigger_texts.h"

namespace erpsync::capture {

namespace {

// Trigger texts are sent as lines, each ending in CR LF.
std::string lines(std::initializer_list<std::string> ls) {
  std::string out;
  for (const auto& l : ls) {
    out += l;
    out += "\r\n";
  }
  return out;
}

// Every row the statement touched gets its own change-log row, numbered in the order of its id above
// the largest id logged so far; a statement that touched no row logs nothing. The voucher form takes
// the voucher type's parent from tblVchType (a row whose type is missing there is logged all the same,
// with an empty parent).
std::string numberedRow(const std::string& source, const std::string& c) {
  return "@name + ROW_NUMBER() OVER (ORDER BY " + source + "." + c + ")";
}

std::string typeColumns(const std::string& source, bool master) {
  return master ? std::string("0,0") : "tblVchType.PARENTID," + source + ".Vchtypeid";
}

std::string fromLine(const std::string& source, bool master) {
  return master ? " from  " + source
                : " from  " + source + " left join tblVchType on tblVchType.Vchtypeid = " + source + ".Vchtypeid";
}

std::string whereLine(const std::string& source, const std::string& c) {
  return " where " + source + "." + c + " is Not NULL";
}

}  // namespace

const std::string& activityTableCreate() {
  static const std::string s =
      " CREATE TABLE [dbo].[tblActivity]( [ID] [numeric](18, 0) NOT NULL, [TableName] [varchar](50) NULL, "
      "[tblUniqueID] [numeric](18, 0) NULL,[Action] [varchar](50) NULL, [Active] [numeric](18, 0) NULL, "
      "[DateofAction] [datetime] NULL,  CONSTRAINT [PK_tblActivity] PRIMARY KEY CLUSTERED (     [id] Asc )WITH "
      "(PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, "
      "ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ) ON [PRIMARY]  ";
  return s;
}

const std::vector<std::string>& activityTableWidenings() {
  static const std::vector<std::string> s{
      " alter TABLE [dbo].[tblActivity] add ParentID [numeric](18, 0), VchTYpeID [numeric](18, 0)",
      " alter TABLE [dbo].[tblActivity] add ActionTime datetime",
      " alter TABLE [dbo].[tblActivity] add tblUniqueRefID [numeric](18, 0)",
  };
  return s;
}

const std::string& dayActivityTableCreate() {
  static const std::string s =
      std::string(
          " CREATE TABLE [dbo].[tblDayActivity](     [ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL,    "
          "[Activity] [varchar](50) NOT NULL,    [TimeOf] [datetime] NULL,    [SystemName] [varchar](50) not "
          "NULL,    [DateOF] [datetime] NULL,     [ActivitiesDetail] [varchar](500) NOT NULL,    [BlnStarted] "
          "[numeric](18, 0) NULL,    [BlnEnded] [numeric](18, 0) NULL,    [CCID] [numeric](18, 0) "
          "NULL,BlockDataEntry [numeric](18, 0),SQLSERVERNAME  [varchar](50) NOT NULL, ") +
      " CONSTRAINT [PK_tblDayActivity] PRIMARY KEY CLUSTERED (   ID Asc )WITH (PAD_INDEX  = OFF, "
      "STATISTICS_NORECOMPUTE  = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON "
      "[PRIMARY] ) ON [PRIMARY] ";
  return s;
}

const std::string& dayActivityTableAddColumns() {
  static const std::string s =
      " Alter TABLE tblDayActivity add BlockDataEntry [numeric](18, 0),SQLSERVERNAME  [varchar](50) NOT NULL  ";
  return s;
}

std::string insertTriggerText(const std::string& n, const std::string& t, const std::string& c, bool master) {
  return lines({
      "create trigger Trig_" + n + "Insert ",
      " ON " + t + " ",
      " FOR Insert",
      " as",
      " DECLARE @name int",
      kNextActivityIdLine,
      " insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , "
      "VchTypeid,ActionTime) select " +
          numberedRow("inserted", c) + ", '" + t + "',inserted." + c +
          ",'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112)," + typeColumns("inserted", master) +
          ",CONVERT(Char(50), GETDATE()) ",
      fromLine("inserted", master),
      whereLine("inserted", c),
  });
}

std::string updateTriggerText(const std::string& n, const std::string& t, const std::string& c, bool master) {
  return lines({
      " create trigger Trig_" + n + "update",
      " ON  " + t + " ",
      " for Update",
      " as",
      " DECLARE @name int",
      kNextActivityIdLine,
      " ",
      " insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, "
      "VchTypeid,ActionTime) select " +
          numberedRow("inserted", c) + ", '" + t + "',inserted." + c +
          ",'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ," + typeColumns("inserted", master) +
          ", CONVERT(Char(50), GETDATE())",
      fromLine("inserted", master),
      whereLine("inserted", c),
  });
}

std::string deleteTriggerText(const std::string& n, const std::string& t, const std::string& c, bool master) {
  return lines({
      " create trigger Trig_" + n + "Delete",
      " ON  " + t + " ",
      " for delete as",
      " DECLARE @name int",
      kNextActivityIdLine,
      " ",
      " insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, "
      "VchTypeid,ActionTime,tblUniqueRefID) select " +
          numberedRow("deleted", c) + ",'" + t + "',deleted." + c +
          ",'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ," + typeColumns("deleted", master) +
          ", CONVERT(Char(50), GETDATE())," + (master ? std::string("0") : std::string("deleted.ServInvID")) + " ",
      fromLine("deleted", master),
      whereLine("deleted", c),
  });
}

const std::string& boardRateTriggerText() {
  // Fragments joined by a bare CR. A rate batch is logged when its vchid differs from the newest one
  // in the log; while the log holds no board-rate row at all the batch is logged too (a comparison with
  // the empty maximum is never true, so nothing would ever start the log).
  static const std::string s = [] {
    const std::vector<std::string> fragments{
        "CREATE trigger [dbo].[Trig_BoardRateUpdateInsert]  ON [dbo].[tblBoardRateMaster]  FOR Insert , Update  as "
        "DECLARE @name int declare @Type INT declare @IT INT declare @VchTypeId INT ",
        " Select @IT= vchid from inserted ",
        std::string(kNextActivityIdLine) + " ",
        " select @name = @name + 1        set  @VchTypeId =0     set @Type = 0 ",
        " if   @IT <>  isnull((select max(tblUniqueID) from tblActivity where TableName = 'tblBoardRateMaster'), -1) ",
        "  begin    insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , "
        "VchTypeid,ActionTime) values (@name, 'tblBoardRateMaster',@IT,'InsertUpdate',1,CONVERT(DATETIME, "
        "CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) ",
        " End ",
    };
    std::string out;
    for (std::size_t i = 0; i < fragments.size(); ++i) {
      if (i) out += '\r';
      out += fragments[i];
    }
    return out;
  }();
  return s;
}

const std::string& boardRateTriggerDrop() {
  static const std::string s = " Drop trigger Trig_BoardRateUpdateInsert ";
  return s;
}

}  // namespace erpsync::capture

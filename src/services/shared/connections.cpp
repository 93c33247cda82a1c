// Opening the company and startup connections, setting up the linked server, reading the server clock.
#include "shared/connections.h"

#include <exception>

#include "db/connection_string.h"
#include "db/db_error.h"
#include "db/sql_quote.h"
#include "settings/settings_files.h"
#include "shared/date_text.h"
#include "shared/head_office_link.h"
#include "shared/sync_context.h"

namespace erpsync {

namespace {

void closeAndRelease(std::unique_ptr<db::Connection>& c) {
  if (c && c->isOpen()) {
    try {
      c->close();
    } catch (...) {
    }
    c.reset();
  }
}

// A connection object for the company database code on server, opened when possible. The object is
// kept even when the open fails, so later use reports a database error instead of finding no
// connection at all. Without a code it is not opened at all: an empty catalog would open the server's
// default database (master), and the schema upgrade would then put its tables there. Why an open
// failed goes into failure (password masked) and is told as a notice when it is new: a head office that
// stays unreachable is told once, not at every pass.
std::unique_ptr<db::Connection> tryOpen(SyncContext& ctx, const std::string& code, const std::string& server,
                                        std::string& failure, bool headOffice) {
  const std::string cs = companyConnectionString(code, server, ctx.sqlLogin);
  std::unique_ptr<db::Connection> c;
  std::string why;
  try {
    c = ctx.makeConnection(cs);
    if (!code.empty()) c->open(cs);
  } catch (const db::DbError& e) {
    why = e.description();
  } catch (const std::exception& e) {
    why = e.what();
  }
  if (why.empty()) {
    failure.clear();
    if (headOffice && !code.empty()) noteHeadOfficeReachable(ctx);
    return c;
  }
  why = withoutSecret(code + " on " + server + " could not be opened: " + why, ctx.sqlLogin.password);
  // Head office away is told once when it goes and once when it is back, whatever the reasons between.
  if (headOffice && !code.empty()) {
    failure = why;
    noteHeadOfficeUnreachable(ctx, why);
  } else if (why != failure) {
    failure = why;
    ctx.log("Connection", why);
    ctx.notice(why);
  }
  return c;
}

}  // namespace

std::string companyConnectionString(const std::string& database, const std::string& server, const SqlLogin& login) {
  using db::connectionStringValue;
  return "Provider=SQLOLEDB.1;Password=" + connectionStringValue(login.password) +
         ";Persist Security Info=True;User ID=" + connectionStringValue(login.user) +
         ";Initial Catalog=" + connectionStringValue(database) + ";Data Source=" + connectionStringValue(server);
}

std::string startupConnectionString(const std::string& password, const std::string& server, const std::string& user) {
  using db::connectionStringValue;
  return "Provider=SQLOLEDB.1;Persist Security Info=False;password=" + connectionStringValue(password) +
         ";User ID=" + connectionStringValue(user) + ";Initial Catalog=" + kStartupCatalog +
         ";Data Source=" + connectionStringValue(server);
}

void OpenCompanyConnections(SyncContext& ctx) {
  closeAndRelease(ctx.LocalConnection);
  closeAndRelease(ctx.WebConnection);
  if (ctx.LocalDbCode.empty()) ctx.host.messageBox(kLocalCodeMissing, Buttons::OK, Icon::Critical);
  if (ctx.WebDbCode.empty()) ctx.host.messageBox(kOnlineCodeMissing, Buttons::OK, Icon::Critical);
  ctx.LocalConnection = tryOpen(ctx, ctx.LocalDbCode, ctx.LocalServerName, ctx.LocalOpenFailure, false);
  ctx.WebConnection = tryOpen(ctx, ctx.WebDbCode, ctx.SyncServerName, ctx.WebOpenFailure, true);
  ctx.reopenCompanyConnections = !db::isOpen(ctx.LocalConnection) || !db::isOpen(ctx.WebConnection);
}

void OpenStartupConnection(SyncContext& ctx, const std::string& server) {
  closeAndRelease(ctx.StartupConnection);
  const std::string cs = startupConnectionString(ctx.saPassword, server, ctx.sqlLogin.user);
  ctx.StartupConnection = ctx.makeConnection(cs);
  ctx.StartupConnection->open(cs);
  // Every open is a new connection object, and a new object has the provider's default time-out.
  ctx.StartupConnection->setCommandTimeout(kStartupCommandTimeout);
}

std::vector<std::string> linkedServerStatements(const std::string& name, const SqlLogin& login) {
  const std::string nq = "N" + db::sqlQuote(name);
  const std::string user = "N" + db::sqlQuote(login.user);
  std::vector<std::string> s;
  s.push_back("IF  EXISTS (SELECT srv.name FROM sys.servers srv WHERE srv.server_id != 0 AND srv.name = " + nq +
              ")EXEC master.dbo.sp_dropserver @server=" + nq + ", @droplogins='droplogins'");
  s.push_back("EXEC master.dbo.sp_addlinkedserver @server = " + nq + ", @srvproduct=N'SQL Server'");
  s.push_back("EXEC master.dbo.sp_addlinkedsrvlogin @rmtsrvname=" + nq +
              ",@useself=N'False',@locallogin=NULL,@rmtuser=NULL,@rmtpassword=NULL");
  s.push_back("EXEC master.dbo.sp_addlinkedsrvlogin @rmtsrvname=" + nq + ",@useself=N'False',@locallogin=" + user +
              ",@rmtuser=" + user + ",@rmtpassword=" + db::sqlQuote(login.password));
  static const char* const options[] = {
      ", @optname=N'collation compatible', @optvalue=N'false'",
      ", @optname=N'data access', @optvalue=N'true'",
      ", @optname=N'dist', @optvalue=N'false'",
      ", @optname=N'pub', @optvalue=N'false'",
      ", @optname=N'rpc', @optvalue=N'false'",
      ", @optname=N'rpc out', @optvalue=N'false'",
      ", @optname=N'sub', @optvalue=N'false'",
      ", @optname=N'connect timeout', @optvalue=N'0'",
      ", @optname=N'collation name', @optvalue=null",
      ", @optname=N'lazy schema validation', @optvalue=N'false'",
      ", @optname=N'query timeout', @optvalue=N'0'",
      ", @optname=N'use remote collation', @optvalue=N'true'",
  };
  for (const char* o : options) s.push_back("EXEC master.dbo.sp_serveroption @server=" + nq + o);
  return s;
}

void ConfigureLinkedServer(SyncContext& ctx, const std::string& name) {
  try {
    auto& local = ctx.local();
    for (const auto& sql : linkedServerStatements(name, ctx.sqlLogin)) local.execute(sql);
  } catch (const std::exception& e) {
    // The statements carry the password: a server that quotes a statement in its error must not show it.
    ctx.host.messageBox(withoutSecret(e.what(), ctx.sqlLogin.password), Buttons::OK, Icon::Exclamation);
  }
}

int timezoneOffsetMinutes(SyncContext& ctx) {
  return settings::ReadTimezoneMinutes(ctx.programFolder);
}

ServerDateTime GetServerDateTime(SyncContext& ctx) {
  ServerDateTime r;
  // An offset outside the 16-bit range is a broken TIMEZONE.ini: the operator is told, and the
  // server's own clock is used rather than a date weeks away.
  int offset = 0;
  try {
    offset = timezoneOffsetMinutes(ctx);
  } catch (const std::exception& e) {
    ctx.host.messageBox(e.what(), Buttons::OK, Icon::Exclamation);
  }
  bool fromServer = false;
  bool reached = false;
  if (isOpen(ctx.WebConnection)) {
    try {
      const std::string sql = offset != 0 ? "Select top 1 dateadd(Minute," + std::to_string(offset) +
                                                ",getutcdate()) as ServDate from tblSettings"
                                          : "Select top 1 Getdate() as ServDate from tblSettings";
      db::Recordset rs = ctx.WebConnection->query(sql);
      reached = true;
      if (!rs.empty()) {
        if (auto t = rs.at(0, "ServDate").toDateTime()) {
          r.date = t->dateOnly();
          r.dateText = ddMMMyyyy(*t);
          r.timeText = timeAmPm(*t);
          fromServer = true;
        }
      }
    } catch (const std::exception& e) {
      ctx.host.messageBox(e.what(), Buttons::OK, Icon::Exclamation);
    }
  }
  if (!fromServer) {
    const db::DateTime now = ctx.clock.now();
    r.date = now.dateOnly();
    r.dateText = ddMMMyyyy(now);
    r.timeText = timeAmPm(now);
    // A central database that answered without a row is the usual local-date fallback; one that could
    // not be asked at all is worth telling the operator, since the working date then depends on this
    // computer's clock.
    if (!reached) {
      r.fromWorkstation = true;
      const std::string text = "Central database not reachable: working date taken from this computer " + r.dateText;
      ctx.status().status(text);
      ctx.log("GetServerDateTime", text);
    }
  }
  return r;
}

}  // namespace erpsync

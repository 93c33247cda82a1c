// The program's three connections (branch company, central company, startup catalog), the linked
// server on the branch server that reaches the central server, and the central server's clock.
#pragma once

#include <string>
#include <vector>

#include "db/value.h"
#include "shared/sql_login.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync {

// The ERP's startup catalog, whose company table lists the company databases.
inline constexpr const char* kStartupCatalog = "QMRStartup";

// "Provider=SQLOLEDB.1;Password=...;Persist Security Info=True;User ID=sa;Initial Catalog=<db>;Data Source=<server>"
// with the login given (the fixed sa login by default). Every value goes through
// db::connectionStringValue, so a name holding ";" or quotes stays one value.
std::string companyConnectionString(const std::string& database, const std::string& server, const SqlLogin& login = {});
// "Provider=SQLOLEDB.1;Persist Security Info=False;password=<pw>;User ID=sa;Initial Catalog=QMRStartup;Data
// Source=<server>"
std::string startupConnectionString(const std::string& password, const std::string& server,
                                    const std::string& user = kSaUser);

// What OpenCompanyConnections shows (critical icon) for an empty LOCALDBCODE / WEBDBCODE.
inline constexpr const char* kLocalCodeMissing = "Local Company Code missing . please take settings and reset settings";
inline constexpr const char* kOnlineCodeMissing =
    "Online Company Code missing . please take settings and reset settings";
// The command time-out of StartupConnection, in seconds, after every open.
inline constexpr int kStartupCommandTimeout = 10;

// (Re)opens LocalConnection and WebConnection from LocalServerName/LocalDbCode and
// SyncServerName/WebDbCode. An empty company code shows the message naming that code and leaves its
// connection closed (it is not opened on the server's default database). Open failures are silent:
// callers test the connection state, and a connection that could not be opened stays as a closed
// object (using it fails with an error).
void OpenCompanyConnections(SyncContext& ctx);

// Closes StartupConnection when open and opens it on the startup catalog of server, with the command
// time-out of kStartupCommandTimeout. Throws DbError when the open fails (the closed connection object
// stays, so the state can be tested).
void OpenStartupConnection(SyncContext& ctx, const std::string& server);

// The statements that drop and re-create the linked server, in the order they run. The name, and the
// login the branch server uses on the central one, are put into N'...' literals with quotes doubled.
std::vector<std::string> linkedServerStatements(const std::string& name, const SqlLogin& login = {});

// Drops and re-creates the linked server name on the branch server (runs on LocalConnection). The
// first failing statement ends it with a message box holding the error (exclamation icon).
void ConfigureLinkedServer(SyncContext& ctx, const std::string& name);

struct ServerDateTime {
  DateTime date;                 // the date, no time part
  std::string dateText;          // "dd/MMM/yyyy"
  std::string timeText;          // "hh:mm:ss AM/PM"
  bool fromWorkstation = false;  // the central database could not be asked; the workstation clock was used
};

// Minutes from Resources/TIMEZONE.ini (leading number, rounded); 0 when missing or empty. Throws
// std::overflow_error("Overflow") when the number does not fit a 16-bit signed integer.
int timezoneOffsetMinutes(SyncContext& ctx);

// The central server's current date: GETDATE() on WebConnection, or GETUTCDATE() plus the minutes of
// TIMEZONE.ini when that holds a non-zero offset. When the central database cannot be reached the
// workstation's date is used, and the status line and the log say so.
ServerDateTime GetServerDateTime(SyncContext& ctx);

}  // namespace erpsync

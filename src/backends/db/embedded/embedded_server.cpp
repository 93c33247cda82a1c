// Server-level pieces of the embedded server: creating a server directory and the server clock.
#include "db/embedded/embedded_server.h"

#include <mutex>
#include <optional>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>

#include "db/connection_string.h"
#include "db/db_error.h"
#include "db/embedded/catalog_file.h"
#include "db/embedded/embedded_connection.h"
#include "db/sql_quote.h"
#include "util/utf8_path.h"

namespace erpsync::db::embedded {

namespace fs = std::filesystem;

namespace {

std::atomic<bool> g_offsetSet{false};
std::atomic<long long> g_offset{0};

long long envOffset() {
  const char* v = std::getenv("ERPSYNC_SERVER_CLOCK_OFFSET");
  if (!v || !*v) return 0;
  return std::atoll(v);
}

DateTime fromTm(const std::tm& tm, int ms) {
  DateTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
  t.millisecond = ms;
  return t;
}

// A stopped clock: the local time it shows, and the UTC time that goes with it.
std::mutex g_frozenMutex;
std::optional<DateTime> g_frozenLocal, g_frozenUtc;

DateTime at(std::chrono::system_clock::time_point tp, bool utc);

DateTime now(bool utc) {
  {
    std::lock_guard lock(g_frozenMutex);
    if (g_frozenLocal) {
      DateTime t = DateTime::fromTotalSeconds((utc ? *g_frozenUtc : *g_frozenLocal).totalSeconds() + clockOffsetSeconds());
      t.millisecond = g_frozenLocal->millisecond;
      return t;
    }
  }
  return at(std::chrono::system_clock::now() + std::chrono::seconds(clockOffsetSeconds()), utc);
}

DateTime at(std::chrono::system_clock::time_point tp, bool utc) {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(tp.time_since_epoch()).count() % 1000;
  if (ms < 0) ms += 1000;
  std::time_t tt = std::chrono::system_clock::to_time_t(tp);
  // The reentrant forms: std::localtime looks at the time-zone file again on every call, and every
  // GETDATE() (each change-log row a trigger writes) would pay for it.
  std::tm tm{};
#ifdef _WIN32
  if (utc)
    gmtime_s(&tm, &tt);
  else
    localtime_s(&tm, &tt);
#else
  if (utc)
    gmtime_r(&tt, &tm);
  else
    localtime_r(&tt, &tm);
#endif
  return fromTm(tm, static_cast<int>(ms));
}

}  // namespace

void freezeClock(std::optional<DateTime> when) {
  std::optional<DateTime> utc;
  if (when) {
    // The distance between local and UTC time as the running clock has it, carried over.
    const auto tp = std::chrono::system_clock::now();
    const long long shift = at(tp, false).totalSeconds() - at(tp, true).totalSeconds();
    utc = DateTime::fromTotalSeconds(when->totalSeconds() - shift);
    utc->millisecond = when->millisecond;
  }
  std::lock_guard lock(g_frozenMutex);
  g_frozenLocal = when;
  g_frozenUtc = utc;
}

void setClockOffsetSeconds(long long seconds) {
  g_offset = seconds;
  g_offsetSet = true;
}

long long clockOffsetSeconds() {
  if (!g_offsetSet) {
    g_offset = envOffset();
    g_offsetSet = true;
  }
  return g_offset;
}

DateTime serverNow() {
  return now(false);
}
DateTime serverUtcNow() {
  return now(true);
}

void createServer(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec)
    throw DbError("Cannot create the server directory " + util::pathToUtf8(dir) + ": " + ec.message(), "HY000", 0);
  if (findCatalogFile(dir, "master")) return;
  initCatalogFile(dir / "master.sqlite");
  EmbeddedConnection c(dir);
  // A folder name may hold ";" or quotes: the data source stays one value.
  c.open("Data Source=" + db::connectionStringValue("embedded:" + util::pathToUtf8(fs::absolute(dir))) +
         ";Initial Catalog=master;User ID=sa");
  c.execute(
      "CREATE TABLE __servers (server_id int NOT NULL, name nvarchar(128) NOT NULL, product nvarchar(128) NULL, "
      "provider nvarchar(128) NULL, data_source nvarchar(4000) NULL, is_linked bit NULL, is_data_access_enabled bit "
      "NULL, is_rpc_out_enabled bit NULL, is_collation_compatible bit NULL, connect_timeout int NULL, query_timeout "
      "int "
      "NULL, lazy_schema_validation bit NULL, uses_remote_collation bit NULL, collation_name nvarchar(128) NULL, "
      "is_remote_login_enabled bit NULL)");
  c.execute(
      "CREATE TABLE __linked_logins (server_id int NOT NULL, local_login nvarchar(128) NULL, uses_self_credential bit "
      "NULL, remote_name nvarchar(128) NULL, remote_password nvarchar(128) NULL)");
  c.execute(
      "CREATE TABLE __server_options (server_id int NOT NULL, optname nvarchar(128) NOT NULL, optvalue "
      "nvarchar(4000) NULL)");
  std::string name = util::pathToUtf8(fs::absolute(dir).lexically_normal().filename());
  if (name.empty()) name = util::pathToUtf8(fs::absolute(dir).parent_path().filename());
  const std::string quoted = sqlQuote(name);
  c.execute(
      "INSERT INTO __servers (server_id, name, product, provider, data_source, is_linked, "
      "is_data_access_enabled) VALUES (0, N" +
      quoted + ", N'SQL Server', N'SQLNCLI', N" + quoted + ", 0, 0)");
}

}  // namespace erpsync::db::embedded

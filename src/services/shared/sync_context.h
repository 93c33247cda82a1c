// What every operation shares: the connections, the settings files, the daily log, the host, the clock,
// the run's working day, where progress is told, and the run-wide values. Operations take SyncContext&;
// no globals. It knows no window: the window's controller extends it with the form (app/window_context.h),
// the headless runner uses it as it is.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "db/connection.h"
#include "form/clock.h"
#include "form/host.h"
#include "settings/daily_log.h"
#include "shared/erp_settings.h"
#include "shared/head_office_link.h"
#include "shared/sql_login.h"
#include "shared/status_sink.h"
#include "shared/working_day.h"

namespace erpsync {

struct SyncContext {
  SyncContext(Host& h, Clock& c, std::filesystem::path folder);
  virtual ~SyncContext();
  SyncContext(const SyncContext&) = delete;
  SyncContext& operator=(const SyncContext&) = delete;

  Host& host;
  Clock& clock;
  std::filesystem::path programFolder;

  // The working day as the window (or the headless runner) has it now: read where an operation
  // starts. The window binds it, the status sink and the pass switch to its controls (bindForm), the
  // headless runner to what connect found; until then the day is today's by the clock, with no cost
  // centre, and progress goes nowhere.
  WorkingDay day() const { return workingDaySource(); }
  std::function<WorkingDay()> workingDaySource;
  // Where operations tell what they are doing.
  StatusSink& status() { return *statusSink; }
  StatusSink* statusSink = nullptr;
  // The AutoSynch switch.
  PassSwitch& passes() { return *passSwitch; }
  PassSwitch* passSwitch = nullptr;
  // What a binding of the run to a window owns (its sink and switch), kept alive with the context.
  std::shared_ptr<void> binding;

  std::unique_ptr<db::Connection> LocalConnection;
  std::unique_ptr<db::Connection> WebConnection;
  std::unique_ptr<db::Connection> StartupConnection;

  std::string LocalServerName;
  std::string SyncServerName;
  std::string LocalDbCode;
  std::string WebDbCode;
  std::string saPassword;
  // The login of both servers (loaded at start-up; the fixed sa login until then). Its password never
  // reaches the daily log or a notice.
  SqlLogin sqlLogin;

  // The company connections stay open between passes; a pass that met a failure (any notice) sets
  // this, and the next pass opens them again (the link may be broken without the objects knowing).
  bool reopenCompanyConnections = true;
  // Notices shown so far, so a pass can tell whether it met a failure.
  int noticesShown = 0;

  // Why the last open of each company connection failed ("" when it is open), password masked: what the
  // operator is told once, instead of a bare "Not connected".
  std::string LocalOpenFailure;
  std::string WebOpenFailure;

  // Head office's link as the passes met it (1 reachable, -1 not, 0 not yet known to this run), and
  // the error that ended the last pass (told once, not at every tick).
  int headOfficeState = 0;
  std::string lastPassError;
  // What the status line last read at head office (asked once a minute at most while idle).
  HeadOfficeFacts headOfficeFacts;

  long long MaxActivityID = 0;
  long long MaxActivityIDTrans = 0;
  bool AutoSyncOn = false;
  std::filesystem::path LogFolder;  // empty until connect
  // The ERP's own switches of the branch company (tblAppSettings), loaded at connect.
  ErpSettings erpSettings;

  // Makes a (not yet opened) connection for a connection string: the backend the Data Source asks for.
  // Tests put their own connections in here.
  std::function<std::unique_ptr<db::Connection>(const std::string& connectionString)> makeConnection;


  // Settings of Resources/Appsettings.ini and Resources/AppsettingsLoop.ini (missing keys are added
  // with the default, as every reader of these files does).
  std::string readSetting(const std::string& key, const std::string& defaultValue = {});
  void writeSetting(const std::string& key, const std::string& value);
  std::string readLoopSetting(const std::string& key, const std::string& defaultValue = {});
  void writeLoopSetting(const std::string& key, const std::string& value);

  // Appends an entry to the log of the working date (the date picker); nothing before connect. A log
  // that cannot be written is told to the operator once, as a notice; once writing works again, the
  // next failure is told again.
  void log(const std::string& label, const std::string& detail);
  // Closes the daily log file held open between the entries of an operation.
  void closeLog() { logFile_.close(); }
  // Holds the entries back (a timer pass, until it knows whether it did anything) instead of writing
  // them. A pass with many entries is not idle: past kHeldLogEntries they are written and no longer held.
  void holdLog();
  // Writes the held entries with their own times (write), or drops them; either way holding ends.
  void releaseLog(bool write);
  static constexpr std::size_t kHeldLogEntries = 200;
  // The operator notice (notifier program beside the executable, else the tray balloon).
  void notice(const std::string& text);

  // The connections for use: throws db::DbError when the connection was never created, so a failed
  // connect ends the operation with its own error report instead of a crash.
  db::Connection& local();
  db::Connection& web();
  db::Connection& startup();

  // A central table as statements on LocalConnection name it: "[" + server + "]." + db + ".dbo." + table.
  std::string centralTable(const std::string& table) const;

 private:
  std::unique_ptr<StatusSink> unboundStatus_;
  std::unique_ptr<PassSwitch> unboundPasses_;
  void writeLog(const db::DateTime& at, const std::string& label, const std::string& detail);
  bool logFailureTold_ = false;
  settings::DailyLogFile logFile_;
  struct HeldEntry {
    db::DateTime at;
    std::string label;
    std::string detail;
  };
  bool holdingLog_ = false;
  std::vector<HeldEntry> heldLog_;
};

// For its lifetime, ctx's working day is day: an operation's steps all see the day it started with,
// whatever the window's date picker does meanwhile. The source is given back at the end.
class ScopedWorkingDay {
 public:
  ScopedWorkingDay(SyncContext& ctx, const WorkingDay& day) : ctx_(ctx), before_(std::move(ctx.workingDaySource)) {
    ctx_.workingDaySource = [day] { return day; };
  }
  ~ScopedWorkingDay() { ctx_.workingDaySource = std::move(before_); }
  ScopedWorkingDay(const ScopedWorkingDay&) = delete;
  ScopedWorkingDay& operator=(const ScopedWorkingDay&) = delete;

 private:
  SyncContext& ctx_;
  std::function<WorkingDay()> before_;
};

}  // namespace erpsync

// Load and connect for the window and the headless runner alike (see connect_session.h).
#include "session/connect_session.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "db/connection.h"
#include "settings/daily_log.h"
#include "settings/settings_files.h"
#include "shared/erp_settings.h"
#include "shared/sync_context.h"
#include "shared/val.h"
#include "util/text.h"

namespace erpsync::session {

namespace {

void tell(const StepSink& step, const std::string& what) {
  if (step) step(what);
}

// A load step: its error is recorded and load goes on with the next step.
template <class F>
void loadStep(LoadOutcome& out, const char* name, F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    out.failures.push_back(failureOf(name, e));
  }
}

// "5;7;": every id is followed by ";", so the text after the last ";" is not an id.
std::vector<std::string> storedIds(const std::string& stored) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t p; (p = stored.find(';', start)) != std::string::npos; start = p + 1)
    parts.push_back(stored.substr(start, p - start));
  return parts;
}

long long wholeOrZero(double v) { return v >= 0 && v <= 2147483647.0 ? std::llround(v) : 0; }

// The cost centre: DEFCOSTCENTREID, and its name from the branch's cost-centre table.
void readCostCentre(SyncContext& ctx, ConnectOutcome& out) {
  out.costCentreTag = ctx.readSetting("DEFCOSTCENTREID", "");
  db::Recordset cc = ctx.local().query("Select * from tblCostCentre where ccID=" + valText(out.costCentreTag));
  if (!cc.empty()) {
    out.costCentreTag = cc.at(0, "CCID").toString();
    out.costCentreName = cc.at(0, "CCNAME").toString();
  }
}

// Creates the day's log folder: one that cannot be created ends the connect with its error, since a
// log folder that does not exist would drop every entry of the day without a word.
void openLogFolder(SyncContext& ctx, const ConnectOutcome& out) {
  const bool logWasOpen = !ctx.LogFolder.empty();
  const std::filesystem::path folder = settings::LogFolderFor(ctx.programFolder, ctx.LocalDbCode, ctx.clock.now());
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) std::filesystem::create_directories(folder);
  ctx.LogFolder = folder;
  // The working date taken from this computer could not be logged before the first log folder existed:
  // it goes into the log of the working date connect found.
  if (out.serverDate.fromWorkstation && !logWasOpen) {
    ScopedWorkingDay pin(ctx, out.day());
    ctx.log("GetServerDateTime", ctx.status().currentStatus());
  }
}

}  // namespace

LoadOutcome loadSession(SyncContext& ctx, const StepSink& step) {
  LoadOutcome out;
  loadStep(out, "Load", [&] {
    SqlLoginResult login = loadSqlLogin(ctx.programFolder);
    ctx.sqlLogin = login.login;
    if (!login.problem.empty()) ctx.host.messageBox(login.problem, Buttons::OK, Icon::Exclamation);
  });
  ctx.saPassword = ctx.sqlLogin.password;
  loadStep(out, "Load", [&] { ctx.LocalServerName = settings::ReadLocalServerName(ctx.programFolder); });
  loadStep(out, "Load", [&] { ctx.SyncServerName = ctx.readSetting("SYNCSERVER", ""); });
  if (ctx.LocalServerName.empty()) {
    out.endProgram = true;
    return out;
  }
  if (ctx.SyncServerName.empty()) {
    out.centralNameMissing = true;
    return out;
  }
  tell(step, "Starting up the application.... ");
  tell(step, "Connection establishing..... ");
  // Every open of the startup catalog sets its 10-second command time-out (OpenStartupConnection).
  loadStep(out, "Load", [&] { OpenStartupConnection(ctx, ctx.LocalServerName); });
  tell(step, "Connection establishing.Done.... ");
  tell(step, "Online Connection and companies.... ");
  loadStep(out, "Load", [&] { OpenStartupConnection(ctx, ctx.SyncServerName); });
  out.centralStartupOpen = db::isOpen(ctx.StartupConnection);
  loadStep(out, "Load", [&] { ctx.MaxActivityID = static_cast<long long>(Val(ctx.readLoopSetting("MaxActivityID", "0"))); });
  loadStep(out, "Load", [&] {
    ctx.MaxActivityIDTrans = static_cast<long long>(Val(ctx.readLoopSetting("MaxActivityIDTrans", "0")));
  });
  tell(step, "Loading Over....Click Connect to proceed.. ");
  return out;
}

WorkingDay ConnectOutcome::day() const {
  WorkingDay d;
  d.date = serverDate.date.dateOnly();
  d.costCentreId = wholeOrZero(Val(costCentreTag));
  d.costCentreName = costCentreName;
  d.intervalMinutes = wholeOrZero(Val(interval));
  for (const auto& t : voucherTypes)
    if (t.selected) d.selectedVoucherTypeIds += (d.selectedVoucherTypeIds.empty() ? "" : ",") + std::to_string(t.id);
  return d;
}

namespace {

// Error 208: "Invalid object name" (the synchroniser's table is not there).
bool missingTable(const db::DbError& e) {
  return e.nativeError() == 208 || e.description().find("Invalid object name") != std::string::npos;
}

// Whether the database behind c lacks tblDayActivity; false for a closed connection (whatever uses it
// reports it) and for any other error.
bool lacksDayActivity(std::unique_ptr<db::Connection>& c) {
  if (!db::isOpen(c)) return false;
  try {
    c->query("SELECT TOP 1 ID FROM tblDayActivity");
  } catch (const db::DbError& e) {
    return missingTable(e);
  }
  return false;
}

// The cost centre's latest day row, which also tells whether head office is prepared: one call.
void readDayRow(SyncContext& ctx, ConnectOutcome& out) {
  if (!out.centralOpen) return;
  try {
    out.dayRow = daycycle::readLatestDayRow(ctx, wholeOrZero(Val(out.costCentreTag)));
  } catch (const db::DbError& e) {
    if (missingTable(e))
      out.unprepared.push_back(ctx.WebDbCode + " (central)");
    else
      ctx.notice(e.description());
  }
}

}  // namespace

std::vector<std::string> unpreparedDatabases(SyncContext& ctx) {
  std::vector<std::string> missing;
  if (lacksDayActivity(ctx.LocalConnection)) missing.push_back(ctx.LocalDbCode + " (branch)");
  if (lacksDayActivity(ctx.WebConnection)) missing.push_back(ctx.WebDbCode + " (central)");
  return missing;
}

void tellUnpreparedDatabases(SyncContext& ctx, const std::vector<std::string>& missing) {
  if (missing.empty()) return;
  const std::string which = missing.size() == 1 ? missing[0] + " has" : missing[0] + " and " + missing[1] + " have";
  ctx.host.messageBox("The databases are not yet prepared for synchronisation: " + which +
                          " no tblDayActivity. Update Database prepares them, once: press Insert for the "
                          "maintenance page, then Update Database (headless: erpsync-cli update-database).",
                      Buttons::OK, Icon::Exclamation);
}

std::vector<VoucherTypeChoice> readVoucherTypeChoices(SyncContext& ctx, const std::string& costCentreTag) {
  std::vector<VoucherTypeChoice> types;
  const db::Recordset rs = ctx.local().query("SELECT   VchTypeID, VchType From tblVchType WHERE  PrimaryCCIDS='" +
                                             valText(costCentreTag) + "' AND BLNUseForClientSync=1 Order by VchType ");
  for (std::size_t r = 0; r < rs.size(); ++r)
    types.push_back({rs.at(r, 0).toInt(), rs.at(r, 1).toString(), false});
  const std::vector<std::string> ids = storedIds(ctx.readSetting("SYNCHVCHTYPEIDS", ""));
  int chosen = 0;
  for (auto& t : types) {
    if (chosen >= static_cast<int>(ids.size())) break;
    for (const auto& id : ids)
      if (static_cast<double>(t.id) == Val(id)) t.selected = true;
    chosen += t.selected ? 1 : 0;
  }
  return types;
}

ConnectOutcome connectSession(SyncContext& ctx, bool tellUnprepared, const StepSink& step) {
  ConnectOutcome out;
  const char* at = "Connect";
  try {
    for (auto* c : {&ctx.LocalConnection, &ctx.WebConnection})
      if (db::isOpen(*c)) (*c)->close();
    tell(step, "Starting connection");
    ctx.LocalDbCode = ctx.readSetting("LOCALDBCODE", "");
    ctx.WebDbCode = ctx.readSetting("WEBDBCODE", "");
    tell(step, "Starting Db connection");
    OpenCompanyConnections(ctx);
    out.branchOpen = db::isOpen(ctx.LocalConnection);
    out.centralOpen = db::isOpen(ctx.WebConnection);
    tell(step, "Db connection Done");
    if (out.centralOpen) ConfigureLinkedServer(ctx, ctx.SyncServerName);
    tell(step, "linked Server configured");
    readCostCentre(ctx, out);
    out.voucherTypes = readVoucherTypeChoices(ctx, out.costCentreTag);
    tell(step, "Cost centers loaded");
    std::string erpError;
    if (!LoadErpSettings(ctx.LocalConnection.get(), ctx.erpSettings, &erpError)) ctx.log("LoadErpSettings", erpError);
    tell(step, "settings Fixed");
    // Head office is a round trip away: its day row is read once, and tells at the same time whether
    // Update Database has prepared it. Before the first Update Database the operator gets one message
    // that says what to do instead of errors.
    if (lacksDayActivity(ctx.LocalConnection)) out.unprepared.push_back(ctx.LocalDbCode + " (branch)");
    readDayRow(ctx, out);
    if (tellUnprepared) tellUnpreparedDatabases(ctx, out.unprepared);
    out.serverDate = GetServerDateTime(ctx);
    tell(step, "Voucher types Loaded");
    out.autoSyncOn = Val(ctx.readSetting("KEEPAUTOSYNCHON", "0")) != 0;
    ctx.AutoSyncOn = out.autoSyncOn;
    out.interval = text::trim(ctx.readSetting("SYNCINTERVAL", "2 Minutes"));
    tell(step, "day start setting");
    if (!out.unprepared.empty()) out.dayRow.reset();  // a branch without day rows shows none
    openLogFolder(ctx, out);
    out.showDayButtons = Val(ctx.readSetting("BLNSHOWDAYSTARTEND", "1")) == 1;
    out.completed = true;
  } catch (const std::exception& e) {
    out.failures.push_back(failureOf(at, e));
  }
  return out;
}

}  // namespace erpsync::session

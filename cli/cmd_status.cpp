// status: reads the settings files and both company databases, runs nothing, takes no lock and
// reconfigures nothing, so it may be asked at any time, also while the window or a service works.
#include "cmd_status.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "app/console_host.h"
#include "cmd_app.h"
#include "db/db_error.h"
#include "reconcile/branch_status.h"
#include "settings/settings_files.h"
#include "shared/connections.h"
#include "shared/sync_context.h"
#include "shared/val.h"
#include "util/date_time.h"

namespace erpsync::cli {

namespace {

// Opens a company connection; why it could not be opened goes into why.
std::unique_ptr<db::Connection> open(SyncContext& ctx, const std::string& code, const std::string& server,
                                     std::string& why) {
  const std::string cs = companyConnectionString(code, server, ctx.sqlLogin);
  try {
    auto c = ctx.makeConnection(cs);
    c->open(cs);
    return c;
  } catch (const db::DbError& e) {
    why = e.description();
  } catch (const std::exception& e) {
    why = e.what();
  }
  why = withoutSecret(code + " on " + server + " could not be opened: " + why, ctx.sqlLogin.password);
  return nullptr;
}

}  // namespace

int runStatus(const StatusOptions& options, std::ostream& out, std::ostream& err) {
  ConsoleHost host(out, err);
  SystemClock clock;
  SyncContext ctx(host, clock, resolveProgramFolder(options.home));
  ctx.sqlLogin = loadSqlLogin(ctx.programFolder).login;
  ctx.LocalServerName = settings::ReadLocalServerName(ctx.programFolder);
  if (ctx.LocalServerName.empty()) {
    err << "[error] No branch server: Resources/ServerName.ini is missing or empty." << std::endl;
    return kExitUsage;
  }
  ctx.SyncServerName = ctx.readSetting("SYNCSERVER", "");
  ctx.LocalDbCode = ctx.readSetting("LOCALDBCODE", "");
  ctx.WebDbCode = ctx.readSetting("WEBDBCODE", "");
  if (ctx.SyncServerName.empty() || ctx.LocalDbCode.empty() || ctx.WebDbCode.empty()) {
    err << "[error] The settings name no branch or head office database (ServerName.ini, SYNCSERVER, LOCALDBCODE, "
           "WEBDBCODE)."
        << std::endl;
    return kExitUsage;
  }
  ctx.MaxActivityID = static_cast<long long>(Val(ctx.readLoopSetting("MaxActivityID", "0")));
  ctx.MaxActivityIDTrans = static_cast<long long>(Val(ctx.readLoopSetting("MaxActivityIDTrans", "0")));
  const auto date = options.date.empty() ? std::nullopt : DateTime::fromIso(options.date);
  WorkingDay day;
  day.date = date ? date->dateOnly() : clock.now().dateOnly();
  ctx.workingDaySource = [day] { return day; };

  std::string branchWhy, headOfficeWhy;
  ctx.LocalConnection = open(ctx, ctx.LocalDbCode, ctx.LocalServerName, branchWhy);
  ctx.WebConnection = open(ctx, ctx.WebDbCode, ctx.SyncServerName, headOfficeWhy);
  reconcile::BranchStatus s = reconcile::readBranchStatus(ctx, true);
  if (!branchWhy.empty()) s.branchError = branchWhy;
  if (!headOfficeWhy.empty()) {
    if (s.link.state != HeadOfficeLink::State::Unreachable) s.link.since.reset();
    s.link.state = HeadOfficeLink::State::Unreachable;
    s.link.reason = headOfficeWhy;
  }
  out << (options.json ? reconcile::branchStatusJson(s) + "\n" : reconcile::branchStatusText(s)) << std::flush;
  const bool reached = s.branchError.empty() && s.link.state == HeadOfficeLink::State::Reachable && s.headOfficeAsked;
  return reached ? kExitOk : kExitOperationError;
}

void addStatusCommand(CLI::App& app, int& exitCode) {
  auto common = std::make_shared<VerbOptions>();
  auto json = std::make_shared<bool>(false);
  CLI::App* sub = app.add_subcommand(
      "status",
      "the branch at a glance: last good pass, vouchers waiting, today's uploads and masters, head office "
      "reachable, push lock (reads only; runs no pass; --date: whose uploads count, default today)");
  // The options of every verb (--yes has nothing to answer here).
  addCommonOptions(*sub, *common);
  sub->add_flag("--json", *json, "one JSON object, for scripts and monitoring");
  sub->callback([common, json, &exitCode] {
    exitCode = runStatus(StatusOptions{common->home, common->date, *json}, std::cout, std::cerr);
  });
}

}  // namespace erpsync::cli

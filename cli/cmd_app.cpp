// connect and run: the start-up and connect the window does, and its automatic passes, without a window.
#include "cmd_app.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <thread>

#include "app/console_host.h"
#include "daycycle/auto_sync_switch.h"
#include "session/session.h"
#include "shared/failure.h"
#include "db/connection.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/val.h"
#include "stop_signal.h"
#include "util/date_time.h"
#include "util/utf8_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace erpsync::cli {

namespace {

std::filesystem::path executableFolder() {
#ifdef _WIN32
  wchar_t buf[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) return std::filesystem::path(std::wstring(buf, n)).parent_path();
#else
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) return p.parent_path();
#endif
  return std::filesystem::current_path();
}

}  // namespace

std::filesystem::path resolveProgramFolder(const std::string& home) {
  if (!home.empty()) return std::filesystem::absolute(util::pathFromUtf8(home));
  if (const char* env = std::getenv("ERPSYNC_HOME"); env && *env) return std::filesystem::absolute(env);
  return executableFolder();
}

void addCommonOptions(CLI::App& verb, VerbOptions& options) {
  verb.add_option("--home", options.home, "program folder (default: ERPSYNC_HOME, else the executable's folder)");
  verb.add_flag("--yes", options.yes, "answer Yes to every question (default: No)");
  verb.add_option("--date", options.date, "working date YYYY-MM-DD (default: the central server's date)")
      ->check([](const std::string& v) -> std::string {
        auto d = DateTime::fromIso(v);
        return d && d->valid() && v.size() == 10 ? "" : "expected a date YYYY-MM-DD";
      });
}

namespace {

// "BR01 on embedded:servers/branch. " for a company database that could not be opened.
std::string whyNotOpen(bool open, const std::string& code, const char* key, const std::string& server,
                       const std::string& why) {
  if (open) return {};
  if (code.empty()) return std::string(key) + " is empty. ";
  std::string said = why.empty() ? code + " on " + server : why;
  if (!said.empty() && said.back() == '.') said.pop_back();  // the driver's sentence ends with its own
  return said + ". ";
}

}  // namespace

int runVerb(const std::string& verb, const VerbOptions& options, const VerbHandler& handler, std::ostream& out,
            std::ostream& err) {
  ConsoleHost host(out, err);
  host.answerYes = options.yes;
  host.stopFlag = &installStopHandlers();
  SystemClock clock;
  SyncContext ctx(host, clock, resolveProgramFolder(options.home));
  host.logNotice = [&ctx](const std::string& text) { ctx.log("Notice", text); };
  session::Session run(ctx, "erpsync-cli " + verb);

  const session::LoadOutcome load = run.load();
  tellFailures(ctx, load.failures);
  if (load.endProgram) {
    ctx.host.messageBox("Please check  Server Name to continue ( servername.ini). ", Buttons::OK, Icon::Critical);
    return kExitUsage;
  }
  // Without the central server name the window waits for the settings wizard; headless there is
  // nothing to wait for.
  if (load.centralNameMissing) {
    ctx.host.messageBox("Please goto settings  SYNCSERVER Name is missing Appsettings.ini", Buttons::OK, Icon::Critical);
    return kExitUsage;
  }
  if (!load.centralStartupOpen) ctx.host.messageBox(ctx.SyncServerName + " Not connected ", Buttons::OK);

  // Update Database is itself the answer to the "not yet prepared" message: it is not shown before it.
  const bool tellUnprepared = verb != "Update Database";
  bool connectRan = false;
  // Refused while another process works in the program folder: the box said who.
  if (!run.runOperation("Connect", [&] { run.connect(tellUnprepared); connectRan = true; })) return kExitOperationError;
  const session::ConnectOutcome& c = run.connection();
  for (const auto& f : c.failures) ctx.notice(f.text + f.step);
  if (!c.opened()) {
    err << "[error] Not connected: "
        << whyNotOpen(c.branchOpen, ctx.LocalDbCode, "LOCALDBCODE", ctx.LocalServerName, ctx.LocalOpenFailure)
        << whyNotOpen(c.centralOpen, ctx.WebDbCode, "WEBDBCODE", ctx.SyncServerName, ctx.WebOpenFailure) << std::endl;
    return kExitOperationError;
  }
  // A connect that stopped part-way (its notice is shown) leaves no working date, voucher types or log
  // folder: no operation runs on such a half-made session.
  if (!connectRan || !c.completed) return kExitOperationError;
  // The working day connect found, its date replaced by the one asked for.
  WorkingDay day = c.day();
  if (!options.date.empty())
    if (auto d = DateTime::fromIso(options.date)) day.date = d->dateOnly();
  ctx.workingDaySource = [day] { return day; };
  ctx.passes().set(c.autoSyncOn);
  daycycle::tellAutoSyncState(ctx);

  Verb v{run, ctx};
  // Before Update Database only what reads the ERP's own tables runs (a pass waits by itself).
  const bool needsPrepared = verb != "Update Database" && verb != "connect" && verb != "counts" && verb != "run";
  if (handler && !run.runOperation(verb, [&] { handler(v, out); }, session::Session::WhenBusy::Tell, needsPrepared))
    v.failed();
  if (host.stopRequested()) {
    // Operations stop between units: nothing half-copied stays behind, the rest waits for the next run.
    const std::string why = "Stopped by " + stopReason() + "; the unit in hand was finished, the rest waits";
    ctx.log("Headless " + verb, why);
    err << "[stopped] " << why << std::endl;
  }
  // A box with the error icon is the operation's own word that it failed.
  if (host.errorsShown() > 0) v.failed();
  return v.exitCode;
}

CLI::App* addButtonVerb(CLI::App& app, int& exitCode, const std::string& name, const std::string& description,
                        VerbHandler handler) {
  auto options = std::make_shared<VerbOptions>();
  CLI::App* sub = app.add_subcommand(name, description);
  addCommonOptions(*sub, *options);
  sub->callback([name, options, handler = std::move(handler), &exitCode] {
    exitCode = runVerb(name, *options, handler, std::cout, std::cerr);
  });
  return sub;
}

namespace {

// Appsettings.ini switch ("1" or "0") for unattended runs: import head office's stock transfers.
constexpr const char* kAutoTransferKey = "AUTOSYNCHINTERIMSTOCKTRANSFER";

// The pause between two passes, cut short when the program is asked to stop.
void pauseUnlessStopped(Host& host, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  const std::chrono::steady_clock::duration step = std::chrono::milliseconds(100);
  for (auto now = std::chrono::steady_clock::now(); !host.stopRequested() && now < end;
       now = std::chrono::steady_clock::now())
    std::this_thread::sleep_for(end - now < step ? end - now : step);
}

// What connect shows the operator, one value a line.
void printConnection(Verb& v, std::ostream& out) {
  const SyncContext& ctx = v.ctx;
  const session::ConnectOutcome& c = v.session.connection();
  const WorkingDay day = v.ctx.day();
  out << "Local server: " << ctx.LocalServerName << "\n";
  out << "Central server: " << ctx.SyncServerName << "\n";
  out << "DesktopCompany: " << ctx.LocalDbCode << "\n";
  out << "OnlineCompany: " << ctx.WebDbCode << "\n";
  out << "Cost centre: " << c.costCentreName << " (" << c.costCentreTag << ")\n";
  out << "Working date: " << ddMMMyyyy(day.date) << "\n";
  out << "Voucher types:";
  bool any = false;
  for (const auto& t : c.voucherTypes)
    if (t.selected) {
      out << (any ? ", " : " ") << t.name << " (" << t.id << ")";
      any = true;
    }
  out << (any ? "" : " none") << "\n";
  out << "Status: Connection .Done.... " << std::endl;
}

// One report line of a pass.
void printPass(long long n, const session::PassOutcome& p, std::ostream& out) {
  out << "Pass " << n << ": ";
  if (p.unprepared)
    out << "waiting: the databases are not yet prepared (run update-database)";
  else if (p.offline)
    out << "no network connection";
  else
    out << "masters applied " << p.masters.applied << ", vouchers uploaded " << p.upload.uploaded
        << (p.upload.alreadyCentral ? ", found at head office " + std::to_string(p.upload.alreadyCentral) : "")
        << ", deletions marked " << p.upload.deletesMarked << ", failed " << p.upload.failed << ", waiting "
        << p.upload.waiting << (p.upload.busy ? ", push lock busy" : "")
        << (p.transfersRan ? ", transfers imported " + std::to_string(p.transfers.imported) : "")
        << (!p.headOfficeAway.empty() ? ", head office away: " + p.headOfficeAway
            : p.error.empty()        ? ""
                                     : ", ended by: " + p.error);
  out << std::endl;
}

}  // namespace

void addAppCommands(CLI::App& app, int& exitCode) {
  addButtonVerb(app, exitCode, "connect", "load and connect as the window does, then show what it shows",
                printConnection);

  auto passes = std::make_shared<int>(1);
  auto waitMs = std::make_shared<int>(5000);
  auto untilQuiet = std::make_shared<bool>(false);
  auto untilStopped = std::make_shared<bool>(false);
  auto importTransfers = std::make_shared<bool>(false);
  CLI::App* run = addButtonVerb(
      app, exitCode, "run", "load, connect and run auto-sync passes",
      [passes, waitMs, untilQuiet, untilStopped, importTransfers](Verb& v, std::ostream& out) {
        printConnection(v, out);
        // Unattended means automatic passes on, whatever the window would start with.
        v.ctx.passes().set(true);
        // The window's "Auto Synch Interim Stock Transfer" box is not kept anywhere; a service takes it
        // from its command line or from the settings file.
        session::PassOptions options;
        options.importTransfers = *importTransfers || Val(v.ctx.readSetting(kAutoTransferKey, "0")) != 0;
        options.dayStart = session::dayStartShown(v.session.connection().dayRow);
        long long done = 0;
        for (long long i = 0; *untilStopped || i < *passes; ++i) {
          // The program folder is free for the window (or another runner) between passes; a pass
          // that finds it taken waits for the next tick.
          std::string holder;
          if (i > 0 && !v.session.pauseProgramFolderLock(
                           [&v, waitMs] { pauseUnlessStopped(v.ctx.host, *waitMs); }, holder)) {
            if (v.ctx.host.stopRequested()) break;
            out << "Pass " << i + 1 << ": skipped, " << holder << " is working in this program folder" << std::endl;
            continue;
          }
          if (v.ctx.host.stopRequested()) break;
          // An operation that turns the passes off (a refused day end) stops the run.
          if (!v.ctx.passes().on()) break;
          const session::PassOutcome p = v.session.pass(options);
          ++done;
          printPass(i + 1, p, out);
          // The run's exit code says whether its last pass ended well: a service's monitor sees a
          // branch that cannot send, not one that failed once and recovered.
          v.exitCode = p.good() ? kExitOk : kExitOperationError;
          const bool quiet = p.idle && p.upload.waiting == 0;
          if (*untilQuiet && quiet) break;
        }
        v.ctx.log("Headless run", "Ended after " + std::to_string(done) + " passes");
      });
  run->add_option("--passes", *passes, "number of passes (default 1; the most with --until-quiet)")
      ->check(CLI::PositiveNumber);
  run->add_option("--wait-ms", *waitMs, "pause between passes in milliseconds (default 5000)")
      ->check(CLI::NonNegativeNumber);
  run->add_flag("--until-quiet", *untilQuiet, "stop after a pass that found nothing to do");
  run->add_flag("--import-transfers", *importTransfers,
                "import head office's waiting stock transfers in every pass (as the window's Auto Synch Interim "
                "Stock Transfer box; also " +
                    std::string(kAutoTransferKey) + "=1 in Appsettings.ini)");
  run->add_flag("--until-stopped", *untilStopped,
                "passes without end, until SIGTERM or Ctrl-C (as a service); --passes is ignored");
}

}  // namespace erpsync::cli

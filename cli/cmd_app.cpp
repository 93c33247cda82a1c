// connect and run: the window's start-up and connect, and its auto-sync timer, without a window.
#include "cmd_app.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <thread>

#include "app/console_host.h"
#include "app/frm_synch.h"
#include "db/connection.h"
#include "form/main_form.h"
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

int runVerb(const std::string& verb, const VerbOptions& options, const VerbHandler& handler, std::ostream& out,
            std::ostream& err) {
  ConsoleHost host(out, err);
  host.answerYes = options.yes;
  host.stopFlag = &installStopHandlers();
  SystemClock clock;
  MainForm form;
  SyncContext ctx(host, clock, form, resolveProgramFolder(options.home));
  host.logNotice = [&ctx](const std::string& text) { ctx.log("Notice", text); };
  FrmSynch frm(ctx);
  frm.programName = "erpsync-cli " + verb;

  if (!frm.Form_Load() || host.quitRequested()) return kExitUsage;
  // Without the central server name the window waits for the settings wizard; headless there is
  // nothing to wait for.
  if (ctx.SyncServerName.empty()) return kExitUsage;

  // Update Database is itself the answer to the "not yet prepared" message: it is not shown before it.
  frm.tellUnpreparedDatabases = verb != "Update Database";
  // Refused while another process works in the program folder: the box said who.
  if (!frm.runOperation("Connect", [&frm] { frm.cmdConnect_Click(); })) return kExitOperationError;
  if (!db::isOpen(ctx.LocalConnection) || !db::isOpen(ctx.WebConnection)) {
    auto which = [](const std::unique_ptr<db::Connection>& c, const std::string& code, const char* key,
                    const std::string& server, const std::string& why) -> std::string {
      if (db::isOpen(c)) return {};
      if (code.empty()) return std::string(key) + " is empty. ";
      std::string said = why.empty() ? code + " on " + server : why;
      if (!said.empty() && said.back() == '.') said.pop_back();  // the driver's sentence ends with its own
      return said + ". ";
    };
    err << "[error] Not connected: "
        << which(ctx.LocalConnection, ctx.LocalDbCode, "LOCALDBCODE", ctx.LocalServerName, ctx.LocalOpenFailure)
        << which(ctx.WebConnection, ctx.WebDbCode, "WEBDBCODE", ctx.SyncServerName, ctx.WebOpenFailure) << std::endl;
    return kExitOperationError;
  }
  // A connect that stopped part-way (its notice is shown) leaves no working date, voucher types or log
  // folder: no operation runs on such a half-made session.
  if (!frm.connected) return kExitOperationError;
  // The working date connect took from the central server, replaced by the one asked for.
  if (!options.date.empty())
    if (auto d = DateTime::fromIso(options.date)) form.dtpdate.setValue(*d);
  // Before Update Database only what reads the ERP's own tables runs (a pass waits by itself).
  const bool needsPrepared = verb != "Update Database" && verb != "connect" && verb != "counts" && verb != "run";
  if (handler) frm.runOperation(verb, [&] { handler(frm, out); }, FrmSynch::WhenBusy::Tell, needsPrepared);
  if (host.stopRequested()) {
    // Operations stop between units: nothing half-copied stays behind, the rest waits for the next run.
    const std::string why = "Stopped by " + stopReason() + "; the unit in hand was finished, the rest waits";
    ctx.log("Headless " + verb, why);
    err << "[stopped] " << why << std::endl;
  }
  return host.errorsShown() + host.noticesShown() > 0 || frm.verbRefused ? kExitOperationError : kExitOk;
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
void printConnection(FrmSynch& frm, std::ostream& out) {
  MainForm& f = frm.form;
  out << "Local server: " << f.lblDesktopIP.caption() << "\n";
  out << "Central server: " << f.lblOnlineIP.caption() << "\n";
  out << f.Label13.caption() << ": " << f.lblDesktopCompany.caption() << "\n";
  out << f.Label14.caption() << ": " << f.lblSynchCompany.caption() << "\n";
  out << f.Label5.caption() << " " << f.lblCostcentre.caption() << " (" << f.lblCostcentre.tag() << ")\n";
  out << "Working date: " << ddMMMyyyy(f.dtpdate.value()) << "\n";
  out << "Voucher types:";
  bool any = false;
  for (const auto& item : f.lstVchtypes.items())
    if (item.selected) {
      out << (any ? ", " : " ") << item.text << " (" << item.itemData << ")";
      any = true;
    }
  out << (any ? "" : " none") << "\n";
  out << "Status: " << f.lblFirststatus.caption() << std::endl;
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
      [passes, waitMs, untilQuiet, untilStopped, importTransfers](FrmSynch& frm, std::ostream& out) {
        printConnection(frm, out);
        // Unattended means auto-sync on, whatever the window would start with.
        frm.form.ChkAutoSynch.setValue(1);
        // The window's "Auto Synch Interim Stock Transfer" box is not kept anywhere; a service takes it
        // from its command line or from the settings file.
        if (*importTransfers || Val(frm.ctx.readSetting(kAutoTransferKey, "0")) != 0)
          frm.form.chkAutoSynchInterimStockTransfer.setValue(1);
        long long done = 0;
        for (long long i = 0; *untilStopped || i < *passes; ++i) {
          // The program folder is free for the window (or another runner) between passes; a pass
          // that finds it taken waits for the next tick.
          std::string holder;
          if (i > 0 &&
              !frm.pauseProgramFolderLock([&frm, waitMs] { pauseUnlessStopped(frm.ctx.host, *waitMs); }, holder)) {
            if (frm.ctx.host.stopRequested()) break;
            out << "Pass " << i + 1 << ": skipped, " << holder << " is working in this program folder" << std::endl;
            continue;
          }
          if (frm.ctx.host.stopRequested()) break;
          // An operation that keeps auto-sync off (a refused day end) stops the run.
          if (!frm.form.timertrigger.enabled()) break;
          frm.hooks.timertrigger_Timer();
          ++done;
          const PassOutcome& p = frm.lastPass;
          out << "Pass " << i + 1 << ": ";
          if (p.offline)
            out << "no network connection";
          else
            out << "masters applied " << p.masters.applied << ", vouchers uploaded " << p.upload.uploaded
                << (p.upload.alreadyCentral ? ", found at head office " + std::to_string(p.upload.alreadyCentral) : "")
                << ", deletions marked " << p.upload.deletesMarked << ", failed " << p.upload.failed << ", waiting "
                << p.upload.waiting << (p.upload.busy ? ", push lock busy" : "")
                << (p.transfersRan ? ", transfers imported " + std::to_string(p.transfers.imported) : "")
                << (p.error.empty() ? "" : ", ended by: " + p.error);
          out << std::endl;
          const bool quiet = !p.offline && p.error.empty() && !p.upload.busy && p.masters.applied == 0 &&
                             p.upload.uploaded + p.upload.alreadyCentral + p.upload.deletesMarked == 0 &&
                             p.upload.waiting == 0 && p.transfers.imported == 0;
          if (*untilQuiet && quiet) break;
        }
        frm.ctx.log("Headless run", "Ended after " + std::to_string(done) + " passes");
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

// erpsync-cli verbs that close and repair the branch's day: day-end, resync, purge.
#include "cmd_daycycle.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <ostream>

#include "app/reconcile_view.h"
#include "cmd_app.h"
#include "daycycle/day_end.h"
#include "daycycle/day_purge.h"
#include "daycycle/manual_resync.h"
#include "form/controls.h"
#include "shared/sync_context.h"
#include "shared/date_text.h"

namespace erpsync::cli {

namespace {

const char* dayEndText(daycycle::DayEndResult r) {
  switch (r) {
    case daycycle::DayEndResult::Closed:
      return "Day closed: vouchers locked, day row written";
    case daycycle::DayEndResult::ClosedWithoutDayRow:
      return "Day closed: vouchers locked, but a day row is missing:";
    case daycycle::DayEndResult::Declined:
      return "Day end not confirmed: nothing changed (answer with --yes)";
    case daycycle::DayEndResult::NoCostCentre:
      return "No cost centre: nothing changed";
    case daycycle::DayEndResult::Waiting:
      return "Refused: vouchers of the day are still waiting to go up; nothing was locked or queued again";
    case daycycle::DayEndResult::Differs:
      return "Refused: branch and head office differ; the vouchers below were queued again, run resync";
    case daycycle::DayEndResult::Unverified:
      return "Refused: head office could not be counted; nothing was locked";
    case daycycle::DayEndResult::Failed:
      return "Stopped by an error; nothing was locked";
  }
  return "";
}

// The rows of a list as the window's grid shows them, below its header, one a line; false when there
// were none.
bool printMismatches(const form::Grid& g, std::ostream& out) {
  bool any = false;
  for (int r = 1; r < g.rows(); ++r) {
    std::string line;
    for (int c = 0; c < g.cols(); ++c) line += (c ? "  " : "") + g.text(r, c);
    if (line.find_first_not_of(' ') == std::string::npos) continue;
    out << "  " << line << "\n";
    any = true;
  }
  return any;
}

}  // namespace

void addDaycycleCommands(CLI::App& app, int& exitCode) {
  addButtonVerb(app, exitCode, "day-end", "close the day when head office holds every voucher since day start",
                [](Verb& v, std::ostream& out) {
                  const daycycle::DayEndOutcome o = daycycle::dayEnd(v.ctx);
                  const auto r = o.result;
                  v.failedIf(r != daycycle::DayEndResult::Closed && r != daycycle::DayEndResult::Declined);
                  form::Grid verified{"msgVerify"}, listed{"msgMisMatch"};
                  if (o.verified) reconcile::showVerify(verified, *o.verified);
                  reconcile::showMismatches(listed, o.listed);
                  out << "Working date: " << ddMMMyyyy(v.ctx.day().date) << "\n" << dayEndText(r) << "\n";
                  if (r == daycycle::DayEndResult::Unverified || r == daycycle::DayEndResult::ClosedWithoutDayRow)
                    out << "  " << v.ctx.status().currentStatus() << "\n";
                  if (r == daycycle::DayEndResult::Waiting) printMismatches(verified, out);
                  if (r == daycycle::DayEndResult::Differs) {
                    if (printMismatches(verified, out)) out << "Queued again:\n";
                    if (!printMismatches(listed, out))
                      out << "  No voucher newly listed: the ones listed before are queued; resync replaces head "
                             "office's copy of the day\n";
                  }
                  out.flush();
                });
  // resync exits with kExitOperationError when head office is left short of the day (vouchers still
  // waiting under the interval, or failed), so a script does not take the day as replaced.
  auto resyncOptions = std::make_shared<VerbOptions>();
  CLI::App* resync = app.add_subcommand(
      "resync", "replace head office's copy of the working date's vouchers of this branch and upload them again");
  addCommonOptions(*resync, *resyncOptions);
  resync->callback([resyncOptions, &exitCode] {
    bool short_ = false;
    exitCode = runVerb("resync", *resyncOptions, [&short_](Verb& v, std::ostream& out) {
      auto r = daycycle::manualResync(v.ctx);
      v.failedIf(r.failed);
      out << "Working date: " << ddMMMyyyy(v.ctx.day().date) << "\n";
      if (r.busy) {
        out << v.ctx.status().currentStatus() << "\n";
      } else if (r.replaced) {
        const long long sent = r.upload.uploaded + r.upload.alreadyCentral;
        out << "Deleted at head office: " << r.centralDeleted << "\nQueued again: " << r.requeued
            << "\nUploaded: " << r.upload.uploaded << "\nFailed: " << r.upload.failed
            << "\nStill waiting (entered less than the interval ago): " << r.upload.waiting
            << (r.upload.busy ? "\nUpload found the push lock busy: the vouchers wait for the next pass" : "") << "\n";
        if (sent < r.requeued) {
          short_ = true;
          out << "Head office is short of " << (r.requeued - sent)
              << " of the day's vouchers until they go up with the next passes\n";
        }
      } else if (r.asked && !r.failed) {
        out << "Not confirmed: nothing changed (answer with --yes)\n";
      }
      out.flush();
    }, std::cout, std::cerr);
    if (exitCode == kExitOk && short_) exitCode = kExitOperationError;
  });
  addButtonVerb(app, exitCode, "purge",
                "delete the branch's vouchers and change log, and this branch's vouchers of the working date at "
                "head office",
                [](Verb& v, std::ostream& out) {
                  auto r = daycycle::dayPurge(v.ctx);
                  v.failedIf(r.failed);
                  out << "Working date: " << ddMMMyyyy(v.ctx.day().date) << "\n";
                  if (r.purged)
                    out << "Deleted at the branch: " << r.branchVouchers
                        << "\nDeleted at head office: " << r.centralVouchers << "\n";
                  else if (!r.failed)
                    out << "Not confirmed: nothing changed (answer with --yes)\n";
                  out.flush();
                });
}

}  // namespace erpsync::cli

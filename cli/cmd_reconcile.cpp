// erpsync-cli verbs of reconciliation: mismatches, verify, marks.
#include "cmd_reconcile.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <ostream>

#include "app/console_host.h"
#include "cmd_app.h"
#include "shared/sync_context.h"
#include "db/connection.h"
#include "reconcile/activity_marks.h"
#include "reconcile/locate_mismatching_trans.h"
#include "reconcile/mismatch_page.h"
#include "reconcile/verify_day.h"
#include "shared/date_text.h"

namespace erpsync::cli {

namespace {

void printMismatches(const reconcile::MismatchOutcome& o, std::ostream& out) {
  for (const auto& v : o.vouchers) {
    out << v.table << "  " << v.number << "  " << v.date << "  type " << v.type << "  "
        << (v.linesDiffer ? "lines " + std::to_string(v.branchLines) + " / " + std::to_string(v.centralLines)
                          : std::string("no live copy at head office"));
    if (v.requeued) out << "  queued for upload again" << (v.retired ? ", head office copy retired" : "");
    out << "\n";
  }
  out << "Mismatching vouchers: " << o.vouchers.size() << std::endl;
}

bool printMarks(Verb& v, std::ostream& out) {
  const WorkingDay day = v.ctx.day();
  reconcile::ActivityLogTops t;
  try {
    t = reconcile::ReadActivityLogTops(v.ctx, day);
  } catch (const db::DbError& e) {
    v.ctx.notice(e.description());
    return false;
  }
  out << "MaxActivityID " << v.ctx.MaxActivityID << "  newest head-office change " << t.server << "\n"
      << "MaxActivityIDTrans " << v.ctx.MaxActivityIDTrans << "  newest new or deleted voucher of "
      << ddMMMyyyy(day.date) << " " << t.branch << "\n"
      << (t.behind(v.ctx) ? "A mark is above its newest change: a reset (--reset) brings it down to that value "
                              "(a mark below its log stays); changes above it are read again, vouchers already at "
                              "head office are only marked"
                            : "The marks are within the logs")
      << std::endl;
  return true;
}

// The headless host answers the operation's question as the verb's flag says.
void answering(Verb& v, bool yes, const std::function<void()>& f) {
  auto* console = dynamic_cast<ConsoleHost*>(&v.ctx.host);
  const bool before = console ? console->answerYes : false;
  if (console) console->answerYes = yes;
  f();
  if (console) console->answerYes = before;
}

}  // namespace

void addReconcileCommands(CLI::App& app, int& exitCode) {
  addButtonVerb(app, exitCode, "mismatches",
                "list the working date's vouchers head office lacks or holds with other lines; with --yes queue "
                "them for upload again",
                [](Verb& v, std::ostream& out) {
                  const WorkingDay day = v.ctx.day();
                  out << "Working date: " << ddMMMyyyy(day.date) << "\n";
                  const auto found = reconcile::ResyncMismatches(v.ctx, day);
                  printMismatches(found, out);
                  v.failedIf(found.failed);
                });

  // verify exits with kExitDiffers when a voucher differs, so scripts can hold the day end back.
  auto options = std::make_shared<VerbOptions>();
  CLI::App* verify = app.add_subcommand(
      "verify", "compare the working date's vouchers one by one (header, lines, quantity and amount sums)");
  addCommonOptions(*verify, *options);
  verify->callback([options, &exitCode] {
    bool differs = false;
    exitCode = runVerb(
        "verify", *options,
        [&differs](Verb& v, std::ostream& out) {
          const WorkingDay day = v.ctx.day();
          const auto o = reconcile::VerifyDay(v.ctx, day);
          out << "Working date: " << ddMMMyyyy(day.date) << "\n";
          for (const auto& d : o.differences)
            out << d.table << "  " << d.number << "  " << d.date << "  type " << d.type << "  "
                << reconcile::findingText(d.finding) << (d.detail.empty() ? "" : ": " + d.detail) << "\n";
          out << "Vouchers compared: " << o.compared << ", differing: " << o.differences.size() << std::endl;
          differs = !o.differences.empty();
          v.failedIf(o.failed);
        },
        std::cout, std::cerr);
    if (exitCode == kExitOk && differs) exitCode = kExitDiffers;
  });

  auto reset = std::make_shared<bool>(false);
  auto clearMasters = std::make_shared<bool>(false);
  CLI::App* marks =
      addButtonVerb(app, exitCode, "marks", "show both high-water marks against the change logs",
                    [reset, clearMasters](Verb& v, std::ostream& out) {
                      v.failedIf(!printMarks(v, out));
                      answering(v, *reset, [&v] { reconcile::ResetActivityMarks(v.ctx, v.ctx.day()); });
                      if (*clearMasters) answering(v, true, [&v] { reconcile::ClearMasterActivity(v.ctx); });
                      if (*reset || *clearMasters) v.failedIf(!printMarks(v, out));
                    });
  marks->add_flag("--reset", *reset, "set a mark that is above its log back to the log (answers the question Yes)");
  marks->add_flag("--clear-masters", *clearMasters,
                  "skip every master change head office has logged so far (answers the question Yes)");
}

}  // namespace erpsync::cli

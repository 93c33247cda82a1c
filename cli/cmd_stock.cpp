// erpsync-cli verbs of the day's stock and ledger: day-start.
#include "cmd_stock.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "cmd_app.h"
#include "daycycle/day_start.h"
#include "shared/sync_context.h"

namespace erpsync::cli {

void addStockCommands(CLI::App& app, int& exitCode) {
  addButtonVerb(app, exitCode, "day-start",
                "open the working day: rebuild the branch's stock and ledger balances from head office's",
                [](Verb& v, std::ostream& out) {
                  // One counter line that rewrites itself, every hundred lines and at the last.
                  int lines = 0;
                  daycycle::DayStartProgress progress;
                  progress.begin = [&lines](int n) { lines = n; };
                  progress.step = [&lines, &out](int done) {
                    if (done > 0 && (done % 100 == 0 || done == lines))
                      out << "\rStock lines: " << done << " of " << lines << (done == lines ? "\n" : "") << std::flush;
                  };
                  const auto o = daycycle::dayStart(v.ctx, progress);
                  v.failedIf(o.started && !o.completed);
                  if (!o.started) {
                    out << "Day start not confirmed (answer with --yes); nothing changed." << std::endl;
                    return;
                  }
                  if (o.refused) {
                    out << "Day start refused: the working day already has sales." << std::endl;
                    return;
                  }
                  if (o.aborted) {
                    out << "Day start aborted; the branch's stock and vouchers are as they were before." << std::endl;
                    return;
                  }
                  out << "Stock lines posted: " << o.stockLines << "\nLedger balances posted: " << o.ledgers
                      << (o.disparity ? "\nWarning: branch and head-office stock totals differ" : "")
                      << (o.dayRowMissing.empty() ? "" : "\nDay row: " + o.dayRowMissing) << std::endl;
                });
}

}  // namespace erpsync::cli

#include "cmd_stock.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "app/daycycle_view.h"
#include "app/frm_synch.h"
#include "cmd_app.h"
#include "form/main_form.h"

namespace erpsync::cli {

void addStockCommands(CLI::App& app, int& exitCode) {
  addButtonVerb(app, exitCode, "day-start",
                "open the working day: rebuild the branch's stock and ledger balances from head office's",
                [](FrmSynch& frm, std::ostream& out) {
                  // One counter line that rewrites itself, every hundred lines and at the last.
                  auto& bar = frm.form.frmInitialize.prg;
                  bar.subscribe([&bar, &out] {
                    if (bar.value() > 0 && (bar.value() % 100 == 0 || bar.value() == bar.max()))
                      out << "\rStock lines: " << bar.value() << " of " << bar.max()
                          << (bar.value() == bar.max() ? "\n" : "") << std::flush;
                  });
                  const auto o = cmdDayStart_Click(frm.ctx);
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

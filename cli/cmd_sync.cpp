#include "cmd_sync.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <ostream>

#include "app/frm_synch.h"
#include "cmd_app.h"
#include "form/main_form.h"
#include "reconcile/count_grid.h"
#include "reconcile/fill_data_count.h"
#include "reconcile/fill_trans_count.h"
#include "sync/upload_masters.h"
#include "sync/upload_transactions.h"

namespace erpsync::cli {

namespace {

// A count grid as a table: label, branch, central, and "<<" on every row marked as differing or waiting.
void printCountGrid(const form::Grid& g, std::ostream& out) {
  std::size_t width = 5;
  for (int r = 0; r < g.rows(); ++r) width = std::max(width, g.text(r, 0).size());
  auto pad = [](const std::string& s, std::size_t w) { return s + std::string(w > s.size() ? w - s.size() : 0, ' '); };
  out << pad("Table", width) << "  " << pad("Branch", 10) << "  " << pad("Central", 10) << "\n";
  for (int r = 1; r < g.rows(); ++r) {
    if (g.text(r, 0) == "Onlinedata" || g.text(r, 0).empty()) continue;
    out << pad(g.text(r, 0), width) << "  " << pad(g.text(r, 1), 10) << "  " << pad(g.text(r, 2), 10)
        << (g.cellColor(r, 0) == kWaitingColor ? "  << waiting to go up" : g.cellColor(r, 0) != 0 ? "  << differs" : "")
        << "\n";
  }
  out.flush();
}

}  // namespace

void addSyncCommands(CLI::App& app, int& exitCode) {
  addButtonVerb(app, exitCode, "download-masters", "bring the masters head office changed into the branch",
                [](FrmSynch& frm, std::ostream& out) {
                  auto o = sync::uploadMasters(frm.ctx);
                  out << "Master changes applied: " << o.applied << (o.completed ? "" : " (stopped early)")
                      << "\nMaxActivityID: " << frm.ctx.MaxActivityID << std::endl;
                });
  addButtonVerb(app, exitCode, "upload", "send the branch's waiting vouchers to head office",
                [](FrmSynch& frm, std::ostream& out) {
                  auto o = sync::uploadTransactions(frm.ctx, false);
                  if (o.busy) out << sync::serverBusySentence(o.busyHolder) << "\n";
                  out << "Uploaded: " << o.uploaded << "\nAlready at head office, marked: " << o.alreadyCentral
                      << "\nDeletions marked: " << o.deletesMarked << "\nFailed: " << o.failed
                      << "\nNot yet old enough: " << o.waiting << "\nMaxActivityIDTrans: " << frm.ctx.MaxActivityIDTrans
                      << std::endl;
                });
  addButtonVerb(app, exitCode, "counts",
                "show branch and central counts side by side (masters, then the day's vouchers)",
                [](FrmSynch& frm, std::ostream& out) {
                  out << "== Masters\n";
                  if (FillDataCount(frm.ctx) >= 0) printCountGrid(frm.form.msgDataCount, out);
                  out << "== Vouchers of " << frm.form.dtpdate.value().iso().substr(0, 10) << "\n";
                  if (FillTransCount(frm.ctx) >= 0) printCountGrid(frm.form.msgTransGrid, out);
                });
}

}  // namespace erpsync::cli

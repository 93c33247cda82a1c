#include "cmd_sync.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <optional>
#include <ostream>

#include "app/frm_synch.h"
#include "cmd_app.h"
#include "form/main_form.h"
#include "reconcile/fill_data_count.h"
#include "reconcile/fill_trans_count.h"
#include "sync/upload_masters.h"
#include "sync/upload_transactions.h"

namespace erpsync::cli {

namespace {

// A count comparison as a table: label, branch, central, and "<<" on every row that differs or waits.
void printCounts(const reconcile::CountComparison& c, std::ostream& out) {
  std::size_t width = 10;  // as wide as the window's "Onlinedata" row
  for (const auto& row : c.rows) width = std::max(width, row.label.size());
  auto pad = [](const std::string& s, std::size_t w) { return s + std::string(w > s.size() ? w - s.size() : 0, ' '); };
  auto count = [](const std::optional<long long>& n) { return n ? std::to_string(*n) : std::string(); };
  out << pad("Table", width) << "  " << pad("Branch", 10) << "  " << pad("Central", 10) << "\n";
  for (const auto& row : c.rows) {
    out << pad(row.label, width) << "  " << pad(count(row.branch), 10) << "  " << pad(count(row.central), 10)
        << (row.state == reconcile::CountState::Waiting   ? "  << waiting to go up"
            : row.state == reconcile::CountState::Differs ? "  << differs"
                                                          : "")
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
                  if (const auto masters = reconcile::CompareMasterCounts(frm.ctx); !masters.failed)
                    printCounts(masters, out);
                  const WorkingDay day = frm.ctx.day();
                  out << "== Vouchers of " << day.date.iso().substr(0, 10) << "\n";
                  if (const auto vouchers = reconcile::CompareVoucherCounts(frm.ctx, day); !vouchers.failed)
                    printCounts(vouchers, out);
                });
}

}  // namespace erpsync::cli

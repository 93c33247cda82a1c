// erpsync-cli verbs of the sync engine: download-masters, upload, counts.
#include "cmd_sync.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <optional>
#include <ostream>

#include "cmd_app.h"
#include "shared/sync_context.h"
#include "reconcile/fill_data_count.h"
#include "reconcile/fill_trans_count.h"
#include "sync/download_masters.h"
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
                [](Verb& v, std::ostream& out) {
                  auto o = sync::downloadMasters(v.ctx);
                  v.failedIf(!o.completed);
                  out << "Master changes applied: " << o.applied << (o.completed ? "" : " (stopped early)")
                      << "\nMaxActivityID: " << v.ctx.MaxActivityID << std::endl;
                });
  addButtonVerb(app, exitCode, "upload", "send the branch's waiting vouchers to head office",
                [](Verb& v, std::ostream& out) {
                  auto o = sync::uploadTransactions(v.ctx, false);
                  v.failedIf(o.failed > 0 || o.stopped);
                  if (o.busy) out << sync::serverBusySentence(o.busyHolder) << "\n";
                  out << "Uploaded: " << o.uploaded << "\nAlready at head office, marked: " << o.alreadyCentral
                      << "\nDeletions marked: " << o.deletesMarked << "\nFailed: " << o.failed
                      << "\nNot yet old enough: " << o.waiting << "\nMaxActivityIDTrans: " << v.ctx.MaxActivityIDTrans
                      << std::endl;
                });
  addButtonVerb(app, exitCode, "counts",
                "show branch and central counts side by side (masters, then the day's vouchers)",
                [](Verb& v, std::ostream& out) {
                  out << "== Masters\n";
                  const auto masters = reconcile::CompareMasterCounts(v.ctx);
                  if (!masters.failed) printCounts(masters, out);
                  const WorkingDay day = v.ctx.day();
                  out << "== Vouchers of " << day.date.iso().substr(0, 10) << "\n";
                  const auto vouchers = reconcile::CompareVoucherCounts(v.ctx, day);
                  if (!vouchers.failed) printCounts(vouchers, out);
                  v.failedIf(masters.failed || vouchers.failed);
                });
}

}  // namespace erpsync::cli

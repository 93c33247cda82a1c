// The voucher comparison of the "UpdateStatus" page: one count per voucher table for the working date and the
// chosen voucher types, on both sides.
#include "reconcile/fill_trans_count.h"

#include "db/connection.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "sync/voucher_kinds.h"

namespace erpsync::reconcile {

std::string voucherCountQuery(const std::string& d, const std::string& f) {
  std::string sql;
  auto add = [&sql](const std::string& select) { sql += (sql.empty() ? " " : " Union ") + select; };
  for (const auto& k : sync::voucherKinds()) {
    const std::string ofTheDay = " where " + k.dateColumn + " ='" + d + "' " + f;
    add("SELECT     '" + k.statusCountName + "' AS Property, COUNT(" + k.key + ") AS Nos From " + k.table + ofTheDay);
    if (!k.statusLineCountName.empty())
      add("SELECT     '" + k.statusLineCountName + "' AS Property, COUNT(" + k.key + ") AS Nos From " + k.detail +
          " Where " + k.key + " in(Select " + k.key + " from " + k.table + ofTheDay + ")");
  }
  return sql + " ORDER BY Property DESC ";
}

CountComparison CompareVoucherCounts(SyncContext& ctx, const WorkingDay& day) {
  CountComparison out;
  out.failed = true;
  try {
    if (day.selectedVoucherTypeIds.empty()) {
      ctx.host.messageBox("No voucher types selected to Synch", Buttons::OK, Icon::Information);
      return out;
    }
    const std::string date = ddMMMyyyy(day.date);
    const std::string filter = " and vchtypeID in (" + day.selectedVoucherTypeIds + ")";
    // The same counts of the branch's vouchers not yet uploaded: a difference they account for is
    // waiting for the upload's interval, not a mismatch.
    return CompareCounts(ctx, voucherCountQuery(date, filter),
                         voucherCountQuery(date, filter + " and isnull(SyncStat,0)<>1"));
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "FilltransCount_Function");
    return out;
  }
}

}  // namespace erpsync::reconcile

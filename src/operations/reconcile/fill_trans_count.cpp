#include "reconcile/fill_trans_count.h"

#include "db/connection.h"
#include "form/main_form.h"
#include "reconcile/count_grid.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"

namespace erpsync {

std::string voucherCountQuery(const std::string& d, const std::string& f) {
  return " SELECT     'Sales' AS Property, COUNT(InvID) AS Nos From tblSales Where InvDate ='" + d + "' " + f +
         " Union SELECT     'SalesItem' AS Property, COUNT(InvID) AS Nos From tblSalesItem Where InvID in(Select InvID "
         "from tblSales where InvDate ='" +
         d + "' " + f + ")" +
         " Union SELECT     'Receipt' AS Property, COUNT(VchID) AS Nos From tblNOtes where VchDate ='" + d + "' " + f +
         " Union SELECT     'StockJournal' AS Property, COUNT(VchID) AS Nos From tblStockJournal where InvDate ='" + d +
         "' " + f +
         " Union SELECT     'StockJournalDetail' AS Property, COUNT(InvID) AS Nos From tblStockJournalDetail Where "
         "InvID "
         "in(Select InvID from tblStockJournal where InvDate ='" +
         d + "' " + f + ")" +
         " Union SELECT     'JobCard' AS Property, COUNT(jobcardid) AS Nos From tblJobcard where JobcardDate ='" + d +
         "' " + f +
         " Union SELECT     'JobCardDetail' AS Property, COUNT(JobCardID) AS Nos From tblJobCardDetail Where JobCardID "
         "in(Select JobCardID from tblJobCard where JobcardDate ='" +
         d + "' " + f + ")" +
         " Union SELECT     'Order' AS Property, COUNT(InvID) AS Nos From tblOrder Where InvDate ='" + d + "' " + f +
         " Union SELECT     'OrderItem' AS Property, COUNT(InvID) AS Nos From tblOrderItem Where InvID in(Select InvID "
         "from tblOrder where InvDate ='" +
         d + "' " + f + ")" + " ORDER BY Property DESC ";
}

int FillTransCount(SyncContext& ctx) {
  try {
    const std::string ids = selectedVoucherTypeIds(ctx);
    if (ids.empty()) {
      ctx.host.messageBox("No voucher types selected to Synch", Buttons::OK, Icon::Information);
      return -1;
    }
    const std::string day = ddMMMyyyy(ctx.form.dtpdate.value());
    const std::string filter = " and vchtypeID in (" + ids + ")";
    // The same counts of the branch's vouchers not yet uploaded: a difference they account for is
    // waiting for the upload's interval, not a mismatch.
    return FillCountGrid(ctx, ctx.form.msgTransGrid, "Table  |DesktopCount|OnlineCount|Mismatch", 4,
                         voucherCountQuery(day, filter), true,
                         voucherCountQuery(day, filter + " and isnull(SyncStat,0)<>1"));
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "FilltransCount_Function");
    return -1;
  }
}

}  // namespace erpsync

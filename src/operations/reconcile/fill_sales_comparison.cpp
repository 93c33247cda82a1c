#include "reconcile/fill_sales_comparison.h"

#include "db/connection.h"
#include "form/main_form.h"
#include "shared/control_fill.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"

namespace erpsync {

namespace {

// The same day of the month before (the last day of that month when it is shorter).
db::DateTime monthBefore(const db::DateTime& d) {
  db::DateTime m = d.dateOnly();
  if (--m.month == 0) m.month = 12, --m.year;
  while (!m.valid() && m.day > 28) --m.day;
  return m;
}

}  // namespace

std::string salesComparisonQuery(SyncContext& ctx, const std::string& from, const std::string& to) {
  return "select InvDate ,sum(DESKTOPSALE) as DESKTOPSALE , sum(ONLINESALE) as ONLINESALE from( SELECT     InvDate, 0 "
         "AS "
         "DESKTOPSALE, COUNT(InvId) AS ONLINESALE From " +
         ctx.centralTable("tblSales") + " WHERE     (InvDate between '" + from + "' and '" + to +
         "')  GROUP BY InvDate Union All SELECT     InvDate, COUNT(InvId) AS DESKTOPSALE, 0 AS ONLINESALE FROM  "
         "tblSales "
         "AS tblSales_1 WHERE     (InvDate between '" +
         from + "' and '" + to + "' ) GROUP BY InvDate ) m group by m.invdate order by m.invdate";
}

void FillSalesComparison(SyncContext& ctx) {
  const db::DateTime d = ctx.form.dtpdate.value();
  try {
    FillControl(ctx.form.msgCompare, salesComparisonQuery(ctx, ddMMMyyyy(monthBefore(d)), ddMMMyyyy(d)), true, false,
                ctx.LocalConnection.get(), ctx.host);
  } catch (const std::exception&) {
    // The control fill reports its own failures.
  }
}

}  // namespace erpsync

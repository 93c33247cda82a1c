// The "Compare" page: branch and central sales counts per day over the month up to the working date.
#include "reconcile/fill_sales_comparison.h"

#include "db/connection.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"

namespace erpsync::reconcile {

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

SalesComparison CompareSales(SyncContext& ctx, const WorkingDay& day) {
  SalesComparison out;
  out.to = day.date.dateOnly();
  out.from = monthBefore(out.to);
  try {
    const db::Recordset rs = ctx.local().query(salesComparisonQuery(ctx, ddMMMyyyy(out.from), ddMMMyyyy(out.to)));
    for (std::size_t r = 0; r < rs.size(); ++r) {
      SalesOfDay s;
      if (const auto d = rs.at(r, "InvDate").toDateTime()) s.date = *d;
      s.branch = rs.at(r, "DESKTOPSALE").toInt();
      s.central = rs.at(r, "ONLINESALE").toInt();
      out.days.push_back(s);
    }
  } catch (const db::DbError& e) {
    out.failed = true;
    ctx.host.messageBox(e.description(), Buttons::OK, Icon::Critical);
  }
  return out;
}

}  // namespace erpsync::reconcile

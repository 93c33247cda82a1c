// The single-table count check that day end runs per voucher table.
#include "reconcile/check_online_rows_tables.h"

#include <cstdlib>

#include "db/connection.h"
#include "shared/sync_context.h"

namespace erpsync::reconcile {

namespace {

long long countOn(db::Connection& c, const std::string& sql) {
  auto rs = c.query(sql);
  return rs.empty() || rs.fields.empty() ? 0 : rs.at(0, 0).toInt();
}

}  // namespace

std::optional<long long> CheckOnlineRowsTables(SyncContext& ctx, const std::string& StrQuery,
                                               const std::string& tableName) {
  StatusSink& status = ctx.status();
  try {
    const long long branch = countOn(ctx.local(), StrQuery);
    const long long central = countOn(ctx.web(), StrQuery);
    if (branch == central) return 0;
    status.status(status.currentStatus() + "The table " + tableName + " differes online " + std::to_string(central) +
                  " and and local " + std::to_string(branch) + "\r\n");
    return std::llabs(branch - central);
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
    status.status(status.currentStatus() + "The table " + tableName + " could not be verified: " + e.description() +
                  "\r\n");
    return std::nullopt;
  }
}

}  // namespace erpsync::reconcile

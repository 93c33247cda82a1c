// The names of the branch's voucher types, shown beside their ids where vouchers are listed.
#include "reconcile/voucher_type_names.h"

#include "db/connection.h"
#include "db/db_error.h"
#include "shared/sync_context.h"
#include "util/text.h"

namespace erpsync::reconcile {

std::map<long long, std::string> voucherTypeNames(SyncContext& ctx) {
  std::map<long long, std::string> names;
  try {
    const db::Recordset rs = ctx.local().query("SELECT VchTypeID, VchType FROM tblVchType");
    for (std::size_t r = 0; r < rs.size(); ++r)
      if (!rs.at(r, 0).isNull()) names[rs.at(r, 0).toInt()] = text::trim(rs.at(r, 1).toString());
  } catch (const db::DbError&) {
    // Only names are missing.
  }
  return names;
}

}  // namespace erpsync::reconcile

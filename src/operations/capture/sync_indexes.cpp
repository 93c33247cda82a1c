// The synchroniser's own indexes, made by Update Database (see sync_indexes.h for why each one).
#include "capture/sync_indexes.h"

#include "sync/voucher_kinds.h"

namespace erpsync::capture {

const std::vector<SyncIndex>& syncIndexes() {
  static const std::vector<SyncIndex> all = [] {
    std::vector<SyncIndex> v{{"erpsync_tblDayActivity_Activity", "tblDayActivity", "Activity", true, true},
                             {"erpsync_tblActivity_tblUniqueID", "tblActivity", "tblUniqueID", false, true}};
    for (const auto& k : sync::voucherKinds())
      v.push_back({"erpsync_" + k.table + "_VchTypeID_" + k.dateColumn + "_" + k.numberColumn, k.table,
                   "VchTypeID, " + k.dateColumn + ", " + k.numberColumn, true, false});
    return v;
  }();
  return all;
}

}  // namespace erpsync::capture

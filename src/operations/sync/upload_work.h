// What one upload pass sends: the deletions waiting to be marked at head office and the vouchers
// waiting at the branch, of any date, oldest first and at most a pass's share of them; the rest waits
// for the next passes. The share keeps a pass short and its memory small however long the branch was
// cut off (a week offline is thousands of vouchers).
#pragma once

#include <cstddef>
#include <set>
#include <vector>

#include "sync/upload_batch.h"
#include "sync/upload_journal.h"

namespace erpsync {
struct SyncContext;
struct WorkingDay;
}  // namespace erpsync

namespace erpsync::sync {

struct Work {
  std::vector<Claim> retiring;
  std::vector<VoucherCopy> copies;  // grouped by kind, in the kinds' order, each kind by its key
  ClaimsOf claims;                  // every claim of the vouchers in copies
  int later = 0;                    // vouchers and deletions beyond this pass's share
};

// Reads the work of a pass: vouchers waiting (SyncStat 0, of the chosen types or already sent once)
// but those in `young` (changed too recently), the oldest `limit` of them with the deletions waiting
// counted in. A deletion of a voucher whose id waits to be sent again (the ERP reused it) goes with
// that send. False after an error (told as a notice).
bool readWork(SyncContext& ctx, const WorkingDay& day, const std::set<VoucherRef>& young, std::size_t limit,
              Work& w);

}  // namespace erpsync::sync

// The day purge ("TEmporary Sales Deleter" on the hidden maintenance page): clears the branch's
// vouchers and change log, and this branch's vouchers of the working date at head office, so a test
// day can be entered again from scratch.
#pragma once

#include <string>
#include <vector>

namespace erpsync {
struct SyncContext;
}

namespace erpsync::daycycle {

struct PurgeOutcome {
  bool purged = false;            // both sides committed
  bool failed = false;            // an error stopped it (shown as a notice); nothing was deleted
  long long branchVouchers = 0;   // the vouchers that go (or went) at the branch
  long long centralVouchers = 0;  // ... and at head office
};

// The statements by side, confined to the voucher-type filter; at head office also to cost centre cc
// and the date text.
struct PurgeStatements {
  std::vector<std::string> branch;
  std::vector<std::string> central;
};
PurgeStatements purgeStatements(int cc, const std::string& dateText, const std::string& filter);

// What the Command1 button runs, for the working day. Counts the vouchers and lines that will go on each side and the
// branch's change log, and asks once with the numbers, the date and the cost centre (No is the default); then deletes
// in one transaction per side (the branch commits first), empties the branch change log and sets MaxActivityIDTrans to
// 0. Auto-sync is off while it runs and back as it was after.
PurgeOutcome dayPurge(SyncContext& ctx);

}  // namespace erpsync::daycycle

// Manual re-sync: sends the working day's vouchers of this branch to head office afresh, replacing
// whatever head office holds of that day for this cost centre.
#pragma once

#include <string>
#include <vector>

#include "sync/upload_transactions.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::daycycle {

struct ResyncOutcome {
  bool asked = false;            // the question was put (a cost centre is defined)
  bool replaced = false;         // head office's copy of the day was deleted and the branch re-queued
  bool busy = false;             // another branch held the push lock: nothing was changed
  bool failed = false;           // an error stopped it (shown as a notice)
  bool finished = false;         // it ran to its end, replaced or answered No (the day's counts may show it)
  long long centralDeleted = 0;  // vouchers deleted at head office
  long long requeued = 0;        // branch vouchers put back in the upload queue
  sync::UploadOutcome upload;    // the upload that followed
};

// The statements that replace the day, by side: central deletes (lines before their vouchers) and the
// branch's re-queue, each confined to cost centre cc, the date text and the voucher-type filter.
struct DayStatement {
  std::string sql;
  bool vouchers = false;  // deletes or re-queues voucher headers (counted), not lines or stock rows
  std::string label;      // the daily log's label for it
};
struct DayReplacement {
  std::vector<DayStatement> central;
  std::vector<DayStatement> branch;
};
DayReplacement dayReplacementStatements(int cc, const std::string& dateText, const std::string& filter);

// What the "Manual Synch" button runs, for the working day. The question counts first and names the
// date, the cost centre and the vouchers and lines on each side; No is its default. On Yes the branch
// re-queues its vouchers of the day in one branch transaction and commits; then one batch deletes this
// branch's vouchers of the working date at head office in one central transaction, with the push lock
// taken and given back inside it (never held across a round trip). So a failure leaves every voucher
// live at head office, queued for upload, or both (which the upload's receipt check recognises); when
// head office is known to have kept the day (another branch held the lock, or it answered with an
// error) the re-queue is undone. Then it uploads the day with the re-sync flag. Auto-sync is off while
// it runs and back as the operator left it on every way out.
ResyncOutcome manualResync(SyncContext& ctx);

}  // namespace erpsync::daycycle

// The transaction upload: sends the branch's new vouchers to head office and marks there the vouchers
// deleted at the branch, under the push lock.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace erpsync {

struct SyncContext;
}  // namespace erpsync

namespace erpsync::sync {

struct UploadOutcome {
  int uploaded = 0;              // vouchers copied to head office
  int alreadyCentral = 0;        // found there from an earlier copy, now marked
  int deletesMarked = 0;         // central copies marked '#DELETEDFROMBRANCH#'
  int failed = 0;                // vouchers that stay waiting after an error
  int waiting = 0;               // vouchers still at the branch: changes not yet old enough, and `later`
  int later = 0;                 // vouchers (of any date) and deletions beyond this pass's share: the next passes send them
  int firstGoesUpInMinutes = 0;  // when the oldest of them is old enough
  // What the run handled, one row per voucher change: action TAB table TAB "date #number".
  std::vector<std::string> activity;
  bool busy = false;       // another branch held the push lock: what was not sent waits for the next pass
  std::string busyHolder;  // the branch that held it then
  bool stopped = false;    // the run ended early (the change log could not be read, or the lock was lost)
};

// One run: the branch's change log above MaxActivityIDTrans (every date) is recorded in the branch's
// own state (deletions of uploaded vouchers as claims to retire, edits of uploaded vouchers as vouchers
// waiting again) and the mark passes it; then every deletion waiting and every voucher waiting (of any
// date, of the chosen types or already at head office) goes up in batches. A change younger than the
// interval holds back the mark and the vouchers changed since. operatorResync: the operator's
// re-sync, which waits for no interval. The working day is read once at the start: its interval, its
// chosen voucher types, its cost centre (deletions of a voucher of unknown natural key are marked on
// this branch's copies only) and name (the push lock's holder).
// passUnits: the most vouchers and deletions one run sends, oldest first; the rest waits for the next
// runs (a share keeps a pass short and its memory small after a long time offline).
inline constexpr std::size_t kPassUnits = 2000;
UploadOutcome uploadTransactions(SyncContext& ctx, bool operatorResync, std::size_t passUnits = kPassUnits);

// What a run did in one sentence for the status box ("3 vouchers sent to head office. 2 vouchers
// waiting; the oldest goes up in 1 minute."); the statements themselves are in the daily log.
std::string uploadSentence(const UploadOutcome& out);
// What the status box says when another branch holds the push lock ("Server Busy with North. waiting.").
std::string serverBusySentence(const std::string& holder);

}  // namespace erpsync::sync

// Many vouchers to head office in one round trip. The upload reads the vouchers it sends from the
// branch set by set, then sends them in T-SQL batches: one batch is one central transaction and one
// call, holding the push lock's take and release, for each voucher its receipt check, its central
// number (max + 1 under UPDLOCK, HOLDLOCK), its header and its lines, and handing back the central
// numbers at the end. A batch runs
// with XACT_ABORT on, so an error anywhere rolls the whole batch back: a voucher is at head office
// whole or not at all.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace erpsync {

struct SyncContext;
namespace db {
class Connection;
class Recordset;
}  // namespace db
}  // namespace erpsync

namespace erpsync::sync {

struct VoucherKind;

// At most this many vouchers, or this much batch text, go up in one batch.
inline constexpr std::size_t kBatchVouchers = 50;
inline constexpr std::size_t kBatchBytes = 256 * 1024;

// One branch voucher ready to go up: its statements with the central number left as the variable @c.
struct VoucherCopy {
  const VoucherKind* kind = nullptr;
  long long branchNo = 0;
  std::string number;              // its printed number, for messages
  std::string receiptWhere;        // its natural key: " and InvNo='S-1' and InvDate=... and VchTypeID=... and CCID=..."
  std::string header;              // "Insert into tblSales (...) values (@c,...)"
  std::vector<std::string> lines;  // "Insert into tblSalesItem (...) values (...,@c,...)"
  // What head office's copy carries, as one short text: two reads of an unchanged voucher give the
  // same text, an edit of any header column or line (the marks and the lock aside) another one.
  std::string content;
  bool marked = false;  // SyncStat 1 when it was read
  std::size_t bytes() const;
};

// Reads the vouchers of one kind among branchNos from the branch, with their lines, set by set (one
// read of headers, one of lines). selection is what picks the headers besides their numbers (the
// waiting mark, or the working date in the operator's re-sync). Numbers the branch no longer holds
// (deleted since, or marked uploaded) are left out.
std::vector<VoucherCopy> readVoucherCopies(db::Connection& branch, const VoucherKind& kind,
                                           const std::vector<long long>& branchNos, const std::string& selection);

// A voucher to copy, and the earlier copies of it to retire in the same transaction (an edit after
// upload, or a new voucher under an id the ERP reused). receipt: a live copy with the same natural key
// is this voucher's own, from an earlier send whose answer was lost: it is taken instead of a new copy.
struct SendUnit {
  const VoucherCopy* copy = nullptr;
  std::vector<std::string> retireFirst;
  bool receipt = false;
  long long claim = 0;  // its claim in the branch's upload journal, written before the send
};

// What one batch carries: central copies to mark deleted at the branch, and vouchers to copy.
struct UploadBatch {
  std::vector<std::string> deletes;
  std::vector<SendUnit> vouchers;
  // Each statement of `deletes`: its claim in the branch's upload journal, and the natural key of the
  // voucher deleted.
  std::vector<long long> deleteTags;
  std::vector<std::string> deleteKeys;
  std::size_t bytes = 0;
  bool empty() const { return vouchers.empty() && deletes.empty(); }
  std::size_t units() const { return vouchers.size() + deletes.size(); }
  // Whether one more unit of this size still fits.
  bool fits(std::size_t more) const {
    return empty() || (units() < kBatchVouchers && bytes + more <= kBatchBytes);
  }
};

// The statement that marks head office's live copies of a branch voucher deleted at the branch: the
// copies with its natural key (naturalWhere, " and InvNo=... and CCID=..."), and of those only the one
// numbered centralNo when that number is known.
std::string retireStatement(const VoucherKind& kind, const std::string& naturalWhere, long long centralNo);

// Gives the session its usual error handling back after a batch that ended in an error: XACT_ABORT
// stays on for the connection, and an error that ends the statement but not the batch (SQL Server
// compiles a statement on a table it cannot find only when it reaches it, and XACT_ABORT does not
// cover that) can leave the batch's transaction open. Later statements would then run inside it and
// be rolled back with it.
inline constexpr const char* kXactAbortOff = "SET XACT_ABORT OFF";
inline constexpr const char* kAfterFailedBatch = "IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION\r\nSET XACT_ABORT OFF";
// Sends kAfterFailedBatch (a failure to do so is left to the next call to meet).
void restoreErrorHandling(db::Connection& central);

// The batch text. lockHolder is this branch's quoted name in the push lock row: the batch takes the
// lock in its own transaction, sends its vouchers only when the lock is this branch's, gives the lock
// back before its commit, and reports who holds the lock when it could not be taken.
std::string uploadBatchText(const UploadBatch& batch, const std::string& lockHolder);

// What head office answered for one batch.
struct BatchReply {
  struct Voucher {
    long long centralNo = 0;
    bool already = false;  // head office held it from an earlier copy: only marked at the branch
  };
  std::vector<Voucher> vouchers;  // in the batch's order
  bool lockHeld = true;           // false: another branch holds the push lock: nothing was sent
  std::string holder;             // the branch that holds it then
};

// Reads the result set of a batch; throws std::runtime_error when it does not answer for every voucher
// of a batch that held the lock.
BatchReply readBatchReply(const db::Recordset& rs, std::size_t vouchers);

}  // namespace erpsync::sync

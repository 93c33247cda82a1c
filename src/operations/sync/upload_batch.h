// Many vouchers to head office in one round trip. The upload reads the vouchers it sends from the
// branch set by set, then sends them in T-SQL batches: one batch is one central transaction and one
// call, holding the push lock's take and release, the receipt check of every voucher, their central
// numbers (max + 1 under UPDLOCK, HOLDLOCK), their headers and their lines, and handing back the
// central numbers at the end. A batch runs with XACT_ABORT on, so an error anywhere rolls the whole
// batch back: a voucher is at head office whole or not at all.
//
// The batch's text depends only on how many vouchers of each kind it carries and, rounded up, how
// many lines: the values travel as parameters beside it (db/statement_params.h). Head office compiles
// one text once and runs it for every batch of that size, where a text holding its values would be a
// new text, compiled again, for every batch.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "db/statement_params.h"

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

// The columns of one table as the upload copies its rows, the same for every row read at once.
struct CopyColumns {
  std::string table;
  std::vector<std::string> names;  // the identity column (numbered by head office) left out
  std::vector<std::string> types;  // their T-SQL types, as a parameter declaration writes them
  int key = -1;                    // the column that takes the central number (a header's key, a line's reference)
  // What a copy's content is made of: the columns but the key and the branch's own bookkeeping, by
  // their lower-case names.
  std::vector<std::string> contentNames;  // "" for a column left out
};

// One branch voucher ready to go up: its values as T-SQL literals, its central number still to come.
struct VoucherCopy {
  const VoucherKind* kind = nullptr;
  long long branchNo = 0;
  std::string number;        // its printed number, for messages
  std::string receiptWhere;  // its natural key: " and InvNo='S-1' and InvDate=... and VchTypeID=... and CCID=..."
  // The natural key's literals (number, date, type, cost centre); complete is false when a part is
  // NULL or missing, and the receipt check then goes by receiptWhere.
  std::array<std::string, 4> natural;
  std::array<std::string, 4> naturalTypes;
  bool naturalComplete = false;
  std::shared_ptr<const CopyColumns> headerColumns, lineColumns;
  std::vector<std::string> header;               // a literal per header column ("@c" at the key)
  std::vector<std::vector<std::string>> lines;   // a literal per line column ("@c" at the reference)
  // What head office's copy carries, as one short text: two reads of an unchanged voucher give the
  // same text, an edit of any header column or line (the marks and the lock aside) another one.
  std::string content;
  bool marked = false;  // SyncStat 1 when it was read
  std::size_t bytes() const;
  // The statements as the daily log shows them: "Insert into tblSales (...) values (@c,...)".
  std::string headerStatement() const;
  std::vector<std::string> lineStatements() const;
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

// A voucher head office was found to hold already (an earlier answer lost): only its earlier copies
// are retired in the batch, and the branch marks it with the central number found.
struct FoundUnit {
  SendUnit unit;
  long long centralNo = 0;
};

// What one batch carries: central copies to mark deleted at the branch, and vouchers to copy.
struct UploadBatch {
  std::vector<std::string> deletes;
  std::vector<SendUnit> vouchers;
  std::vector<FoundUnit> found;
  // Each statement of `deletes`: its claim in the branch's upload journal, and the natural key of the
  // voucher deleted.
  std::vector<long long> deleteTags;
  std::vector<std::string> deleteKeys;
  std::size_t bytes = 0;
  bool empty() const { return vouchers.empty() && deletes.empty() && found.empty(); }
  std::size_t units() const { return vouchers.size() + deletes.size() + found.size(); }
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

// The batch as one call: its text and its parameters. holderName is this branch's name in the push
// lock row: the batch takes the lock in its own transaction, sends its vouchers only when the lock is
// this branch's, gives the lock back before its commit, and reports who holds the lock when it could
// not be taken. When a receipt check finds a voucher at head office already, the batch rolls back
// whole and answers with what it found; the other vouchers go again in the next batch.
struct BatchCall {
  std::string sql;
  std::vector<db::Param> params;
};
BatchCall uploadBatchCall(const UploadBatch& batch, const std::string& holderName);

// What head office answered for one batch.
struct BatchReply {
  struct Voucher {
    long long centralNo = 0;
    bool already = false;  // head office held it from an earlier copy: only marked at the branch
    bool sent = false;     // answered with a number (its copy, or the one found); false while not sent
  };
  std::vector<Voucher> vouchers;  // in the batch's order
  bool lockHeld = true;           // false: another branch holds the push lock: nothing was sent
  std::string holder;             // the branch that holds it then
  // Whether head office committed the batch: the lock held and no voucher found there already (a
  // voucher found rolls the batch back: the found ones are only to be marked, the others go again).
  bool committed() const;
};

// Reads the result set of a batch; throws std::runtime_error when it does not answer for every voucher
// of a batch that held the lock.
BatchReply readBatchReply(const db::Recordset& rs, std::size_t vouchers);

}  // namespace erpsync::sync

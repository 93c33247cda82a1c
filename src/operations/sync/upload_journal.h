// The branch's record of what it sent to head office (tblUploadJournal, branch database only). Before
// a voucher goes up its natural key and content are written here, so whatever happens to the answer
// or to the voucher afterwards (a reply lost, an edit, a deletion, the ERP reusing its id), the pass
// still knows which copy at head office is that voucher's. One row a send ("claim"):
//   Sending  written before the send; the answer has not been recorded (it may have committed)
//   Live     head office holds the copy numbered CentralID
//   Retiring the voucher was deleted at the branch: its copy is to be marked deleted at head office
// A claim with nothing left to do (its copy retired, or replaced by a later send of the same voucher)
// is deleted, so the table holds one row per voucher sent, and a few more while sends are under way.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace erpsync::db {
class Connection;
}

namespace erpsync::sync {

struct VoucherKind;
struct VoucherCopy;

enum ClaimState : int { kClaimSending = 0, kClaimLive = 1, kClaimRetiring = 2 };

struct Claim {
  long long id = 0;
  const VoucherKind* kind = nullptr;
  long long branchNo = 0;
  long long centralNo = 0;   // 0 while not known
  std::string naturalWhere;  // " and InvNo='S-1' and InvDate=... and VchTypeID=... and CCID=..."
  std::string content;       // VoucherCopy::content of what was sent
  int state = kClaimSending;
  // Whether the claim describes this copy of the voucher as it is now.
  bool sameAs(const VoucherCopy& v) const;
};

using VoucherRef = std::pair<const VoucherKind*, long long>;
using ClaimsOf = std::map<VoucherRef, std::vector<Claim>>;

// The table's statement; ensureUploadJournal creates it where it is missing (a branch upgraded by an
// older program). Throws db::DbError when the branch cannot be read.
std::string uploadJournalCreate();
void ensureUploadJournal(db::Connection& branch);

// The claims not closed of the given vouchers of one kind.
void readOpenClaims(db::Connection& branch, const VoucherKind& kind, const std::vector<long long>& branchNos,
                    ClaimsOf& into);
// Every claim waiting to be retired, oldest first.
std::vector<Claim> readRetiringClaims(db::Connection& branch);
// Records the sends about to start, in one statement; returns the claims' ids in the copies' order. A
// voucher appears at most once among them. Throws db::DbError.
std::vector<long long> writeIntents(db::Connection& branch, const std::vector<const VoucherCopy*>& copies);

// Puts an uploaded voucher back in the queue so that its next send replaces whatever head office holds
// under its natural key (retired and copied anew in one head-office transaction): for a copy head
// office holds otherwise than the branch (edited there, or twice). One branch transaction; false when
// the branch no longer holds the voucher.
bool requeueForReplace(db::Connection& branch, const VoucherKind& kind, long long branchNo);

// " or exists (...)": a waiting voucher of this kind that head office holds a copy of, whatever its
// voucher type (an edit of an uploaded voucher goes up even when its type is no longer chosen). Looked
// up per waiting voucher, by the journal's index.
std::string hasOpenClaim(const VoucherKind& kind);
// How many deletions wait to be marked at head office, as one scalar subquery.
std::string retiringCount();

}  // namespace erpsync::sync

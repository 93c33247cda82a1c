// Copies branch vouchers (header and lines) into the central database under new central numbers and
// marks each branch header uploaded (SyncStat = 1, ServInvID = the central number).
#pragma once

#include <string>

namespace erpsync {

struct SyncContext;
struct VoucherKind;
namespace db {
class Connection;
}

struct VoucherCopyOutcome {
  int uploaded = 0;        // copied and marked
  int alreadyCentral = 0;  // found at head office already (an earlier copy whose mark was lost): only marked
  int failed = 0;          // not copied; the branch voucher stays waiting
};

// The next central number of `column` in `table` (its maximum + 1, 1 for an empty table), read on
// `central` with update and range locks, so that inside the caller's transaction no other writer can
// take the same number before the caller commits.
long long NextCentralId(db::Connection& central, const std::string& table, const std::string& column,
                        const std::string& filter);

// Copies the header rows that Condition selects in tableName (or myQuery when not empty), read on
// CnWebcc (the branch), into CnLoc (head office), with their lines of tablenameTrans, FkName set to
// the new central number and IdentityField left out. Each voucher is one central transaction; the
// branch mark is written only after it committed. With receiptCheck, a voucher that head office
// already holds (same printed number, date, voucher type and cost centre, not marked deleted) is
// only marked, never copied twice. On a failure the transaction is rolled back, the push lock
// released, and the operator told; the voucher is offered again by the next upload.
VoucherCopyOutcome CreateInsertQueriesForTrans(SyncContext& ctx, const std::string& tableName,
                                               const std::string& Condition, const std::string& myQuery,
                                               db::Connection& CnLoc, db::Connection& CnWebcc,
                                               const std::string& tablenameTrans, const std::string& FkName, int InvID,
                                               const std::string& IdentityField,
                                               const VoucherKind* receiptCheck = nullptr);

}  // namespace erpsync

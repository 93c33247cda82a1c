// The "Stock Transfer" page: stock that head office (or another branch) moves to this branch during
// the day, with purchase or stock-journal vouchers entered centrally, brought into the branch as an
// opening stock journal before the next day start.
#pragma once

#include <cstddef>
#include <string>

namespace erpsync {

struct SyncContext;
namespace db {
class Recordset;
}

// The central parent type of a voucher type (0 when the type is unknown). -1 is the board-rate
// pseudo type; 2 purchases; 5, 6, 41, 1005 stock journals of this branch (CCID); 16 stock journals
// addressed to this branch (DestCCID).
int interimParentType(SyncContext& ctx, long long vchTypeId);

// The central listing of a type's vouchers (empty for a parent type that lists nothing): the 50 newest
// with top50, else all; with a day start shown in lblDaystart, only those since the day start.
std::string interimTransferListQuery(SyncContext& ctx, int parentType, long long vchTypeId, bool top50);

// Fills cboInterimTransferVchtype with the central voucher types whose stock history brings stock to
// this branch (the first is chosen, which lists its vouchers).
void fillInterimTransferTypes(SyncContext& ctx);

// The list entry of row r of that listing: "InvNo - dd/MMM/yyyy : time/Customfield1".
std::string interimListEntry(const db::Recordset& rs, std::size_t r);

// The central vouchers of the chosen type (cboInterimTransferVchtype) into lstTransfer, each entry
// "InvNo - dd/MMM/yyyy : time/Customfield1" with the central InvID as item data; with a day start shown
// in lblDaystart only those since the day start. Errors: notice "...cbointerimtransfervchtype_change".
void cboInterimTransferVchtype_Change(SyncContext& ctx);

// The items of the chosen voucher into msgInterimItems (shown when it holds at least one item).
void lstTransfer_Click(SyncContext& ctx);

struct TransferImportOutcome {
  bool imported = false;  // the voucher's journal was committed at the branch by this call
  bool replaced = false;  // the branch held an earlier import of it, which this one replaced
  bool marked = false;    // the central voucher now carries "DOWNLAODED"
  bool busy = false;      // another branch holds the push lock: nothing done
  bool failed = false;    // an error ended the import (the branch is as it was)
  int lines = 0;          // stock lines posted
};

// "Import": brings the chosen voucher (lstTransfer) of the chosen type into the branch. Unless
// chkAutoSynchInterimStockTransfer is ticked the operator is asked first. While it runs the central
// push lock is held (taken at the start, renewed before every line, released on every path) and the
// auto-sync switch is off.
// The whole voucher - journal header, its lines and their stock postings - commits in one branch
// transaction, or nothing of it stays. Only after that commit is the central voucher marked
// "DOWNLAODED". A voucher the branch already holds (its journal carries the central voucher type and
// InvID in ProfileID and RefNO) is replaced in that same transaction: the earlier journal, its lines
// and its stock movements are removed and the voucher is posted as head office has it now. So a
// transfer head office corrected reaches the branch, and an import interrupted between the branch
// commit and the central mark completes on the next try; neither ever counts the stock twice.
// With the board-rate entry ("BoardRateUpdator") chosen, the board rates of the listed date are loaded
// instead.
TransferImportOutcome cmdImportInterimtransfers_Click(SyncContext& ctx);

// Imports one central voucher (type vchTypeId, InvID invId) as the button does, without the question.
TransferImportOutcome importInterimTransfer(SyncContext& ctx, long long vchTypeId, long long invId);

// What the unattended import did.
struct AutoTransferOutcome {
  int imported = 0;  // vouchers imported (or imported again in place of an earlier import) in this run
  int failed = 0;    // vouchers whose import failed (the run ended there)
};

// The unattended import of the timer pass: every central voucher of a type that brings stock to this
// branch and is not yet marked "DOWNLAODED" is imported, without questions. A voucher that fails is
// tried once more; when it fails again the run ends and the next pass tries again.
AutoTransferOutcome AutoSynchInterimStockTransfer(SyncContext& ctx);

}  // namespace erpsync

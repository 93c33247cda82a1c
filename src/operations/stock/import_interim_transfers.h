// The import half of the "Stock Transfer" page: stock that head office (or another branch) moves to
// this branch during the day, with purchase or stock-journal vouchers entered centrally, brought into
// the branch as an opening stock journal before the next day start.
#pragma once

#include <string>
#include <vector>

#include "shared/working_day.h"
#include "stock/interim_transfer_list.h"
#include "util/date_time.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::stock {

// A central voucher as the operator is asked about it before it is imported.
struct TransferVoucher {
  std::string invNo;
  DateTime date;
  std::string sender;     // the sending branch (a purchase: its supplier); "" when head office names none
  bool imported = false;  // imported before: head office marked it, or the branch holds its journal
};

// Reads the central voucher (type vchTypeId, InvID invId) and whether the branch imported it before.
// Throws db::DbError when head office holds no such voucher or cannot be read.
TransferVoucher describeInterimTransfer(SyncContext& ctx, long long vchTypeId, long long invId);

struct TransferImportOutcome {
  bool imported = false;  // the voucher's journal was committed at the branch by this call
  bool replaced = false;  // the branch held an earlier import of it, which this one replaced
  bool marked = false;    // the central voucher now carries "DOWNLAODED"
  // Another branch held the push lock: nothing done, or (imported set) the journal is at the branch and
  // the mark waits for the next import, which replaces the journal by the same one and marks.
  bool busy = false;
  bool failed = false;  // an error ended the import (the branch is as it was)
  // The voucher was imported before and the operator left it so: nothing done, and not an error.
  bool alreadyImported = false;
  int lines = 0;  // stock lines posted
};

// What to import: one central voucher, or with boardRates the board rates of the date the listed
// entry names (importBoardRates).
struct TransferImportRequest {
  long long vchTypeId = 0;
  long long invId = 0;
  bool boardRates = false;
  std::string entry;  // the page's list entry of the voucher (read for the board rates' date)
};

// Brings one central voucher into the branch, the auto-sync switch off meanwhile. Head office is read
// first (whether another branch holds the push lock: then nothing is done), the branch's work is done
// with no lock held at head office, and the mark takes the push lock and gives it back within its one
// call: the lock is never held across a round trip. Three calls to head office, whatever the lines.
// The whole voucher - journal header, its lines and their stock postings - commits in one branch
// transaction, or nothing of it stays. Only after that commit is the central voucher marked
// "DOWNLAODED". A voucher the branch already holds (its journal carries the central voucher type and
// InvID in ProfileID and RefNO) is replaced in that same transaction: the earlier journal, its lines
// and its stock movements are removed and the voucher is posted as head office has it now. So a
// transfer head office corrected reaches the branch, and an import interrupted between the branch
// commit and the central mark completes on the next try; neither ever counts the stock twice.
// Errors end it with the notice "...cmdImportInterimtransfers_click" and failed set.
TransferImportOutcome importInterimTransfer(SyncContext& ctx, const WorkingDay& day,
                                            const TransferImportRequest& request);

// Imports one central voucher of the run's working day.
TransferImportOutcome importInterimTransfer(SyncContext& ctx, long long vchTypeId, long long invId);

// What the unattended import did.
struct AutoTransferOutcome {
  int imported = 0;  // vouchers imported (or imported again in place of an earlier import) in this run
  int failed = 0;    // vouchers whose import failed (the run ended there)
  // The vouchers it took up, in order, as the page lists them (the last one may be the one that failed).
  std::vector<TransferEntry> taken;
  bool completed = false;  // it went through every type (not ended by a busy lock or a failure)
};

// The unattended import of the timer pass: every central voucher of a type that brings stock to this
// branch and is not yet marked "DOWNLAODED" is imported, without questions. A voucher that fails is
// tried once more; when it fails again the run ends and the next pass tries again. With a day start
// shown, only the vouchers since then are looked at, as the page lists them. The waiting vouchers of
// every type are read in one call that reads no stock history when none waits: an idle run costs one
// call to head office, two more a voucher imported.
AutoTransferOutcome importWaitingTransfers(SyncContext& ctx, const DayStartShown& since);

}  // namespace erpsync::stock

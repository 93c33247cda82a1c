// Voucher posting shared with the ERP: one double-entry line of the ledger table tblvoucher in the
// branch company database, two rows with the same MainID and TrID, the second with the ledgers swapped
// and the amount on the other side. Day start brings each ledger's opening balance in with it.
#pragma once

#include <optional>
#include <string>

#include "stock/post_stock.h"
#include "util/date_time.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::stock {

// One double entry of the ledger, as the ERP's routine takes it. PostVoucher writes back amount (rounded
// through the ERP's amount format), salesman, currency and conversion (each 0 becomes 1).
struct VoucherEntry {
  int vchType = 0;
  DateTime date;
  long drLedger = 0;
  long crLedger = 0;
  std::string particulars;  // must hold a non-zero number (the ERP keeps the ledger id there)
  std::string narration;
  double amount = 0;
  std::string userNarration;
  long salesman = 0;
  long optional = 0;
  long ccid = 0;
  long currency = 0;
  double conversion = 0;
  std::optional<long> secondCcid;  // the CCID of the second row, when it differs from ccid
  Txn txn = Txn::Own;
};

// Writes both rows of the double entry or neither (see Txn: with Txn::Callers a false outcome leaves
// the caller to roll its transaction back).
// Returns the MainID of the two rows; -1 when the amount is 0 (nothing written, nothing shown); 0 when
// the line is refused (voucher type 0, particulars that are not a non-zero number) or a statement
// failed (the description is shown in a message box), and then nothing of it stays with Txn::Own.
long PostVoucher(SyncContext& ctx, VoucherEntry& entry);

}  // namespace erpsync::stock

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

// Writes both rows of the double entry or neither (see Txn: with Txn::Callers a false outcome leaves
// the caller to roll its transaction back). Arguments as the ERP's routine takes them; amount,
// salesman, currency and conversion are written back (amount rounded through the ERP's amount format,
// a salesman, currency or conversion of 0 becomes 1). secondCcid, when given, is the CCID of the
// second row.
// Returns the MainID of the two rows; -1 when the amount is 0 (nothing written, nothing shown); 0 when
// the line is refused (voucher type 0, particulars that are not a non-zero number) or a statement
// failed (the description is shown in a message box), and then nothing of it stays with Txn::Own.
long PostVoucher(SyncContext& ctx, int vchType, const DateTime& date, long drLedger, long crLedger,
                 const std::string& particulars, const std::string& narration, double& amount,
                 const std::string& userNarration, long& salesman, long optional, long ccid, long& currency,
                 double& conversion, std::optional<long> secondCcid = std::nullopt, Txn txn = Txn::Own);

}  // namespace erpsync::stock

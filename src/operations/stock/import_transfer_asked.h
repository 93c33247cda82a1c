// The operator's import of one head-office voucher into the branch, with the question before it: the
// window's Import button and `erpsync-cli import-transfers VOUCHER` both run it.
#pragma once

#include "stock/import_interim_transfers.h"

namespace erpsync::stock {

// "ST-0003 of 05/Dec/2026 from Head Office" (the sender only with withSender).
std::string transferVoucherName(const TransferVoucher& v, bool withSender);

// Unless unattended, the operator is asked first with the voucher named; a voucher imported before is
// said to be so, and imported again (in place of the earlier import) only when the operator says so
// (No by default). Then the import; the status line says what it did.
TransferImportOutcome importTransferAsked(SyncContext& ctx, const WorkingDay& day, const TransferImportRequest& request,
                                          bool unattended);

}  // namespace erpsync::stock

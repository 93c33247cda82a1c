// The "Stock Transfer" page of the main window: its combo of voucher types, its list of vouchers, the
// item grid and the Import button, shown from what the stock operations read and return.
#pragma once

#include "stock/import_interim_transfers.h"

namespace erpsync {

struct WindowContext;

// The page opened: cboInterimTransferVchtype gets the central voucher types that bring stock to this
// branch (the first is chosen, which lists its vouchers).
void fillInterimTransferTypes(WindowContext& ctx);

// The vouchers of the chosen type into lstTransfer, each entry "InvNo - dd/MMM/yyyy : time/Customfield1"
// with the central InvID as item data; with a day start shown in lblDaystart only those since then.
// Errors: notice "...cbointerimtransfervchtype_change".
void onTransferTypeChosen(WindowContext& ctx);

// The items of the chosen voucher into msgInterimItems, quantities as they come in here (shown when it
// holds at least one item). Errors: notice "...Lsttransfer_click".
void onTransferChosen(WindowContext& ctx);

// "Import": brings the chosen voucher (lstTransfer) of the chosen type into the branch. Unless
// chkAutoSynchInterimStockTransfer is ticked the operator is asked first, with the voucher named; a
// voucher imported before is said to be so, and imported again (in place of the earlier import) only
// when the operator says so. With the board-rate entry ("BoardRateUpdator") chosen, the board rates of
// the listed date are loaded instead. The button is disabled while it runs.
stock::TransferImportOutcome onImportTransfer(WindowContext& ctx);

// The timer pass's unattended import (stock::importWaitingTransfers) with the vouchers it took
// up added to lstTransfer, and the list refreshed afterwards when a type is chosen.
stock::AutoTransferOutcome runInterimTransfersUnattended(WindowContext& ctx);

// The vouchers an unattended import took up added to lstTransfer, and the list refreshed afterwards
// when a type is chosen.
void showTransfersTaken(WindowContext& ctx, const stock::AutoTransferOutcome& out);

}  // namespace erpsync

// The active/inactive state of the branch's batches, taken from head office.
#pragma once

namespace erpsync {
struct SyncContext;
}

namespace erpsync::stock {

// Copies the Active flag of every branch batch (TBLSTOCK) from the central row with the same CCID,
// BatchUnique and ItemID (through the linked server); batches head office does not know become
// active (1). Both statements commit together. Errors: message box (exclamation icon), false, and no
// Active value changes.
bool copyBatchActiveStatus(SyncContext& ctx);

}  // namespace erpsync::stock

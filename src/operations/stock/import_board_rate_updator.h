// Brings head office's board rates (dated selling rate and MRP per item) into the branch: the branch
// copy of tblBoardRateMaster, every stock row of the item and the item master.
#pragma once

#include <optional>
#include <string>

#include "db/value.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::stock {

// Loads board rates from the central database and applies each one to the branch's tblBoardRateMaster,
// tblstock (Srate, bSrate, bMRP of every batch) and tblItemMaster (MRP, Srate). Everything it writes
// commits in one branch transaction, so a failure leaves the branch exactly as it was; the error is
// shown in a message box (critical icon) and the result is false.
//
// dateString blank: a full reload. The branch table is replaced by the rows carrying each item's latest
// central date, applied oldest date first (of two rows on an item's latest date the later one wins).
//
// dateString not blank (the transfer page passes its list entry, "NONUM - 05/Dec/2026 : ..."): a partial
// load. The date is read from the entry (the text after the first " - ", dd/MMM/yyyy or ISO); the
// central rows of that calendar day are loaded, or with changedIdOnly holding a number, only the
// central row of that ID. Each item loaded first loses its branch board-rate rows, so the branch keeps
// one set of rates per item. An entry without a readable date loads nothing and says so.
bool importBoardRates(SyncContext& ctx, const std::string& dateString, const std::string& changedIdOnly);

// The date a list entry of the transfer page names (see above); nothing when it holds none.
std::optional<db::DateTime> boardRateEntryDate(const std::string& entry);

}  // namespace erpsync::stock

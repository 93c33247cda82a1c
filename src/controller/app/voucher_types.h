// The voucher types this branch uploads, verifies at day end and re-synchronises: the multi-select list
// lstVchtypes, its stored choice (SYNCHVCHTYPEIDS) and the SQL filter built from it.
#pragma once

#include <string>

#include "form/controls.h"

namespace erpsync {

struct SyncContext;

// Fills lstVchtypes with the voucher types of the branch's cost centre, re-selects the stored choice,
// then refreshes the day-start labels. Errors end it with a notice.
void FillSyncVchTypes(SyncContext& ctx);

// Click on lstVchtypes: stores the selected ids ("5;7;") when the operator made the change (the list is
// the active control). Errors are ignored.
void lstVchtypes_Click(SyncContext& ctx);

// Right mouse button (2) on a multi-select list: every entry takes the selection state of the current
// entry (select all / clear all).
void ToggleAllOnRightClick(SyncContext& ctx, int button, form::ListBox& list);

// " and vchtypeID in (7,12)" for the selected types; "" (and the status "NO vouchers selected to
// import") when none is selected.
std::string CREateSelVchTypeIDQry(SyncContext& ctx);

}  // namespace erpsync

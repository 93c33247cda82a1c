// The voucher types this branch uploads, verifies at day end and re-synchronises: the multi-select list
// lstVchtypes, its stored choice (SYNCHVCHTYPEIDS) and the SQL filter built from it.
#pragma once

#include <string>

#include "form/controls.h"
#include "shared/voucher_type_filter.h"

namespace erpsync {

struct SyncContext;

// Fills lstVchtypes with the voucher types of the branch's cost centre, re-selects the stored choice,
// then refreshes the day-start labels. Errors end it with a notice.
void FillSyncVchTypes(SyncContext& ctx);

// Click on lstVchtypes: stores the selected ids ("5;7;") when the operator made the change (the list is
// the active control). A failure to store it is told as a notice (error + "Synchronisation VchTypes").
void lstVchtypes_Click(SyncContext& ctx);

// Right mouse button (2) on a multi-select list: every entry takes the selection state of the current
// entry (select all / clear all).
void ToggleAllOnRightClick(SyncContext& ctx, int button, form::ListBox& list);

}  // namespace erpsync

// The voucher types this branch uploads, verifies at day end and re-synchronises: the multi-select list
// lstVchtypes, its stored choice (SYNCHVCHTYPEIDS) and the SQL filter built from it.
#pragma once

#include <vector>

#include "session/connect_session.h"

#include <string>

#include "form/controls.h"
#include "shared/voucher_type_filter.h"

namespace erpsync {

struct WindowContext;
class MainForm;

// lstVchtypes afresh: the voucher types of the branch's cost centre, the stored choice selected.
void showVoucherTypes(MainForm& form, const std::vector<session::VoucherTypeChoice>& types);
// Reads them for the cost centre the window shows and shows them. Errors end it with a notice.
void fillVoucherTypes(WindowContext& ctx);

// Click on lstVchtypes: stores the selected ids ("5;7;") when the operator made the change (the list is
// the active control). A failure to store it is told as a notice (error + "Synchronisation VchTypes").
void onVoucherTypesClicked(WindowContext& ctx);

// Right mouse button (2) on a multi-select list: every entry takes the selection state of the current
// entry (select all / clear all).
void ToggleAllOnRightClick(WindowContext& ctx, int button, form::ListBox& list);

}  // namespace erpsync

// Filling list boxes, combo boxes and grids from a query, so handlers only build the query and name
// the control.
#pragma once

#include <string>

namespace erpsync {
class Host;
namespace form {
class Control;
class ListBox;
class ComboBox;
class ProgressForm;
}  // namespace form
}  // namespace erpsync

namespace erpsync {

namespace db {
class Connection;
}

// How many times a query that failed with "Connection failure" is tried again before the failure is
// reported like any other.
inline constexpr int kConnectionFailureRetries = 3;

// Runs sql on connection (the caller picks LocalConnection or WebConnection; null counts as closed)
// and fills control with the rows:
// - ListBox / ComboBox: column 1 is the entry's text, column 0 its item data; the first entry is
//   selected afterwards (a multi-select list only gets its list index, no entry is selected);
// - Grid: row 0 holds the field names, one row per record after it ("<NULL>" for nulls), one column
//   more than the fields, and always one empty last row;
// - TextBox and every other kind: nothing happens, the query is not run.
// append=false clears the control first. showProgress shows "Loading N Items. Please wait...." with a
// bar on the progress window (when given) and the busy pointer. The message loop runs between rows.
// Failures show a message box (critical icon) and leave what was filled so far; "Connection failure"
// shows "Connection Restablished" and retries the query, at most kConnectionFailureRetries times.
void FillControl(form::Control& control, const std::string& sql, bool showProgress, bool append, db::Connection* connection,
                 Host& host, form::ProgressForm* progress = nullptr);

// Selects the first entry whose item data has the same absolute value as id; false (nothing
// selected) when there is none.
bool SelectByItemData(form::ListBox& list, long long id);
bool SelectByItemData(form::ComboBox& list, long long id);

}  // namespace erpsync

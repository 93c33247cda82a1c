// The settings synchronisation of the "Download From Server" page (first set-up of a branch).
#pragma once

namespace erpsync {
struct SyncContext;
}  // namespace erpsync

namespace erpsync::sync {

// Replaces the branch's tblAppSettings and tblVchType (voucher types of the families the branch uses)
// by the central ones, each table in one branch transaction; the auto-sync switch is off meanwhile.
// Status "Done" when both arrived; false after an error (notice "...cmdSettingsSynch_click"; the
// failed table is as it was).
bool synchroniseSettings(SyncContext& ctx);

}  // namespace erpsync::sync

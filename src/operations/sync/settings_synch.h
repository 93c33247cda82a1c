// The settings synchronisation of the "Download From Server" page (first set-up of a branch).
#pragma once

namespace erpsync {

struct SyncContext;

// "Settings Synchronisation": replaces the branch's tblAppSettings and tblVchType (voucher types of the
// families the branch uses) by the central ones, each table in one branch transaction. False after an
// error (notice "...cmdSettingsSynch_click"; the failed table is as it was).
bool cmdSettingsSynch_Click(SyncContext& ctx);

}  // namespace erpsync

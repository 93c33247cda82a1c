// The "Free Server" button: the operator's override for a push lock left behind.
#pragma once

namespace erpsync {
struct SyncContext;
}

namespace erpsync::sync {

// Removes every lock row at head office, whoever holds it, without asking, and shows the lock "FREE".
// Errors are told as a notice.
void cmdFreeServer_Click(SyncContext& ctx);

}  // namespace erpsync::sync

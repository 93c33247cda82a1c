// The "Free Server" button: the operator's override for a push lock left behind.
#pragma once

namespace erpsync {
struct SyncContext;
}

namespace erpsync::sync {

// Removes every lock row at head office, whoever holds it, without asking, and shows the lock "FREE".
// False after an error (told as a notice).
bool freeServer(SyncContext& ctx);

}  // namespace erpsync::sync

// Whether this computer has a network connection at all: the auto-sync pass does nothing without one.
#pragma once

namespace erpsync {

// True when the system reports a network connection: on Windows the system's connected state, elsewhere
// a network interface other than the loopback that is up and running.
bool IsWebConnected();

}  // namespace erpsync

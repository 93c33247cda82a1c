// The one platform-specific piece of the connectivity test.
#include "shared/network_state.h"

#ifdef _WIN32
#include <windows.h>
#include <wininet.h>
#else
#include <ifaddrs.h>
#include <net/if.h>
#endif

namespace erpsync {

bool IsWebConnected() {
#ifdef _WIN32
  DWORD flags = 0;
  return InternetGetConnectedState(&flags, 0) != FALSE;
#else
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  bool up = false;
  for (ifaddrs* i = list; i && !up; i = i->ifa_next) {
    if (!i->ifa_addr || (i->ifa_flags & IFF_LOOPBACK)) continue;
    up = (i->ifa_flags & IFF_UP) && (i->ifa_flags & IFF_RUNNING);
  }
  freeifaddrs(list);
  return up;
#endif
}

}  // namespace erpsync

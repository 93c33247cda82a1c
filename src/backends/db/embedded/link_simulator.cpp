// The simulated link's settings and its wait (see link_simulator.h).
#include "db/embedded/link_simulator.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "util/text.h"

namespace erpsync::db::embedded::link {

namespace {

std::atomic<int> rtt{0};

std::mutex& serverMutex() {
  static std::mutex m;
  return m;
}
std::string& serverName() {
  static std::string* s = new std::string("central");  // never destroyed: used while the process exits
  return *s;
}

}  // namespace

void configureLink(int rttMs, const std::string& server) {
  {
    std::lock_guard lock(serverMutex());
    serverName() = server.empty() ? std::string("central") : server;
  }
  rtt.store(rttMs > 0 ? rttMs : 0);
}

void loadFromEnvironment() {
  static std::once_flag once;
  std::call_once(once, [] {
    const char* ms = std::getenv("ERPSYNC_LINK_RTT_MS");
    if (!ms || !*ms) return;
    char* end = nullptr;
    const long n = std::strtol(ms, &end, 10);
    if (*end != '\0' || n < 0 || n > 60000) {
      std::fprintf(stderr, "ERPSYNC_LINK_RTT_MS ignored: %s is not a time in milliseconds\n", ms);
      return;
    }
    const char* server = std::getenv("ERPSYNC_LINK_SERVER");
    configureLink(static_cast<int>(n), server && *server ? server : "central");
  });
}

bool acrossLink(std::string_view where) {
  std::lock_guard lock(serverMutex());
  return text::lower(where).find(text::lower(serverName())) != std::string::npos;
}

void wait(int trips) {
  const int ms = rtt.load(std::memory_order_relaxed);
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<long long>(ms) * trips));
}

}  // namespace erpsync::db::embedded::link

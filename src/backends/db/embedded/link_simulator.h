// A simulated network link for the embedded server. Branches reach head office across the internet,
// where every call is a round trip of 20 to 100 ms; on this machine the servers answer at once. With a
// round-trip time set, every call on a connection to a matching server waits that long before it
// answers (a statement or batch, begin, commit, rollback), and an open waits three times as long (TCP,
// TLS and the login), so benchmarks and the concurrency run see what a branch on a real link sees.
//
// Set by the environment when the first embedded connection is made:
//   ERPSYNC_LINK_RTT_MS=N     the round-trip time (0 or unset: off, and then it costs nothing)
//   ERPSYNC_LINK_SERVER=S     which servers are across the link: those whose folder or catalog contains
//                             S, letter case aside (default "central")
// or in-process by configureLink().
#pragma once

#include <string>
#include <string_view>

namespace erpsync::db::embedded::link {

// Replaces the link's settings (rttMs 0 turns it off). Connections opened earlier keep their verdict
// on whether they are across the link, but wait with the new time.
void configureLink(int rttMs, const std::string& server = "central");
// Reads ERPSYNC_LINK_RTT_MS and ERPSYNC_LINK_SERVER once per process; a malformed time is reported
// on stderr and ignored.
void loadFromEnvironment();

// Whether a connection to this server folder and catalog ("folder/catalog") is across the link.
bool acrossLink(std::string_view where);
// Waits `trips` round trips when the link is on (called only for connections across it).
void wait(int trips = 1);

}  // namespace erpsync::db::embedded::link

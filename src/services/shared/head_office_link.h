// Whether head office can be reached, as the passes meet it, and since when. The operator is told once
// when the link goes and once when it is back (a notice, never a box that waits for a click); the
// state and its time are kept in AppsettingsLoop.ini, so `erpsync-cli status` can report them.
#pragma once

#include <optional>
#include <string>

#include "util/date_time.h"

namespace erpsync {

struct SyncContext;

struct HeadOfficeLink {
  enum class State { Unknown, Reachable, Unreachable } state = State::Unknown;
  std::optional<DateTime> since;  // when it last changed to this state
  std::string reason;             // why head office could not be reached
};

// What the status line reads at head office in its one call, kept between the calls.
struct HeadOfficeFacts {
  bool known = false;
  long long askedAt = -1;  // workstation clock, seconds
  int mastersReceivedToday = 0;
  int mastersWaiting = 0;
  std::string lockHolder;  // "" while the push lock is free
};

// The notices (and log lines) of a change of state.
std::string headOfficeLostText(const std::string& reason);
std::string headOfficeBackText();

// The state as kept in the loop settings file (Unknown when no pass has recorded one). Reads only.
HeadOfficeLink readHeadOfficeLink(SyncContext& ctx);

// What a pass found. A change of state is told (notice and daily log), written to the loop settings
// file, and reported by the return value; the same state again writes and tells nothing.
bool noteHeadOfficeReachable(SyncContext& ctx);
bool noteHeadOfficeUnreachable(SyncContext& ctx, const std::string& reason);

// The last pass that reached head office and ended without an error, kept to the minute.
void noteGoodPass(SyncContext& ctx);
std::optional<DateTime> readLastGoodPass(SyncContext& ctx);

}  // namespace erpsync

// Server-level pieces of the embedded server: creating a server directory and the server clock.
#pragma once

#include <filesystem>
#include <optional>

#include "db/value.h"

namespace erpsync::db::embedded {

// Creates the server directory (and parents) and its `master` catalog, which holds the server's own
// catalog of linked servers. Creating an existing server leaves it as it is.
void createServer(const std::filesystem::path& dir);

// Shifts the server clock (GETDATE/GETUTCDATE) by a number of seconds, process-wide. Until it is set,
// the offset is read from the environment variable ERPSYNC_SERVER_CLOCK_OFFSET (seconds, may be
// negative), so other processes working on the same server can be shifted alike.
void setClockOffsetSeconds(long long seconds);
long long clockOffsetSeconds();

// Stops the wall clock the server reads at `when` (local time; UTC follows by the process's time-zone
// offset), process-wide, so tests that judge ages to the second need not race it; the offset above still
// applies on top. nullopt lets it run again.
void freezeClock(std::optional<DateTime> at);

// The server's local and UTC "now", offset applied, to the millisecond.
DateTime serverNow();
DateTime serverUtcNow();

}  // namespace erpsync::db::embedded

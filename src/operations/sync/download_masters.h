// The master download: brings every master row that head office changed since the last pass into the
// branch database (delete the branch copy, copy the central row in its place).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "db/value.h"

namespace erpsync {

struct SyncContext;
}  // namespace erpsync

namespace erpsync::sync {

// What one run did, for the timer pass and the headless runner.
struct MasterDownloadOutcome {
  int applied = 0;        // change-log rows handled (copied, deleted, excluded or skipped)
  bool completed = true;  // false: the run stopped at a row that failed (or could not read the log)
  // The change-log rows the run read, counted per table and day, in the order first met: what waited.
  struct Waiting {
    std::string table;
    std::string day;  // "d/m/yyyy", as the daily log names it
    int count = 0;
    std::optional<DateTime> date;  // the same day, for a display
  };
  std::vector<Waiting> waiting;
  long long firstMark = 0;  // MaxActivityID when the run began
  // Why head office's change log could not be read ("" when it was: head office answered), and
  // whether that was the link itself (gone, or never opened).
  std::string logUnread;
  bool linkLost = false;
};

// Reads the central change log above MaxActivityID and applies each master change to the branch.
// Each row's delete and copy commit together on the branch or not at all; the mark (in
// AppsettingsLoop.ini every fifty rows and at the end of the run, in memory at the end) never passes a
// row that failed, so the next pass tries it again.
MasterDownloadOutcome downloadMasters(SyncContext& ctx);

}  // namespace erpsync::sync

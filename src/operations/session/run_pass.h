// One automatic synchronisation pass as an engine call: the window's timer runs it every five seconds
// while AutoSynch is ticked, and the headless runner's `run` runs it on demand. It needs no window: it
// owns the head-office link state, the pass's log entries and the status read after it, and returns
// all it found; the window shows it (showPass), the runner prints it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "daycycle/day_activity.h"
#include "reconcile/branch_status.h"
#include "reconcile/count_grid.h"
#include "shared/failure.h"
#include "shared/working_day.h"
#include "stock/import_interim_transfers.h"
#include "stock/interim_transfer_list.h"
#include "sync/download_masters.h"
#include "sync/upload_transactions.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::session {

struct PassOptions {
  // Import head office's stock transfers not yet downloaded (the "Auto Synch Interim Stock Transfer"
  // box, or `run --import-transfers`), only those since the day start shown.
  bool importTransfers = false;
  stock::DayStartShown dayStart;
};

struct PassOutcome {
  bool unprepared = false;  // the databases are not yet prepared: nothing was tried
  bool offline = false;     // no network: nothing was tried
  sync::MasterDownloadOutcome masters;
  sync::UploadOutcome upload;
  bool transfersRan = false;
  stock::AutoTransferOutcome transfers;
  int waitingChanges = 0;  // central change-log rows above the master mark, as the summary counted them
  // The working day's voucher counts, taken only when the pass sent something.
  std::optional<reconcile::CountComparison> voucherCounts;
  std::string error;           // the error that ended the pass early, if one did
  std::string headOfficeAway;  // why head office could not be reached ("" when it answered or was not asked)
  bool linkChanged = false;    // head office went away or came back with this pass (told as a notice)
  bool idle = false;           // nothing moved and nothing went wrong: logged as one line
  reconcile::BranchStatus status;  // read after the pass (head office asked when something changed)
  std::vector<Failure> failures;   // what went wrong, step by step

  // Whether the pass ended without a failure of its own (head office away, or a stop asked for, is not
  // one).
  bool good() const;
  // Whether anything came down or went up.
  bool moved() const;
};

PassOutcome runPass(SyncContext& ctx, const WorkingDay& day, const PassOptions& options = {});

// The day start as the transfer page shows it ("05/Dec/2026", "09:30 AM"), from the latest day row.
stock::DayStartShown dayStartShown(const std::optional<daycycle::DayRow>& row);

// "HH:nn AM": hours on the 12-hour clock, minutes, and the AM/PM marker.
std::string hourMinuteAmPm(const db::DateTime& t);

}  // namespace erpsync::session

// One automatic synchronisation pass, as the window's timer runs it every five seconds while AutoSynch
// is ticked (and the headless runner's `run` runs it on demand).
#pragma once

#include <string>

#include "stock/import_interim_transfers.h"
#include "sync/upload_masters.h"
#include "sync/upload_transactions.h"

namespace erpsync {

struct SyncContext;

struct PassOutcome {
  bool offline = false;  // no network: only the labels were refreshed
  sync::MasterDownloadOutcome masters;
  sync::UploadOutcome upload;
  bool transfersRan = false;  // the interim stock transfer import ran (its box is ticked)
  stock::AutoTransferOutcome transfers;
  int waitingChanges = 0;  // central change-log rows above the master mark, as the summary counted them
  std::string error;       // the error that ended the pass early, if one did
  std::string headOfficeAway;  // why head office could not be reached ("" when it answered or was not asked)
};

// The waiting-changes summary, the master download, the voucher counts, the transaction upload (and,
// when ticked, the interim stock transfer import), in that order. The timer is off while it runs so
// passes never overlap; an error ends the pass with one message box and the next tick tries again.
PassOutcome timertrigger_Timer(SyncContext& ctx);

}  // namespace erpsync

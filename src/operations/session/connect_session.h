// Starting the program and connecting, as an engine call that both the window and the headless runner
// make: load reads the login, the server names and the marks and opens the startup catalogs; connect
// opens the company databases and reads what the working day is made of (cost centre, voucher types,
// the central server's date, the interval, the AutoSynch switch, the latest day row). They return what
// they found; the window shows it, the runner prints it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "daycycle/day_activity.h"
#include "shared/connections.h"
#include "shared/failure.h"
#include "shared/working_day.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::session {

// Told between the steps of load and connect ("Db connection Done"): the window's first-status line.
using StepSink = std::function<void(const std::string& step)>;

struct LoadOutcome {
  bool endProgram = false;          // no local server name: the program cannot run
  bool centralNameMissing = false;  // SYNCSERVER is missing: the settings wizard is the way on
  bool centralStartupOpen = false;  // the central server's startup catalog answered
  std::vector<Failure> failures;    // steps that failed (load went on with the next)
};

// Load: the SQL login (a problem is told in a box), the server names, both startup catalogs, the two
// high-water marks.
LoadOutcome loadSession(SyncContext& ctx, const StepSink& step = {});

// One entry of the voucher-type list: the branch's types used for synchronisation, chosen as the
// settings file keeps the choice (SYNCHVCHTYPEIDS "5;7;").
struct VoucherTypeChoice {
  long long id = 0;
  std::string name;
  bool selected = false;
};

struct ConnectOutcome {
  bool branchOpen = false;
  bool centralOpen = false;
  // The company databases Update Database has not prepared ("BR01 (branch)"): told in one box.
  std::vector<std::string> unprepared;
  std::string costCentreTag;  // DEFCOSTCENTREID, or the id the cost-centre table gave
  std::string costCentreName;
  std::vector<VoucherTypeChoice> voucherTypes;
  ServerDateTime serverDate;
  bool autoSyncOn = false;
  std::string interval;        // "2 Minutes"
  bool showDayButtons = true;  // BLNSHOWDAYSTARTEND
  std::optional<daycycle::DayRow> dayRow;  // the cost centre's latest day row at head office, when read
  std::vector<Failure> failures;
  bool completed = false;  // every step ran; a half-made session runs no operation

  // The working day connect leads to.
  WorkingDay day() const;
  // Whether the failure was one of the company databases (told by why...OpenFailure).
  bool opened() const { return branchOpen && centralOpen; }
};

// Connect. With tellUnprepared, unprepared databases are told in one box naming Update Database.
ConnectOutcome connectSession(SyncContext& ctx, bool tellUnprepared, const StepSink& step = {});

// The company databases that lack the synchroniser's tables, as "BR01 (branch)"; a closed connection
// is not looked at (whatever uses it reports it).
std::vector<std::string> unpreparedDatabases(SyncContext& ctx);
// The one box that says so and names Update Database.
void tellUnpreparedDatabases(SyncContext& ctx, const std::vector<std::string>& missing);

// The branch's voucher types for synchronisation with the stored choice.
std::vector<VoucherTypeChoice> readVoucherTypeChoices(SyncContext& ctx, const std::string& costCentreTag);

}  // namespace erpsync::session

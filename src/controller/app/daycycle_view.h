// The window's side of the day tools: the day-row labels, and the buttons Day Start, Day End, Manual
// Synch and the day purge, which run the day operations for the working day and show what they did.
#pragma once

#include <functional>

#include <string>

#include "daycycle/day_activity.h"
#include "daycycle/day_end.h"
#include "daycycle/day_purge.h"
#include "daycycle/day_start.h"
#include "daycycle/manual_resync.h"
#include "db/value.h"

namespace erpsync {

class MainForm;
struct WindowContext;

// The words lblDayState shows for the working date, given the cost centre's latest day row: open (since
// when), closed, or not started (and what to do).
std::string dayStateText(const db::DateTime& workingDate, const daycycle::DayRow& row);

// Shows a day row: its date in lblDaystart, its time in lblDaystartTime ("HH:nn AM"), "NO DAY START" in
// both when the cost centre has none, and the working date's day in words in lblDayState.
void showDayRow(MainForm& form, const db::DateTime& workingDate, const daycycle::DayRow& row);

// Reads the latest day row of the cost centre at head office and shows it for the working date; when it
// cannot be read the labels keep their captions (a failure is told as a notice). Without arguments, for
// the working day the window shows.
void readAndShowDayRow(WindowContext& ctx, const db::DateTime& workingDate, long long ccid);
void readAndShowDayRow(WindowContext& ctx);

// The day labels follow the date picker: when the operator picks another working date, showDayRows reads
// the day rows again (the controller's, so only once the databases are prepared).
void watchWorkingDate(MainForm& form, std::function<void()> showDayRows);

// The "Day Start" button: the day start with the progress window, then the day labels of the day started.
daycycle::DayStartOutcome onDayStart(WindowContext& ctx);

// The "Day End" button. The vouchers compared one by one are listed on the Verify grid; a refusal for
// differences lists the vouchers queued again afresh on the Mismatch page (locate replaces the locator
// when given) and shows it, a refusal for waiting vouchers shows that page too, and a closed day
// refreshes the day labels of the date closed.
daycycle::DayEndResult onDayEnd(WindowContext& ctx, const daycycle::MismatchLocator& locate = {});

// The "Manual Synch" button; the day's count grid is refreshed when it ran to its end.
daycycle::ResyncOutcome onManualSynch(WindowContext& ctx);

// The Command1 button (the day purge).
daycycle::PurgeOutcome onDayPurge(WindowContext& ctx);

}  // namespace erpsync

// The window's side of the day tools: the day-row labels, and the buttons Day Start, Day End, Manual Synch
// and the day purge, which run the day operations for the working day and show what they did.
#include "app/daycycle_view.h"

#include <memory>
#include <utility>

#include "app/reconcile_view.h"
#include "form/main_form.h"
#include "session/run_pass.h"
#include "shared/date_text.h"
#include "app/window_context.h"

namespace erpsync {

namespace {

// Brings the Mismatch page to the front without running the page's own check, which would list the
// vouchers again without force and restart the timer.
void showMismatchPage(MainForm& form) {
  auto handler = std::move(form.SSTab2.onClick);
  form.SSTab2.onClick = nullptr;
  form.SSTab2.setTab(2);
  form.SSTab2.onClick = std::move(handler);
}

}  // namespace

std::string dayStateText(const db::DateTime& workingDate, const daycycle::DayRow& row) {
  const std::string day = "Day " + ddMMMyyyy(workingDate) + ": ";
  const auto& date = row.date;
  if (row.activity.empty()) return day + "not started. Press Day Start before the first transaction.";
  const bool sameDate = date && date->dayNumber() == workingDate.dayNumber();
  const std::string at =
      (row.time ? session::hourMinuteAmPm(*row.time) : std::string("?")) + (sameDate || !date ? "" : " on " + ddMMMyyyy(*date));
  if (row.activity == "DayEnd") {
    if (date && date->dayNumber() < workingDate.dayNumber())
      return day + "not started (the last day was closed on " + ddMMMyyyy(*date) +
             "). Press Day Start before the first transaction.";
    return day + "closed at " + at + ".";
  }
  if (row.activity == "DayStart") {
    if (row.detail == "Day Start started") return day + "Day Start under way since " + at + ".";
    if (row.detail == "Day Start Aborted with error") return day + "not started (the day start at " + at + " failed).";
    return day + "open since " + at + ".";
  }
  return day + "no day start or day end recorded (latest day row: " + row.activity + ").";
}

void showDayRow(MainForm& form, const db::DateTime& workingDate, const daycycle::DayRow& row) {
  if (row.activity.empty()) {
    form.lblDaystart.setCaption("NO DAY START");
    form.lblDaystartTime.setCaption("NO DAY START");
  } else {
    form.lblDaystart.setCaption(row.date ? ddMMMyyyy(*row.date) : std::string());
    form.lblDaystartTime.setCaption(row.time ? session::hourMinuteAmPm(*row.time) : std::string());
  }
  form.lblDayState.setCaption(dayStateText(workingDate.dateOnly(), row));
}

void readAndShowDayRow(WindowContext& ctx, const db::DateTime& workingDate, long long ccid) {
  if (const auto row = daycycle::latestDayRow(ctx, ccid)) showDayRow(ctx.form, workingDate, *row);
}

void readAndShowDayRow(WindowContext& ctx) {
  const WorkingDay day = ctx.day();
  readAndShowDayRow(ctx, day.date, day.costCentreId);
}

void watchWorkingDate(MainForm& form, std::function<void()> showDayRows) {
  auto shown = std::make_shared<db::DateTime>(form.dtpdate.value());
  form.dtpdate.subscribe([&form, shown, showDayRows = std::move(showDayRows)] {
    const db::DateTime now = form.dtpdate.value();
    if (now == *shown) return;
    *shown = now;
    // Only the operator's pick: connect sets the date itself and shows the day rows after it.
    if (form.activeControl == &form.dtpdate && showDayRows) showDayRows();
  });
}

daycycle::DayStartOutcome onDayStart(WindowContext& ctx) {
  auto& window = ctx.form.frmInitialize;
  daycycle::DayStartProgress progress;
  progress.begin = [&window](int lines) {
    window.show();
    window.prg.setMin(0);
    window.prg.setMax(lines);
    window.prg.setValue(0);
  };
  progress.step = [&window](int done) { window.prg.setValue(done); };
  progress.end = [&window] { window.unload(); };
  const daycycle::DayStartOutcome out = daycycle::dayStart(ctx, progress);
  if (out.completed) readAndShowDayRow(ctx, out.workingDate, out.costCentre);
  return out;
}

daycycle::DayEndResult onDayEnd(WindowContext& ctx, const daycycle::MismatchLocator& locate) {
  const daycycle::DayEndOutcome out = daycycle::dayEnd(ctx, locate);
  if (out.verified) reconcile::showVerify(ctx.form.msgVerify, *out.verified);
  switch (out.result) {
    case daycycle::DayEndResult::Differs:
      // The vouchers this refusal queued again replace whatever the Mismatch page listed.
      reconcile::showMismatches(ctx.form.msgMisMatch, out.listed);
      showMismatchPage(ctx.form);
      break;
    case daycycle::DayEndResult::Waiting:
      showMismatchPage(ctx.form);
      break;
    case daycycle::DayEndResult::Closed:
    case daycycle::DayEndResult::ClosedWithoutDayRow:
      readAndShowDayRow(ctx, out.workingDate, out.costCentre);
      break;
    default:
      break;
  }
  return out.result;
}

daycycle::ResyncOutcome onManualSynch(WindowContext& ctx) {
  const daycycle::ResyncOutcome out = daycycle::manualResync(ctx);
  if (out.finished) reconcile::showVoucherCounts(ctx);
  return out;
}

daycycle::PurgeOutcome onDayPurge(WindowContext& ctx) {
  return daycycle::dayPurge(ctx);
}

}  // namespace erpsync

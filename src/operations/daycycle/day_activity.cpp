// Day rows of the branch and head office: writing them at day start and day end, and reading back the
// latest one for the window and for day end's checks.
#include "daycycle/day_activity.h"

#include <fmt/format.h>

#include <optional>

#include "shared/date_text.h"
#include "form/main_form.h"
#include "shared/sync_context.h"
#include "db/connection.h"

namespace erpsync::daycycle {

namespace {

// The row as the server stores it: TimeOf from a time-of-day text (a time on the server's base date),
// DateOF from a date text (midnight). Every text is quoted with its quotes doubled.
std::string dayRowInsert(SyncContext& ctx, const std::string& activity, const std::string& detail, int ccid,
                         bool blockDataEntry) {
  const int started = activity == "DayStart" ? 1 : 0;
  const int ended = activity == "DayEnd" ? 1 : 0;
  const db::DateTime now = ctx.clock.now();
  const std::string timeText = fmt::format("{:02}:{:02}:{:02}", now.hour, now.minute, now.second);
  return " INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],"
         "[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( " +
         db::sqlQuote(activity) + "," + db::sqlQuote(timeText) + ",''," + db::sqlQuote(ddMMMyyyy(now)) + "," +
         db::sqlQuote(detail) + "," + std::to_string(started) + "," + std::to_string(ended) + "," +
         std::to_string(ccid) + "," + (blockDataEntry ? "1" : "0") + "," + db::sqlQuote(ctx.LocalServerName) + ")";
}

// "HH:nn AMPM": hours on the 12-hour clock, minutes, and the AM/PM marker.
std::string hourMinuteAmPm(const db::DateTime& t) {
  int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  return fmt::format("{:02}:{:02} {}", h12, t.minute, t.hour < 12 ? "AM" : "PM");
}

}  // namespace

std::string DayRowsWritten::missing() const {
  if (both()) return {};
  const char* which = branch ? "head office's day row" : central ? "the branch's day row" : "both day rows";
  return std::string("Not written: ") + which + (error.empty() ? "" : " (" + error + ")");
}

namespace {

// Runs one side's statement; false (told as a notice, kept in first) when it failed.
bool onSide(SyncContext& ctx, db::Connection& (SyncContext::*side)(), const std::string& sql, std::string& first) {
  try {
    (ctx.*side)().execute(sql);
    return true;
  } catch (const std::exception& e) {
    const auto* d = dynamic_cast<const db::DbError*>(&e);
    const std::string text = d ? d->description() : e.what();
    ctx.notice(text);
    if (first.empty()) first = text;
  }
  return false;
}

}  // namespace

DayRowsWritten WriteDayActivity(SyncContext& ctx, const std::string& StrActivity,
                                const std::string& StrActivityDetail, int CCID, bool BlockDataEntry) {
  DayRowsWritten out;
  out.branch =
      onSide(ctx, &SyncContext::local, dayRowInsert(ctx, StrActivity, StrActivityDetail, CCID, BlockDataEntry), out.error);
  out.central =
      onSide(ctx, &SyncContext::web, dayRowInsert(ctx, StrActivity, StrActivityDetail, CCID, BlockDataEntry), out.error);
  return out;
}

void RemoveDayActivity(SyncContext& ctx, const std::string& StrActivity, const std::string& StrActivityDetail,
                       int CCID) {
  const std::string mine = " where Activity=" + db::sqlQuote(StrActivity) +
                           " and ActivitiesDetail=" + db::sqlQuote(StrActivityDetail) +
                           " and CCID=" + std::to_string(CCID) + " and SQLSERVERNAME=" + db::sqlQuote(ctx.LocalServerName);
  const std::string sql = "delete from tblDayActivity where ID=(select max(ID) from tblDayActivity" + mine + ")";
  std::string ignored;
  onSide(ctx, &SyncContext::local, sql, ignored);
  onSide(ctx, &SyncContext::web, sql, ignored);
}

db::DateTime GetdayStartDate(SyncContext& ctx) {
  try {
    auto rs =
        ctx.local().query("Select Top 1 DateOF from  tblDayActivity where Activity='DayStart' and SQLSERVERNAME=" +
                          db::sqlQuote(ctx.LocalServerName) + " Order by ID desc ");
    if (rs.empty()) return kZeroDate;
    auto d = rs.at(0, "DateOF").toDateTime();
    return d ? d->dateOnly() : kZeroDate;
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  return kZeroDate;
}

std::string dayStateText(const db::DateTime& workingDate, const std::string& activity, const std::string& detail,
                         const std::optional<db::DateTime>& date, const std::optional<db::DateTime>& time) {
  const std::string day = "Day " + ddMMMyyyy(workingDate) + ": ";
  if (activity.empty()) return day + "not started. Press Day Start before the first transaction.";
  const bool sameDate = date && date->dayNumber() == workingDate.dayNumber();
  const std::string at = (time ? hourMinuteAmPm(*time) : std::string("?")) + (sameDate || !date ? "" : " on " + ddMMMyyyy(*date));
  if (activity == "DayEnd") {
    if (date && date->dayNumber() < workingDate.dayNumber())
      return day + "not started (the last day was closed on " + ddMMMyyyy(*date) +
             "). Press Day Start before the first transaction.";
    return day + "closed at " + at + ".";
  }
  if (activity == "DayStart") {
    if (detail == "Day Start started") return day + "Day Start under way since " + at + ".";
    if (detail == "Day Start Aborted with error") return day + "not started (the day start at " + at + " failed).";
    return day + "open since " + at + ".";
  }
  return day + "no day start or day end recorded (latest day row: " + activity + ").";
}

void setdatstartDet(SyncContext& ctx) {
  // The day rows are head office's: while it is known to be out of reach (told once, as such) the
  // labels keep what they showed, and no second notice says "closed".
  if (ctx.headOfficeState < 0 && !db::isOpen(ctx.WebConnection)) return;
  try {
    const std::string ccid = db::Value(db::leadingNumber(ctx.form.lblCostcentre.tag())).toString();
    // The identity orders the rows written within one second (a day start's "started" and "Finished").
    auto rs = ctx.web().query(
        "SELECT     TOP (1) ID, Activity, TimeOf, SystemName, DateOF, ActivitiesDetail, BlnStarted, "
        "BlnEnded, CCID, BlockDataEntry, SQLSERVERNAME From tblDayActivity " +
        std::string(" where CCID=") + ccid + " ORDER BY DateOF DESC,  TimeOf DESC, ID DESC");
    const db::DateTime workingDate = ctx.form.dtpdate.value().dateOnly();
    if (rs.empty()) {
      ctx.form.lblDaystart.setCaption("NO DAY START");
      ctx.form.lblDaystartTime.setCaption("NO DAY START");
      ctx.form.lblDayState.setCaption(dayStateText(workingDate, "", "", std::nullopt, std::nullopt));
      return;
    }
    auto date = rs.at(0, "DateOF").toDateTime();
    auto time = rs.at(0, "TimeOf").toDateTime();
    ctx.form.lblDaystart.setCaption(date ? ddMMMyyyy(*date) : std::string());
    ctx.form.lblDaystartTime.setCaption(time ? hourMinuteAmPm(*time) : std::string());
    ctx.form.lblDayState.setCaption(dayStateText(workingDate, rs.at(0, "Activity").toString(),
                                                 rs.at(0, "ActivitiesDetail").toString(), date, time));
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
}

}  // namespace erpsync::daycycle

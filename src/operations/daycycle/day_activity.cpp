// Day rows of the branch and head office: writing them at day start and day end, and reading back the
// latest one for the window and for day end's checks.
#include "daycycle/day_activity.h"

#include <fmt/format.h>

#include <optional>

#include "db/connection.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"

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

DayRowsWritten WriteDayActivity(SyncContext& ctx, const std::string& StrActivity, const std::string& StrActivityDetail,
                                int CCID, bool BlockDataEntry) {
  DayRowsWritten out;
  out.branch = onSide(ctx, &SyncContext::local, dayRowInsert(ctx, StrActivity, StrActivityDetail, CCID, BlockDataEntry),
                      out.error);
  out.central = onSide(ctx, &SyncContext::web, dayRowInsert(ctx, StrActivity, StrActivityDetail, CCID, BlockDataEntry),
                       out.error);
  return out;
}

void RemoveDayActivity(SyncContext& ctx, const std::string& StrActivity, const std::string& StrActivityDetail,
                       int CCID) {
  const std::string mine =
      " where Activity=" + db::sqlQuote(StrActivity) + " and ActivitiesDetail=" + db::sqlQuote(StrActivityDetail) +
      " and CCID=" + std::to_string(CCID) + " and SQLSERVERNAME=" + db::sqlQuote(ctx.LocalServerName);
  const std::string sql = "delete from tblDayActivity where ID=(select max(ID) from tblDayActivity" + mine + ")";
  std::string ignored;
  onSide(ctx, &SyncContext::local, sql, ignored);
  onSide(ctx, &SyncContext::web, sql, ignored);
}

namespace {

db::DateTime latestDayRowDate(SyncContext& ctx, const char* activity) {
  try {
    auto rs = ctx.local().query(std::string("Select Top 1 DateOF from  tblDayActivity where Activity='") + activity +
                                "' and SQLSERVERNAME=" + db::sqlQuote(ctx.LocalServerName) + " Order by ID desc ");
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

}  // namespace

db::DateTime GetdayStartDate(SyncContext& ctx) {
  return latestDayRowDate(ctx, "DayStart");
}

db::DateTime latestDayEndDate(SyncContext& ctx) {
  return latestDayRowDate(ctx, "DayEnd");
}

DayRow readLatestDayRow(SyncContext& ctx, long long ccid) {
  // The identity orders the rows written within one second (a day start's "started" and "Finished").
  auto rs = ctx.web().query(
      "SELECT     TOP (1) ID, Activity, TimeOf, SystemName, DateOF, ActivitiesDetail, BlnStarted, "
      "BlnEnded, CCID, BlockDataEntry, SQLSERVERNAME From tblDayActivity " +
      std::string(" where CCID=") + std::to_string(ccid) + " ORDER BY DateOF DESC,  TimeOf DESC, ID DESC");
  DayRow row;
  if (rs.empty()) return row;
  row.activity = rs.at(0, "Activity").toString();
  row.detail = rs.at(0, "ActivitiesDetail").toString();
  row.date = rs.at(0, "DateOF").toDateTime();
  row.time = rs.at(0, "TimeOf").toDateTime();
  return row;
}

std::optional<DayRow> latestDayRow(SyncContext& ctx, long long ccid) {
  // The day rows are head office's: while it is known to be out of reach (told once, as such) nothing is
  // asked, and no second notice says "closed".
  if (ctx.headOfficeState < 0 && !db::isOpen(ctx.WebConnection)) return std::nullopt;
  try {
    return readLatestDayRow(ctx, ccid);
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  return std::nullopt;
}

}  // namespace erpsync::daycycle

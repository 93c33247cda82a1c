// Day end. The checks run with auto-sync stopped, so no upload changes the counts between the two
// sides; the locks commit together in one branch transaction before the day row is written, so a
// failure leaves either a closed day or an open one, never a half-locked day without its row.
#include "daycycle/day_end.h"

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

#include "daycycle/auto_sync_switch.h"
#include "daycycle/day_activity.h"
#include "daycycle/working_date.h"
#include "db/connection.h"
#include "db/sql_quote.h"
#include "reconcile/check_online_rows_tables.h"
#include "reconcile/locate_mismatching_trans.h"
#include "reconcile/verify_day.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"
#include "sync/upload_journal.h"
#include "sync/voucher_kinds.h"

namespace erpsync::daycycle {

namespace {

// Minutes until the newest change not yet uploaded is old enough for the upload's interval (at least 1).
long long minutesUntilUploaded(SyncContext& ctx, const WorkingDay& day) {
  const long long interval = std::max(1LL, day.intervalMinutes);
  try {
    const db::Recordset rs =
        ctx.local().query("select max(ActionTime) as Newest, getdate() as Now from tblActivity where ID>" +
                          std::to_string(ctx.MaxActivityIDTrans));
    const auto newest = rs.empty() ? std::nullopt : rs.at(0, "Newest").toDateTime();
    const auto now = rs.empty() ? std::nullopt : rs.at(0, "Now").toDateTime();
    if (!newest || !now) return interval;
    const long long left = interval * 60 - (now->totalSeconds() - newest->totalSeconds());
    return std::clamp((left + 59) / 60, 1LL, interval);
  } catch (const std::exception&) {
    return interval;
  }
}

// Vouchers still waiting for their interval are no difference: nothing is re-queued, and the operator is
// told how many wait and when to try again.
DayEndResult refuseWaiting(SyncContext& ctx, const WorkingDay& day, long long waiting) {
  const long long minutes = minutesUntilUploaded(ctx, day);
  const std::string text = std::to_string(waiting) + (waiting == 1 ? " voucher is" : " vouchers are") +
                           " still waiting to go up; keep AutoSynch on and try Day End again in " +
                           std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes") + ". Nothing was locked.";
  ctx.status().stage("Day end waiting for uploads");
  // The count checks listed each table as differing; what they found is vouchers waiting.
  ctx.status().status(text);
  ctx.log("Day End", "Day End refused: " + text);
  ctx.host.messageBox(text, Buttons::OK, Icon::Information, "Day End");
  return DayEndResult::Waiting;
}

// Vouchers head office holds otherwise than the branch (a header edited on either side after upload,
// or a copy there twice) are queued to replace head office's copy: the locator finds only missing copies
// and line counts that differ.
void requeueDiffering(SyncContext& ctx, const WorkingDay& day, const reconcile::VerifyOutcome& verified) {
  for (const auto& d : verified.differences) {
    if (d.finding != reconcile::Finding::Differs && d.finding != reconcile::Finding::TwiceCentrally) continue;
    const sync::VoucherKind* k = sync::voucherKind(d.table);
    if (!k) continue;
    try {
      const db::Recordset rs = ctx.local().query(
          "select " + k->key + " from " + k->table + " where " + k->numberColumn + "=" + db::sqlQuote(d.number) +
          " and " + k->dateColumn + "='" + d.date + "' and VchTypeID=" + std::to_string(d.type) +
          " and CCID=" + std::to_string(day.costCentreId));
      for (std::size_t r = 0; r < rs.size(); ++r)
        if (sync::requeueForReplace(ctx.local(), *k, rs.at(r, 0).toInt()))
          ctx.log("Mismatch queued for upload again", k->table + " " + d.number + ", head office copy to be replaced");
    } catch (const db::DbError& e) {
      ctx.notice(e.description());
    }
  }
}

// Whether a "dd/MMM/yyyy" date lies before `day`.
bool dateBefore(const std::string& text, const db::DateTime& day) {
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (text.size() != 11 || text[2] != '/' || text[6] != '/') return false;
  for (int m = 0; m < 12; ++m)
    if (text.compare(3, 3, months[m]) == 0) {
      const db::DateTime d{std::stoi(text.substr(7, 4)), m + 1, std::stoi(text.substr(0, 2))};
      return d.dayNumber() < day.dayNumber();
    }
  return false;
}

// The earlier dates the counts cover (from the day start on) on which the branch holds uploaded vouchers:
// a copy head office lost or holds otherwise on such a date keeps the counts apart as surely as one of
// the working date.
std::vector<db::DateTime> earlierDates(SyncContext& ctx, const WorkingDay& day, const db::DateTime& dayStart) {
  std::set<long long> days;
  const std::string from = ddMMMyyyy(dayStart), to = ddMMMyyyy(day.date);
  for (const auto& k : sync::voucherKinds()) {
    const db::Recordset rs = ctx.local().query(
        "select distinct " + k.dateColumn + " from " + k.table + " where SyncStat=1 and CCID=" +
        std::to_string(day.costCentreId) + " and " + k.dateColumn + ">='" + from + "' and " + k.dateColumn + "<'" + to +
        "'");
    for (std::size_t r = 0; r < rs.size(); ++r)
      if (const auto d = rs.at(r, 0).toDateTime()) days.insert(d->dateOnly().dayNumber());
  }
  std::vector<db::DateTime> out;
  for (long long n : days) out.push_back(db::DateTime::fromDayNumber(n));
  return out;
}

DayEndResult refuse(SyncContext& ctx, const WorkingDay& day, const db::DateTime& dayStart,
                    const MismatchLocator& locate, const std::string& why, reconcile::MismatchOutcome& listed,
                    const reconcile::VerifyOutcome& verified) {
  ctx.host.messageBox(
      "Day End stopped: the branch and head office differ for this day (the Mismatch page lists the vouchers). "
      "Nothing was locked; the differing vouchers are queued to go up again.\r\nKeep AutoSynch on and try Day End "
      "again after the next pass; if they still differ, run Manual Synch to replace head office's copy of the day.",
      Buttons::OK, Icon::Critical);
  ctx.status().stage("Day end Aborted");
  // Every kind is examined, whatever another one met.
  for (const auto& k : sync::voucherKinds()) {
    reconcile::MismatchOutcome one = locate ? locate(ctx, k.table, k.detail, true)
                                            : reconcile::LocateMismatchingTrans(ctx, day, k.table, k.detail, true);
    for (auto& v : one.vouchers) listed.vouchers.push_back(std::move(v));
    listed.failed = listed.failed || one.failed;
  }
  requeueDiffering(ctx, day, verified);
  try {
    for (const auto& date : earlierDates(ctx, day, dayStart)) {
      WorkingDay earlier = day;
      earlier.date = date;
      for (const auto& k : sync::voucherKinds()) {
        reconcile::MismatchOutcome one = reconcile::LocateMismatchingTrans(ctx, earlier, k.table, k.detail, true);
        for (auto& v : one.vouchers) listed.vouchers.push_back(std::move(v));
        listed.failed = listed.failed || one.failed;
      }
    }
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
    listed.failed = true;
  }
  ctx.log("Day End", "Day End refused: " + why);
  return DayEndResult::Differs;
}

// Not compared is not equal: nothing is locked that head office may not hold. Nothing needs repairing
// either, so automatic synchronisation goes on.
DayEndResult refuseUnverified(SyncContext& ctx, const std::string& what, const std::string& logged) {
  ctx.host.messageBox("Day End stopped: the " + what + " could not be compared with head office. Nothing was locked.",
                      Buttons::OK, Icon::Critical);
  ctx.status().stage("Day end Aborted");
  ctx.log("Day End", "Day End refused: " + logged);
  return DayEndResult::Unverified;
}

// The counts from the day start on and the day's vouchers one by one; nothing when the two sides agree,
// else why the day stays open.
std::optional<DayEndResult> compareDay(SyncContext& ctx, const WorkingDay& day, int cc, const db::DateTime& dayStart,
                                       const db::DateTime& compareFrom,
                                       const MismatchLocator& locate, DayEndOutcome& out) {
  // Like with like: only the vouchers that go up are counted on either side.
  const std::string filter = uploadedVoucherTypesFilter(ctx, "vchtypeID");
  long long total = 0;
  for (const auto& check : dayEndChecks(ddMMMyyyy(dayStart), cc, filter)) {
    const auto difference = reconcile::CheckOnlineRowsTables(ctx, check.query, check.label);
    if (!difference) return refuseUnverified(ctx, check.label + " vouchers", check.label + " could not be compared");
    total += *difference;
  }
  // The vouchers from the day start on are compared one by one too: counts can agree by accident (a
  // voucher missing at head office and another there twice, a line edited there), and counts that
  // differ may only mean vouchers still waiting for their interval. Any voucher missing, twice or different at head office keeps the day open; the
  // differences stay listed on the Verify page.
  const reconcile::VerifyOutcome& verified = out.verified.emplace(reconcile::VerifyDays(ctx, day, compareFrom));
  if (verified.failed) return refuseUnverified(ctx, "vouchers", "the vouchers could not be compared one by one");
  long long waiting = 0, differing = 0;
  for (const auto& d : verified.differences) {
    if (d.finding == reconcile::Finding::Waiting) {
      ++waiting;
      continue;
    }
    // Before the day start only the branch's own vouchers are this day's concern: a copy only head
    // office holds of such a date (the day purge leaves head office's copies of other dates) stays
    // listed but does not keep the day open.
    if (d.finding == reconcile::Finding::OnlyCentrally && dateBefore(d.date, dayStart)) continue;
    ++differing;
  }
  if (waiting > 0 && differing == 0) return refuseWaiting(ctx, day, waiting);
  if (total != 0)
    return refuse(ctx, day, compareFrom, locate, "the counts of the branch and head office differ", out.listed,
                  verified);
  if (differing > 0)
    return refuse(ctx, day, compareFrom, locate,
                  std::to_string(differing) + " vouchers differ between the branch and head office",
                  out.listed, verified);
  if (waiting > 0) return refuseWaiting(ctx, day, waiting);
  return std::nullopt;
}

// Locks the branch's vouchers up to the working date in one transaction, then writes the "DayEnd" rows.
DayEndResult closeDay(SyncContext& ctx, const WorkingDay& day, int cc) {
  {
    db::Connection& branch = ctx.local();
    db::Transaction locks(branch);
    for (const auto& sql : dayEndLocks(ddMMMyyyy(day.date))) branch.execute(sql);
    locks.commit();
  }
  const DayRowsWritten rows = WriteDayActivity(ctx, "DayEnd", "Day End Completed", cc, true);
  ctx.status().stage("Day end Finished");
  ctx.log("Day End", rows.both() ? std::string("Day End completed") : "Day End completed; " + rows.missing());
  ctx.status().status(rows.missing());
  return rows.both() ? DayEndResult::Closed : DayEndResult::ClosedWithoutDayRow;
}

}  // namespace

std::vector<DayEndCheck> dayEndChecks(const std::string& dayStartText, int costCentre, const std::string& filter) {
  std::vector<const sync::VoucherKind*> kinds;
  for (const auto& k : sync::voucherKinds())
    if (k.countPosition > 0) kinds.push_back(&k);
  std::sort(kinds.begin(), kinds.end(), [](auto* a, auto* b) { return a->countPosition < b->countPosition; });
  std::vector<DayEndCheck> out;
  for (const auto* k : kinds) {
    // A copy head office keeps marked as deleted at the branch is no voucher of the day on either side.
    const std::string since = k->dateColumn + ">='" + dayStartText + "' and " + k->table +
                              ".CCID=" + std::to_string(costCentre) + " and isnull(" + k->table + "." + k->markColumn +
                              ",'')<>'#DELETEDFROMBRANCH#'" + filter;
    out.push_back({k->countName, "Select count(" + k->key + ") from " + k->table + " where " + since});
    if (!k->lineCountName.empty())
      out.push_back({k->lineCountName, "Select count(" + k->detail + "." + k->key + ") from " + k->table + "," +
                                           k->detail + " where " + k->table + "." + k->key + "=" + k->detail + "." +
                                           k->key + " and " + since});
  }
  return out;
}

std::vector<std::string> dayEndLocks(const std::string& workingDateText) {
  std::vector<std::string> out;
  for (const auto& k : sync::voucherKinds())
    out.push_back("update " + k.table + " set  LockMode=1 where " + k.dateColumn + " <='" + workingDateText + "' ");
  return out;
}

DayEndOutcome dayEnd(SyncContext& ctx, const MismatchLocator& locate) {
  DayEndOutcome out;
  const WorkingDay day = ctx.day();
  out.workingDate = day.date;
  const int cc = costCentreId(day);
  out.costCentre = cc;
  if (cc == 0) {
    // Without a cost centre the checks could not be confined to this branch's vouchers.
    ctx.host.messageBox("Cost Centre not defined Correctly.Exiting now", Buttons::OK, Icon::Critical);
    out.result = DayEndResult::NoCostCentre;
    return out;
  }
  const db::DateTime dayStart = GetdayStartDate(ctx);
  // The vouchers are compared one by one from the last day closed on (or the day start, if earlier):
  // a day started without the day before being closed is compared too.
  const db::DateTime lastClosed = latestDayEndDate(ctx);
  const db::DateTime compareFrom = lastClosed.dayNumber() < dayStart.dayNumber() ? lastClosed : dayStart;
  out.result = DayEndResult::Declined;
  if (!confirmWorkingDate(ctx, day.date, "Day End")) return out;
  if (ctx.host.messageBox("Are you sure you want to DAY END now", Buttons::YesNo, Icon::Question) != Answer::Yes)
    return out;
  // No upload changes the counts between the two sides meanwhile; the box comes back as the operator
  // left it on every way out.
  AutoSyncPause pause(ctx);
  out.result = DayEndResult::Failed;
  try {
    ctx.log("Day End", "Day End Started");
    if (const auto refused = compareDay(ctx, day, cc, dayStart, compareFrom, locate, out))
      out.result = *refused;
    else
      out.result = closeDay(ctx, day, cc);
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  return out;
}

}  // namespace erpsync::daycycle

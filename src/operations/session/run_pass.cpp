// The automatic pass (see run_pass.h).
#include "session/run_pass.h"

#include <fmt/format.h>

#include <utility>

#include "db/connection.h"
#include "db/connection_string.h"
#include "reconcile/fill_trans_count.h"
#include "shared/connections.h"
#include "shared/date_text.h"
#include "shared/head_office_link.h"
#include "shared/sync_context.h"

namespace erpsync::session {

namespace {

// Head office's counts and lock are asked for after a pass that moved something or met a change of
// the link, and otherwise once a minute: an idle pass stays one call to head office.
constexpr long long kStatusAskSeconds = 60;

// The central change-log rows the master download read, per table and day.
int logWaitingChanges(SyncContext& ctx, const sync::MasterDownloadOutcome& masters) {
  ctx.log("Query Opened", "the central change log above " + std::to_string(masters.firstMark) + ", read by the master download");
  int waiting = 0;
  for (const auto& w : masters.waiting) {
    ctx.log("Looping query ", std::to_string(w.count) + "\t" + w.table + "\t" + w.day);
    waiting += w.count;
  }
  return waiting;
}

std::string idleLine(const PassOutcome& out) {
  if (out.offline) return "No network connection; vouchers wait here.";
  if (!out.headOfficeAway.empty()) return "Head office cannot be reached; vouchers wait here.";
  std::string line = "Idle: nothing to bring down or send";
  if (out.upload.waiting > 0)
    line += "; " + std::to_string(out.upload.waiting) + (out.upload.waiting == 1 ? " voucher waits" : " vouchers wait") +
            " for its interval";
  return line + ".";
}

// The steps of a pass that reached head office: masters, vouchers, counts, transfers.
void exchange(SyncContext& ctx, const WorkingDay& day, const PassOptions& options, PassOutcome& out) {
  ctx.log("Masters uploading starting", "");
  out.masters = sync::downloadMasters(ctx);
  out.waitingChanges = logWaitingChanges(ctx, out.masters);
  ctx.log("Masters uploading End transaction uploading end", "");
  if (!out.masters.completed && !out.masters.linkLost)
    out.failures.push_back({"Master download", 0,
                            out.masters.logUnread.empty() ? "a master change could not be applied" : out.masters.logUnread});
  if (out.masters.linkLost) {
    // The link went since the last pass: the vouchers wait, and the next pass opens it again.
    out.headOfficeAway = out.masters.logUnread;
    out.upload.stopped = true;
  } else if (!ctx.host.stopRequested()) {
    // A stop asked for during the masters ends the pass before the push lock is taken.
    out.upload = sync::uploadTransactions(ctx, false);
    if (out.upload.failed > 0)
      out.failures.push_back({"Voucher upload", 0, fmt::format("{} voucher(s) could not be sent", out.upload.failed)});
    else if (out.upload.stopped && !ctx.host.stopRequested())  // a stop asked for is no failure
      out.failures.push_back({"Voucher upload", 0, "the upload ended early"});
  }
  // The voucher counts scan head office's voucher tables: only when this pass sent something.
  if (out.upload.uploaded + out.upload.alreadyCentral + out.upload.deletesMarked > 0) {
    auto counts = reconcile::CompareVoucherCounts(ctx, day);
    if (!counts.failed) out.voucherCounts = std::move(counts);
  }
  if (options.importTransfers && !ctx.host.stopRequested()) {
    out.transfersRan = true;
    out.transfers = stock::importWaitingTransfers(ctx, options.dayStart);
    if (out.transfers.failed > 0)
      out.failures.push_back({"Stock transfer import", 0, fmt::format("{} transfer(s) could not be imported", out.transfers.failed)});
  }
}

// The end of every pass: the link state told when it changed, the error told once, the log written or
// reduced to one line, and the status read (head office asked only when something changed, or once a
// minute).
void finish(SyncContext& ctx, PassOutcome& out, int linkAtStart, int noticesAtStart) {
  const bool away = out.offline || !out.headOfficeAway.empty();
  if (away)
    noteHeadOfficeUnreachable(ctx, out.offline ? std::string("no network connection") : out.headOfficeAway);
  else if (out.masters.logUnread.empty() && db::isOpen(ctx.WebConnection))
    noteHeadOfficeReachable(ctx);
  // Opening the connections may already have told the change. A first reachable head office is no news.
  out.linkChanged = ctx.headOfficeState != linkAtStart && !(linkAtStart == 0 && ctx.headOfficeState > 0);

  // An error other than the link: told once (a notice, never a box), again only when it changes.
  if (!out.error.empty() && out.headOfficeAway.empty() && out.error != ctx.lastPassError) ctx.notice(out.error);
  ctx.lastPassError = out.headOfficeAway.empty() ? out.error : std::string();
  if (out.good() && !away && out.masters.completed && !out.upload.stopped) noteGoodPass(ctx);
  // A pass that met a failure opens the company connections again next time: the link may be broken
  // without the connection objects knowing.
  if (!out.failures.empty() || away) ctx.reopenCompanyConnections = true;

  out.idle = !out.moved() && !out.linkChanged && out.failures.empty() && !out.upload.busy && !away;
  // A pass that told the operator something keeps its log entries, whatever it was.
  const bool told = ctx.noticesShown != noticesAtStart;
  const bool unreachableIdle = away && !out.linkChanged && out.error.empty();
  if ((out.idle || unreachableIdle) && !told) {
    ctx.releaseLog(false);
    ctx.log("Auto Synch", idleLine(out));
  } else {
    ctx.releaseLog(true);
  }
  const long long now = ctx.clock.now().totalSeconds();
  const auto& facts = ctx.headOfficeFacts;
  const bool ask = !away && (out.moved() || out.linkChanged || !facts.known || now - facts.askedAt >= kStatusAskSeconds);
  out.status = reconcile::readBranchStatus(ctx, ask);
}

}  // namespace

bool PassOutcome::good() const {
  return !unprepared && error.empty() && failures.empty();
}

bool PassOutcome::moved() const {
  return masters.applied > 0 || upload.uploaded + upload.alreadyCentral + upload.deletesMarked + upload.failed > 0 ||
         transfers.imported > 0;
}

PassOutcome runPass(SyncContext& ctx, const WorkingDay& day, const PassOptions& options) {
  PassOutcome out;
  // The working day of the whole pass is the one it was started with.
  ScopedWorkingDay pin(ctx, day);
  const int linkAtStart = ctx.headOfficeState;
  const int noticesAtStart = ctx.noticesShown;
  // The pass's entries wait until it is known whether it did anything: an idle pass logs one line.
  ctx.holdLog();
  try {
    ctx.log("Timer Activated. checking Web connectivity", "");
    // An embedded central server lives on this computer: no network is needed to reach it.
    if (!db::isEmbeddedDataSource(ctx.SyncServerName) && !ctx.host.isConnectedToInternet()) {
      out.offline = true;
    } else {
      // Head office is a round trip away: the connections stay open between passes, and are opened
      // again only after a pass that met a failure (a broken link is noticed only when it is used).
      if (ctx.reopenCompanyConnections || !db::isOpen(ctx.LocalConnection) || !db::isOpen(ctx.WebConnection))
        OpenCompanyConnections(ctx);
      if (!db::isOpen(ctx.WebConnection)) {
        // Head office could not be opened (the open told why, once): nothing comes down or goes up,
        // and no call is made that could only fail again.
        out.headOfficeAway = ctx.WebOpenFailure.empty() ? std::string("not connected") : ctx.WebOpenFailure;
        out.masters.completed = false;
        out.upload.stopped = true;
      } else {
        exchange(ctx, day, options, out);
      }
    }
  } catch (const std::exception& e) {
    const auto* db = dynamic_cast<const db::DbError*>(&e);
    out.failures.push_back(failureOf("Auto Synch", e));
    out.error = out.failures.back().text;
    ctx.log("Auto Synch", out.error);
    // A lost link is head office away (told when it goes and when it is back); another error is told
    // once, not at every tick.
    if (db && db->linkLost()) out.headOfficeAway = out.error;
  }
  finish(ctx, out, linkAtStart, noticesAtStart);
  return out;
}

std::string hourMinuteAmPm(const db::DateTime& t) {
  int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  return fmt::format("{:02}:{:02} {}", h12, t.minute, t.hour < 12 ? "AM" : "PM");
}

stock::DayStartShown dayStartShown(const std::optional<daycycle::DayRow>& row) {
  if (!row || row->activity.empty()) return {"NO DAY START", "NO DAY START"};
  return {row->date ? ddMMMyyyy(*row->date) : std::string(), row->time ? hourMinuteAmPm(*row->time) : std::string()};
}

}  // namespace erpsync::session

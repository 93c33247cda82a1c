// The push lock between branches. A branch takes the 'BLOCKFASTPUSH' row of the central
// tblDayActivity before it pushes vouchers, renews its time while it works and removes it at the end;
// the others wait. A row that has not been renewed for 50 seconds belongs to a holder that stopped and
// is cleared by the next branch that looks.
//
// The row keeps the columns and texts that programs at other branches read: Activity 'BLOCKFASTPUSH',
// BlockDataEntry 1, SQLSERVERNAME the holder's cost-centre name, SystemName '', ActivitiesDetail
// 'Blocking for data pushing from client', Timeof the central server's time.
#include "sync/server_lock.h"

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>

#include "db/connection.h"
#include "db/sql_quote.h"
#include "shared/sync_context.h"
#include "sync/upload_batch.h"

namespace erpsync::sync {

namespace {

// Ages are measured on the central server's clock only, as whole date-times, so neither the branch
// clocks nor midnight matter.
const std::string kLive = "DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50";
const std::string kStale =
    "(Timeof is null or DATEDIFF(second, Timeof, getDate()) >= 50 or DATEDIFF(second, Timeof, getDate()) <= -50)";

// This branch's name in the lock row, as a quoted literal.
std::string holderLiteral(SyncContext& ctx) {
  return db::sqlQuote(ctx.day().costCentreName);
}

// Seconds between the row's time and the server's time, or nothing when the row has no time.
std::optional<long long> lockAge(const db::Value& timeof, const db::Value& serverNow) {
  auto t = timeof.toDateTime();
  auto now = serverNow.toDateTime();
  if (!t || !now) return std::nullopt;
  return std::llabs(now->totalSeconds() - t->totalSeconds());
}

bool takeLock(SyncContext& ctx) {
  db::Connection& web = ctx.web();
  const std::string me = holderLiteral(ctx);
  long long inserted = 0;
  {
    db::Transaction t(web);
    // Our own old row, rows that read as free and abandoned rows make way; a live row of another
    // branch stays, and then the insert below adds nothing.
    web.execute(" Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and (SQLSERVERNAME=" + me +
                " or BlockDataEntry is null or BlockDataEntry<>1 or " + kStale + ")");
    inserted = web.execute(
        " INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,"
        "ActivitiesDetail,Timeof) Select 'BLOCKFASTPUSH',1," +
        me +
        ",'','Blocking for data pushing from client',getDate() where not exists (Select 1 from [tblDayActivity] "
        "with (updlock, holdlock) where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and " +
        kLive + ")");
    if (inserted < 0) {
      auto rs =
          web.query("Select count(*) as N from tblDayActivity where Activity='BLOCKFASTPUSH' and SQLSERVERNAME=" + me);
      inserted = rs.empty() ? 0 : rs.at(0, 0).toInt();
    }
    t.commit();
  }
  ctx.status().pushLock("LOCK");
  return inserted > 0;
}

bool refreshLock(SyncContext& ctx) {
  long long n = ctx.web().execute(" update [tblDayActivity]set Timeof=getDate() where Activity='BLOCKFASTPUSH'" +
                                  std::string(" and BlockDataEntry=1 and SQLSERVERNAME=") + holderLiteral(ctx));
  if (n > 0) return true;
  // The row is gone (another branch found it stale and cleared it): take the lock again if we may.
  std::string none;
  return pushLock(ctx, PushLockAction::Take, none);
}

void releaseLock(SyncContext& ctx) {
  ctx.web().execute(lockReleaseStatement(holderLiteral(ctx)));
  ctx.status().pushLock("FREE");
}

bool checkFree(SyncContext& ctx, std::string& holder, bool& freeVerdict) {
  db::Connection& web = ctx.web();
  auto rs = web.query("Select getDate() as MyGetdate,* from tblDayActivity where Activity='BLOCKFASTPUSH' ");
  std::optional<std::size_t> live;
  bool anyStale = false;
  for (std::size_t r = 0; r < rs.size(); ++r) {
    auto age = lockAge(rs.at(r, "timeof"), rs.at(r, "MyGetdate"));
    if (!age || *age >= kLockStaleSeconds) {
      anyStale = true;
      continue;
    }
    // A live row that blocks wins over one that reads as free.
    bool blocks = rs.at(r, "BlockDataEntry").toInt() == 1;
    if (!live || (blocks && rs.at(*live, "BlockDataEntry").toInt() != 1)) live = r;
  }
  if (!live) {
    freeVerdict = true;
    ctx.status().pushLock("FREE");
    if (anyStale) web.execute(" Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and " + kStale);
    return true;
  }
  if (anyStale) web.execute(" Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and " + kStale);
  holder = rs.at(*live, "SQLSERVERNAME").toString();
  if (rs.at(*live, "BlockDataEntry").toInt() == 1) {
    ctx.status().pushLock("LOCK");
    return false;
  }
  freeVerdict = true;
  ctx.status().pushLock("FREE");
  return true;
}

}  // namespace

std::string lockTakeStatements(const std::string& me) {
  return " Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and (SQLSERVERNAME=" + me +
         " or BlockDataEntry is null or BlockDataEntry<>1 or " + kStale +
         ")\r\n"
         " INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,"
         "ActivitiesDetail,Timeof) Select 'BLOCKFASTPUSH',1," +
         me +
         ",'','Blocking for data pushing from client',getDate() where not exists (Select 1 from [tblDayActivity] "
         "with (updlock, holdlock) where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and " +
         kLive + ")\r\n";
}

std::string lockReleaseStatement(const std::string& me) {
  return " Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and SQLSERVERNAME=" + me;
}

std::string liveLockCondition() {
  return "Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and " + kLive;
}

std::string otherHolderColumn(const std::string& me) {
  return "(Select top 1 isnull(SQLSERVERNAME,'') from [tblDayActivity] where " + liveLockCondition() +
         " and isnull(SQLSERVERNAME,'')<>" + me + " order by ID)";
}

namespace {

std::string lockedBatchText(const std::string& me, const LockedWork& work) {
  // XACT_ABORT: any error rolls the whole transaction back, lock row included, and ends the batch.
  return "SET XACT_ABORT ON\r\nDECLARE @lock int, @holder varchar(50)" + work.declarations +
         "\r\nBEGIN TRANSACTION\r\n" + lockTakeStatements(me) +
         "SELECT @lock = count(*) FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' AND BlockDataEntry=1 AND "
         "SQLSERVERNAME=" +
         me + "\r\nSELECT TOP 1 @holder = SQLSERVERNAME FROM [tblDayActivity] WHERE " + liveLockCondition() +
         " ORDER BY ID\r\nIF @lock > 0\r\nBEGIN\r\n" + work.statements + lockReleaseStatement(me) +
         "\r\nEND\r\nCOMMIT TRANSACTION\r\n" + kXactAbortOff + "\r\nSELECT @lock AS LockHeld, @holder AS Holder" +
         work.answer;
}

// A deadlock victim (1205) or a lock wait that timed out (1222): rolled back whole, worth sending again.
bool transient(const db::DbError& e) {
  return e.nativeError() == 1205 || e.nativeError() == 1222;
}
constexpr int kLockedBatchTries = 3;

}  // namespace

LockedReply runUnderPushLock(SyncContext& ctx, const LockedWork& work) {
  const std::string text = lockedBatchText(holderLiteral(ctx), work);
  LockedReply reply;
  for (int attempt = 1;; ++attempt) {
    try {
      reply.row = ctx.web().query(text);
      break;
    } catch (const db::DbError& e) {
      if (e.linkLost()) throw;
      restoreErrorHandling(ctx.web());
      if (!transient(e) || attempt >= kLockedBatchTries) throw;
    }
  }
  if (reply.row.empty()) throw std::runtime_error("head office did not answer for the work under the push lock");
  reply.held = reply.row.at(0, "LockHeld").toInt() > 0;
  reply.holder = reply.row.at(0, "Holder").toString();
  ctx.status().pushLock(reply.held ? "FREE" : "LOCK");
  return reply;
}

bool pushLock(SyncContext& ctx, PushLockAction action, std::string& holder) {
  bool freeVerdict = false;
  try {
    switch (action) {
      case PushLockAction::Refresh:
        return refreshLock(ctx);
      case PushLockAction::Check:
        return checkFree(ctx, holder, freeVerdict);
      case PushLockAction::Take:
        return takeLock(ctx);
      case PushLockAction::Release:
        releaseLock(ctx);
        return false;
    }
    return false;
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  return freeVerdict;
}

}  // namespace erpsync::sync

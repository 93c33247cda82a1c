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

#include "db/connection.h"
#include "db/sql_quote.h"
#include "shared/sync_context.h"

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
  return CheckSetServerFreeStatus(ctx, false, true, false, none);
}

void releaseLock(SyncContext& ctx) {
  ctx.web().execute(lockReleaseStatement(holderLiteral(ctx)));
  ctx.status().pushLock("FREE");
}

bool checkFree(SyncContext& ctx, std::string& StrWhoOccupiedServer, bool& freeVerdict) {
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
  StrWhoOccupiedServer = rs.at(*live, "SQLSERVERNAME").toString();
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

PushLockScope::PushLockScope(SyncContext& ctx) : ctx_(ctx) {
  const std::string name = ctx.day().costCentreName;
  const std::string me = db::sqlQuote(name);
  const std::string take = "SET XACT_ABORT ON\r\nBEGIN TRANSACTION\r\n" + lockTakeStatements(me) +
                           "COMMIT TRANSACTION\r\nSET XACT_ABORT OFF\r\n"
                           "Select top 1 SQLSERVERNAME as Holder from [tblDayActivity] where " +
                           liveLockCondition() + " order by ID";
  try {
    const db::Recordset rs = ctx.web().query(take);
    holder_ = rs.empty() ? std::string() : rs.at(0, 0).toString();
    held_ = !rs.empty() && holder_ == name;
    ctx.status().pushLock("LOCK");
  } catch (const std::exception& e) {
    const auto* d = dynamic_cast<const db::DbError*>(&e);
    ctx.notice(d ? d->description() : std::string(e.what()));
    failed_ = true;
    // The batch ended in its error with XACT_ABORT still on for the session.
    if (d && !d->linkLost()) {
      try {
        ctx.web().execute("SET XACT_ABORT OFF");
      } catch (const db::DbError&) {
      }
    }
  }
}

PushLockScope::~PushLockScope() {
  release();
}

void PushLockScope::release() {
  if (!held_) return;
  held_ = false;
  try {
    releaseLock(ctx_);
  } catch (const std::exception& e) {
    // Left behind, the row goes stale in 50 seconds and the next branch that looks clears it.
    const auto* d = dynamic_cast<const db::DbError*>(&e);
    ctx_.notice(d ? d->description() : std::string(e.what()));
  }
}

bool CheckSetServerFreeStatus(SyncContext& ctx, bool blnCheckFree, bool blnSetLock, bool blnUpdateTimeOnly,
                              std::string& StrWhoOccupiedServer) {
  bool freeVerdict = false;
  try {
    if (blnUpdateTimeOnly) return refreshLock(ctx);
    if (blnCheckFree) return checkFree(ctx, StrWhoOccupiedServer, freeVerdict);
    if (blnSetLock) return takeLock(ctx);
    releaseLock(ctx);
    return false;
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  return freeVerdict;
}

}  // namespace erpsync::sync

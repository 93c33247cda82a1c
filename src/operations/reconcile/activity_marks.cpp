// The two high-water marks against the change logs they point into: MaxActivityID (head office's tblActivity,
// masters) and MaxActivityIDTrans (the branch's tblActivity, vouchers).
#include "reconcile/activity_marks.h"

#include <algorithm>
#include <string>

#include "db/connection.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"

namespace erpsync::reconcile {

namespace {

const char* const kServerTop = " SELECT  max(ID) as MAXID From tblActivity  ";

long long top(const db::Recordset& rs) {
  return rs.empty() || rs.at(0, 0).isNull() ? 0 : rs.at(0, 0).toInt();
}

// Both pairs: the branch's pair too, as the branch log alone can be the one behind.
std::string comparison(SyncContext& ctx, const ActivityLogTops& t) {
  return " your web activity log ID is " + std::to_string(t.server) + " but your desktop synch ID is " +
         std::to_string(ctx.MaxActivityID) + "\r\n your desktop voucher activity ID is " +
         std::to_string(t.branch) + " and your upload synch ID is " + std::to_string(ctx.MaxActivityIDTrans) + "\r\n";
}

}  // namespace

bool ActivityLogTops::behind(const SyncContext& ctx) const {
  return server < ctx.MaxActivityID || branch < ctx.MaxActivityIDTrans;
}

ActivityLogTops ReadActivityLogTops(SyncContext& ctx, const WorkingDay& /*day*/) {
  ActivityLogTops t;
  t.server = top(ctx.web().query(kServerTop));
  // The upload passes every row of the branch's change log once it has recorded it, its own marks'
  // rows and earlier dates' rows included: one rule for the mark, so only a log emptied or made anew
  // leaves it above its newest row.
  t.branch = top(ctx.local().query("SELECT MAX(ID) AS MaxID FROM tblActivity"));
  return t;
}

bool ResetActivityMarks(SyncContext& ctx, const WorkingDay& day) {
  try {
    const ActivityLogTops t = ReadActivityLogTops(ctx, day);
    if (!t.behind(ctx)) {
      ctx.host.messageBox(comparison(ctx, t), Buttons::OK);
      return false;
    }
    // Only a mark above its log comes down to it: a mark below it has changes still to handle above
    // it (a branch delete not yet sent), and moving it up would skip them for good.
    const long long masters = std::min(ctx.MaxActivityID, t.server);
    const long long vouchers = std::min(ctx.MaxActivityIDTrans, t.branch);
    auto move = [](const char* name, long long from, long long to) {
      return std::string(name) + (from == to ? " stays at " + std::to_string(from)
                                             : " goes from " + std::to_string(from) + " down to " + std::to_string(to));
    };
    const std::string what = "Reset for " + ddMMMyyyy(day.date) + ": head office's " +
                             move("MaxActivityID", ctx.MaxActivityID, masters) + ", this branch's " +
                             move("MaxActivityIDTrans", ctx.MaxActivityIDTrans, vouchers) +
                             ". No row is deleted on either side; changes logged above the new marks are read again.";
    if (ctx.host.messageBox(comparison(ctx, t) + what + "\r\n do you want to reset now", Buttons::YesNo, Icon::Question,
                            "Activity marks", Answer::No) != Answer::Yes)
      return false;
    ctx.writeLoopSetting("MaxActivityID", std::to_string(masters));
    ctx.MaxActivityID = masters;
    ctx.writeLoopSetting("MaxActivityIDTrans", std::to_string(vouchers));
    ctx.MaxActivityIDTrans = vouchers;
    ctx.log("Activity marks reset",
            "MaxActivityID " + std::to_string(masters) + ", MaxActivityIDTrans " + std::to_string(vouchers));
    return true;
  } catch (const std::exception& e) {
    ctx.host.messageBox(e.what(), Buttons::OK);
    return false;
  }
}

bool ClearMasterActivity(SyncContext& ctx) {
  try {
    const long long mark = top(ctx.web().query(kServerTop));
    const db::Recordset pending =
        ctx.web().query("select count(*) from tblActivity where ID>" + std::to_string(ctx.MaxActivityID));
    const long long skipped = pending.empty() ? 0 : pending.at(0, 0).toInt();
    const std::string question =
        "Do you want to clear master updation activities from server?\r\nHead office: " + std::to_string(skipped) +
        (skipped == 1 ? " master change" : " master changes") + " waiting above MaxActivityID " +
        std::to_string(ctx.MaxActivityID) + " (up to " + std::to_string(mark) +
        ") are skipped; this branch will not receive them. Nothing is deleted at head office or at this branch.";
    if (ctx.host.messageBox(question, Buttons::YesNo, Icon::Question, "Clear Activity", Answer::No) != Answer::Yes)
      return false;
    ctx.writeLoopSetting("MaxActivityID", std::to_string(mark));
    ctx.MaxActivityID = mark;
    ctx.log("Master activity cleared", "MaxActivityID " + std::to_string(mark));
    return true;
  } catch (const std::exception& e) {
    ctx.host.messageBox(e.what(), Buttons::OK, Icon::Exclamation);
    return false;
  }
}

}  // namespace erpsync::reconcile

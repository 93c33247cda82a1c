// The branch's state at a glance (see branch_status.h).
#include "reconcile/branch_status.h"

#include <cstdio>

#include "db/connection.h"
#include "db/db_error.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"
#include "sync/upload_journal.h"
#include "sync/voucher_kinds.h"

namespace erpsync::reconcile {

namespace {

// The branch in one statement: what will go up (every voucher waiting, of any date, of the chosen
// types or already at head office, and every deletion waiting to be marked there; never the branch's
// own journals, which stay at the branch), the working date's vouchers sent, the oldest voucher change
// the upload has not passed yet, and the branch server's clock that wrote its time.
std::string branchQuery(long long mark, const WorkingDay& day) {
  std::string waiting, sent;
  const std::string date = ddMMMyyyy(day.date);
  for (const auto& k : sync::voucherKinds()) {
    waiting += std::string("(SELECT count(*) FROM ") + k.table + " WHERE isnull(SyncStat,0)=0 AND (1=1" +
               uploadedVoucherTypesFilter(day, "VchTypeID") + sync::hasOpenClaim(k) + ")) + ";
    sent += (sent.empty() ? "" : " + ") + std::string("(SELECT count(*) FROM ") + k.table +
            " WHERE isnull(SyncStat,0)<>0 AND " + k.dateColumn + "='" + date + "')";
  }
  waiting += sync::retiringCount();
  return "SELECT " + waiting + " AS Waiting, " + sent +
         " AS SentToday, (SELECT min(ActionTime) FROM tblactivity WHERE ID > " + std::to_string(mark) +
         " AND ParentID in (" + kUploadedParentTypes +
         ") AND Action not in ('Update')) AS Oldest, getdate() AS BranchNow";
}

// Head office in one statement: today's master changes this branch has and those it has not yet, and
// the live holder of the push lock.
std::string headOfficeQuery(long long mark, const std::string& day) {
  const std::string m = std::to_string(mark);
  return "SELECT (SELECT count(*) FROM tblActivity WHERE ISNULL(ParentID,0)=0 AND ID <= " + m + " AND DateofAction='" +
         day +
         "') AS MastersToday, (SELECT count(*) FROM tblActivity WHERE "
         "ISNULL(ParentID,0)=0 AND ID > " +
         m +
         ") AS MastersWaiting, (SELECT TOP 1 SQLSERVERNAME FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH' AND "
         "BlockDataEntry=1 AND DATEDIFF(second, Timeof, getDate()) < 50 AND DATEDIFF(second, Timeof, getDate()) > "
         "-50 ORDER BY Timeof DESC) AS LockHolder";
}

// The last good pass is kept to the minute.
std::string when(const std::optional<DateTime>& t) {
  if (!t) return "never";
  const std::string time = timeAmPm(*t);  // "08:05:03 PM"
  return ddMMMyyyy(*t) + " " + time.substr(0, 5) + time.substr(8);
}

std::string plural(long long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string lockText(const BranchStatus& s) {
  if (!s.lockKnown) return "unknown";
  return s.lockHolder.empty() ? "free" : "held by " + s.lockHolder;
}

std::string headOfficeText(const BranchStatus& s, bool withReason = true) {
  switch (s.link.state) {
    case HeadOfficeLink::State::Reachable:
      return "reachable" + (s.link.since ? " since " + generalDateTime(*s.link.since) : std::string()) +
             (s.headOfficeError.empty() || !withReason ? std::string() : ", but it answered: " + s.headOfficeError);
    case HeadOfficeLink::State::Unreachable:
      return "cannot be reached" + (s.link.since ? " since " + generalDateTime(*s.link.since) : std::string()) +
             (s.link.reason.empty() || !withReason ? std::string() : " (" + s.link.reason + ")");
    case HeadOfficeLink::State::Unknown:
      break;
  }
  return "not yet known";
}

std::string waitingText(const BranchStatus& s) {
  if (!s.branchError.empty()) return "vouchers waiting unknown (" + s.branchError + ")";
  std::string t = plural(s.vouchersWaiting, "voucher waiting", "vouchers waiting");
  if (s.vouchersWaiting > 0 && s.oldestWaitingMinutes)
    t += ", the oldest entered " + plural(*s.oldestWaitingMinutes, "minute", "minutes") + " ago";
  return t;
}

std::string json(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

template <class T>
std::string jsonOr(const std::optional<T>& v) {
  if (!v) return "null";
  if constexpr (std::is_same_v<T, DateTime>)
    return json(v->iso().substr(0, 19));
  else
    return std::to_string(*v);
}

}  // namespace

BranchStatus readBranchStatus(SyncContext& ctx, bool askHeadOffice) {
  BranchStatus s;
  s.lastGoodPass = readLastGoodPass(ctx);
  s.link = readHeadOfficeLink(ctx);
  s.workingDate = ctx.day().date.dateOnly();
  const std::string day = ddMMMyyyy(s.workingDate);
  try {
    sync::ensureUploadJournal(ctx.local());
    const db::Recordset rs = ctx.local().query(branchQuery(ctx.MaxActivityIDTrans, ctx.day()));
    s.vouchersWaiting = static_cast<int>(rs.at(0, "Waiting").toInt());
    s.uploadedToday = static_cast<int>(rs.at(0, "SentToday").toInt());
    const auto oldest = rs.at(0, "Oldest").toDateTime();
    const auto now = rs.at(0, "BranchNow").toDateTime();
    if (oldest && now) s.oldestWaitingMinutes = std::max(0LL, (now->totalSeconds() - oldest->totalSeconds()) / 60);
  } catch (const db::DbError& e) {
    s.branchError = e.description();
  }
  HeadOfficeFacts& facts = ctx.headOfficeFacts;
  if (askHeadOffice && db::isOpen(ctx.WebConnection)) {
    s.headOfficeAsked = true;
    try {
      const db::Recordset rs = ctx.web().query(headOfficeQuery(ctx.MaxActivityID, day));
      facts.known = true;
      facts.mastersReceivedToday = static_cast<int>(rs.at(0, "MastersToday").toInt());
      facts.mastersWaiting = static_cast<int>(rs.at(0, "MastersWaiting").toInt());
      facts.lockHolder = rs.at(0, "LockHolder").isNull() ? std::string() : rs.at(0, "LockHolder").toString();
      facts.askedAt = ctx.clock.now().totalSeconds();
      if (s.link.state != HeadOfficeLink::State::Reachable) s.link = {HeadOfficeLink::State::Reachable, {}, {}};
    } catch (const db::DbError& e) {
      facts.known = false;
      if (!e.linkLost() && db::isOpen(ctx.WebConnection)) {
        // Head office answered: it is reachable, only not able to say what was asked.
        if (s.link.state != HeadOfficeLink::State::Reachable) s.link = {HeadOfficeLink::State::Reachable, {}, {}};
        s.headOfficeError = e.description();
      } else {
        if (s.link.state != HeadOfficeLink::State::Unreachable) s.link.since.reset();
        s.link.state = HeadOfficeLink::State::Unreachable;
        s.link.reason = e.description();
      }
    }
  }
  // Unknown while head office cannot be reached: the lock may have changed hands since.
  if (facts.known && s.link.state != HeadOfficeLink::State::Unreachable) {
    s.mastersReceivedToday = facts.mastersReceivedToday;
    s.mastersWaiting = facts.mastersWaiting;
    s.lockKnown = true;
    s.lockHolder = facts.lockHolder;
  }
  return s;
}

std::string branchStatusLine(const BranchStatus& s) {
  std::string line = "Last good pass: " + when(s.lastGoodPass) + ". " + waitingText(s) + "; " +
                     std::to_string(s.uploadedToday) + " sent today";
  if (s.mastersReceivedToday) line += "; " + std::to_string(*s.mastersReceivedToday) + " master changes received today";
  // The reason is long (the server's own words): the status box beside the line gives it.
  line += ". Head office " + headOfficeText(s, false) + ". Push lock: " + lockText(s) + ".";
  return line;
}

std::string branchStatusText(const BranchStatus& s) {
  std::string t;
  t += "Last good pass: " + when(s.lastGoodPass) + "\n";
  t += "Vouchers waiting: " +
       (s.branchError.empty() ? std::to_string(s.vouchersWaiting) : "unknown (" + s.branchError + ")") + "\n";
  t += "Oldest waiting: " +
       (s.vouchersWaiting > 0 && s.oldestWaitingMinutes ? plural(*s.oldestWaitingMinutes, "minute", "minutes") + " old"
                                                        : std::string("-")) +
       "\n";
  t += "Uploaded today (" + ddMMMyyyy(s.workingDate) + "): " + std::to_string(s.uploadedToday) + "\n";
  t += "Masters received today: " +
       (s.mastersReceivedToday ? std::to_string(*s.mastersReceivedToday) : std::string("unknown")) + "\n";
  t += "Masters waiting at head office: " +
       (s.mastersWaiting ? std::to_string(*s.mastersWaiting) : std::string("unknown")) + "\n";
  t += "Head office: " + headOfficeText(s) + "\n";
  t += "Push lock: " + lockText(s) + "\n";
  return t;
}

std::string branchStatusJson(const BranchStatus& s) {
  const bool branchRead = s.branchError.empty();
  const char* state = s.link.state == HeadOfficeLink::State::Reachable     ? "true"
                      : s.link.state == HeadOfficeLink::State::Unreachable ? "false"
                                                                           : "null";
  std::string j = "{";
  j += "\"lastGoodPass\":" + (s.lastGoodPass ? json(s.lastGoodPass->iso().substr(0, 16)) : std::string("null"));
  j += ",\"workingDate\":" + json(s.workingDate.iso().substr(0, 10));
  j += ",\"vouchersWaiting\":" + (branchRead ? std::to_string(s.vouchersWaiting) : std::string("null"));
  j += ",\"oldestWaitingMinutes\":" +
       (branchRead && s.vouchersWaiting > 0 ? jsonOr(s.oldestWaitingMinutes) : std::string("null"));
  j += ",\"uploadedToday\":" + (branchRead ? std::to_string(s.uploadedToday) : std::string("null"));
  j += ",\"branchError\":" + (branchRead ? std::string("null") : json(s.branchError));
  j += ",\"mastersReceivedToday\":" + jsonOr(s.mastersReceivedToday);
  j += ",\"mastersWaiting\":" + jsonOr(s.mastersWaiting);
  j += ",\"headOffice\":{\"reachable\":" + std::string(state) + ",\"since\":" + jsonOr(s.link.since) +
       ",\"reason\":" + (s.link.reason.empty() ? std::string("null") : json(s.link.reason)) +
       ",\"error\":" + (s.headOfficeError.empty() ? std::string("null") : json(s.headOfficeError)) + "}";
  j += ",\"pushLock\":" + (s.lockKnown ? "{\"free\":" + std::string(s.lockHolder.empty() ? "true" : "false") +
                                             ",\"holder\":" + (s.lockHolder.empty() ? "null" : json(s.lockHolder)) + "}"
                                       : std::string("null"));
  return j + "}";
}

}  // namespace erpsync::reconcile

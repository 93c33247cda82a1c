// The work of one upload pass, read from the branch: the deletions and the oldest vouchers waiting, up
// to the pass's share.
#include "sync/upload_work.h"

#include <algorithm>
#include <map>
#include <string>
#include <tuple>

#include "db/connection.h"
#include "db/sql_literal.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"
#include "sync/voucher_kinds.h"

namespace erpsync::sync {

namespace {

// A voucher waiting: its date (as a day number, 0 without one), its kind's place, its branch number.
using Waiting = std::tuple<long long, std::size_t, long long>;

std::string waitingFilter(const WorkingDay& day, const VoucherKind& k) {
  return " isnull(SyncStat,0)=0 and (1=1" + uploadedVoucherTypesFilter(day, "VchTypeID") + hasOpenClaim(k) + ")";
}

std::vector<Waiting> waitingVouchers(db::Connection& local, const WorkingDay& day,
                                     const std::set<VoucherRef>& young) {
  std::vector<Waiting> out;
  const auto& kinds = voucherKinds();
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    const VoucherKind& k = kinds[i];
    const db::Recordset rs =
        local.query("select " + k.key + ", " + k.dateColumn + " from " + k.table + " where" + waitingFilter(day, k));
    for (std::size_t r = 0; r < rs.size(); ++r) {
      const auto n = db::wholeNumber(rs.at(r, 0));
      if (!n || young.count({&k, *n})) continue;
      const auto d = rs.at(r, 1).toDateTime();
      out.emplace_back(d ? d->dayNumber() : 0, i, *n);
    }
  }
  return out;
}

}  // namespace

bool readWork(SyncContext& ctx, const WorkingDay& day, const std::set<VoucherRef>& young, std::size_t limit,
              Work& w) {
  try {
    auto& local = ctx.local();
    const auto& kinds = voucherKinds();
    std::vector<Waiting> waiting = waitingVouchers(local, day, young);
    std::set<VoucherRef> toSend;
    for (const auto& [date, kind, no] : waiting) toSend.insert({&kinds[kind], no});
    // A deletion of a voucher whose id is sent again goes with that send, in this pass or a later one.
    std::size_t retiringTotal = 0;
    for (auto& c : readRetiringClaims(local)) {
      if (toSend.count({c.kind, c.branchNo})) continue;
      ++retiringTotal;
      if (w.retiring.size() < limit) w.retiring.push_back(std::move(c));
    }
    const std::size_t room = limit - w.retiring.size();
    std::sort(waiting.begin(), waiting.end());
    const std::size_t taken = std::min(room, waiting.size());
    w.later = static_cast<int>(retiringTotal - w.retiring.size() + waiting.size() - taken);
    std::map<std::size_t, std::vector<long long>> ids;
    for (std::size_t i = 0; i < taken; ++i) ids[std::get<1>(waiting[i])].push_back(std::get<2>(waiting[i]));
    for (auto& [kind, nos] : ids) {
      const VoucherKind& k = kinds[kind];
      std::sort(nos.begin(), nos.end());
      readOpenClaims(local, k, nos, w.claims);
      for (auto& v : readVoucherCopies(local, k, nos, waitingFilter(day, k))) w.copies.push_back(std::move(v));
    }
  } catch (const std::exception& e) {
    const auto* d = dynamic_cast<const db::DbError*>(&e);
    ctx.notice((d ? d->description() : std::string(e.what())) + "upload transactions");
    return false;
  }
  return true;
}

}  // namespace erpsync::sync

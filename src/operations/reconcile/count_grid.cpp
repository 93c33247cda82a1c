// The side-by-side counts: the same counting query on the branch and at head office, one row per label, each
// row equal, differing, or differing only by vouchers still waiting to go up.
#include "reconcile/count_grid.h"

#include <algorithm>
#include <map>

#include "db/connection.h"
#include "shared/sync_context.h"

namespace erpsync::reconcile {

int CountComparison::differing() const {
  return static_cast<int>(
      std::count_if(rows.begin(), rows.end(), [](const CountRow& r) { return r.state == CountState::Differs; }));
}

CountComparison CompareCounts(SyncContext& ctx, const std::string& query, const std::string& waitingQuery) {
  CountComparison out;
  const auto branch = ctx.local().query(query);
  for (std::size_t r = 0; r < branch.size(); ++r)
    out.rows.push_back({branch.at(r, "Property").toString(), branch.at(r, "Nos").toInt(), std::nullopt});
  std::map<std::string, long long> waiting;
  if (!waitingQuery.empty()) {
    const auto w = ctx.local().query(waitingQuery);
    for (std::size_t r = 0; r < w.size(); ++r) waiting[w.at(r, "Property").toString()] = w.at(r, "Nos").toInt();
  }
  const auto central = ctx.web().query(query);
  for (std::size_t r = 0; r < central.size(); ++r) {
    const std::string label = central.at(r, "Property").toString();
    auto row = std::find_if(out.rows.begin(), out.rows.end(),
                            [&label](const CountRow& c) { return c.label == label && !c.central; });
    if (row == out.rows.end()) row = out.rows.insert(out.rows.end(), {label, std::nullopt, std::nullopt});
    row->central = central.at(r, "Nos").toInt();
  }
  for (auto& row : out.rows) {
    if (row.branch && row.central && *row.branch == *row.central) continue;
    const long long mine = row.branch.value_or(0), theirs = row.central.value_or(0);
    const auto w = waiting.find(row.label);
    const bool onlyWaiting = w != waiting.end() && theirs < mine && mine - theirs <= w->second;
    row.state = onlyWaiting ? CountState::Waiting : CountState::Differs;
  }
  return out;
}

}  // namespace erpsync::reconcile

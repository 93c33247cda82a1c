#include "reconcile/count_grid.h"

#include <map>

#include "db/connection.h"
#include "form/main_form.h"
#include "shared/sync_context.h"
#include "shared/val.h"

namespace erpsync {

int FillCountGrid(SyncContext& ctx, form::Grid& grid, const std::string& header, int cols, const std::string& query,
                  bool mismatchColumn, const std::string& waitingQuery) {
  grid.setRows(1);
  grid.setFormatString(header);
  grid.setCols(cols);
  const auto branch = ctx.local().query(query);
  for (std::size_t r = 0; r < branch.size(); ++r)
    grid.addItem(branch.at(r, "Property").toString() + "\t" + branch.at(r, "Nos").toString());
  grid.addItem("Onlinedata");
  std::map<std::string, double> waiting;
  if (!waitingQuery.empty()) {
    const auto w = ctx.local().query(waitingQuery);
    for (std::size_t r = 0; r < w.size(); ++r) waiting[w.at(r, "Property").toString()] = w.at(r, "Nos").toDouble();
  }
  const auto central = ctx.web().query(query);
  int differing = 0;
  for (std::size_t r = 0; r < central.size(); ++r) {
    const int row = static_cast<int>(r) + 1;
    if (row >= grid.rows()) grid.setRows(row + 1);
    grid.setText(row, 2, central.at(r, "Nos").toString());
    const double mine = Val(grid.text(row, 1)), theirs = Val(grid.text(row, 2));
    if (mine == theirs) {
      if (mismatchColumn) grid.setText(row, 3, "No");
      continue;
    }
    // Head office short by no more than what still waits here: the upload has yet to send it.
    const auto w = waiting.find(grid.text(row, 0));
    const bool onlyWaiting = w != waiting.end() && theirs < mine && mine - theirs <= w->second;
    grid.setCellColor(row, 0, onlyWaiting ? kWaitingColor : kMismatchColor);
    if (!onlyWaiting) ++differing;
    if (mismatchColumn) grid.setText(row, 3, onlyWaiting ? "Waiting" : "Yes");
  }
  return differing;
}

}  // namespace erpsync

#include "reconcile/count_grid.h"

#include "db/connection.h"
#include "form/main_form.h"
#include "shared/sync_context.h"
#include "shared/val.h"

namespace erpsync {

int FillCountGrid(SyncContext& ctx, form::Grid& grid, const std::string& header, int cols, const std::string& query,
                  bool mismatchColumn) {
  grid.setRows(1);
  grid.setFormatString(header);
  grid.setCols(cols);
  const auto branch = ctx.local().query(query);
  for (std::size_t r = 0; r < branch.size(); ++r)
    grid.addItem(branch.at(r, "Property").toString() + "\t" + branch.at(r, "Nos").toString());
  grid.addItem("Onlinedata");
  const auto central = ctx.web().query(query);
  int differing = 0;
  for (std::size_t r = 0; r < central.size(); ++r) {
    const int row = static_cast<int>(r) + 1;
    if (row >= grid.rows()) grid.setRows(row + 1);
    grid.setText(row, 2, central.at(r, "Nos").toString());
    const bool differs = Val(grid.text(row, 1)) != Val(grid.text(row, 2));
    if (differs) {
      grid.setCellColor(row, 0, kMismatchColor);
      ++differing;
    }
    if (mismatchColumn) grid.setText(row, 3, differs ? "Yes" : "No");
  }
  return differing;
}

}  // namespace erpsync

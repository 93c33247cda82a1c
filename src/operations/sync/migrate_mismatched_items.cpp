// "Migrate Mismatch (red) Items" of the Data Status page: the masters whose counts differ are migrated
// again with the full master migration.
#include <algorithm>
#include <set>

#include "db/connection.h"
#include "form/main_form.h"
#include "reconcile/count_grid.h"
#include "reconcile/fill_data_count.h"
#include "shared/sync_context.h"
#include "stock/update_batch_active_status.h"
#include "sync/full_master_migration.h"
#include "util/text.h"

namespace erpsync {

namespace {

// The list entry's name as the grid labels it: the table after the first "_", without "tbl".
std::string entryName(const std::string& entry) {
  std::string name = entry.substr(std::min(entry.size(), entry.find('_') + 1));
  for (auto p = name.find("tbl"); p != std::string::npos; p = name.find("tbl")) name.erase(p, 3);
  return text::upper(name);
}

long long centralMaxActivityId(SyncContext& ctx) {
  auto rs = ctx.web().query(" SELECT  max(ID) as MAXID From tblActivity  ");
  return rs.empty() ? 0 : rs.at(0, 0).toInt();
}

// Where the master download may go on from after the migration: past the central changes up to
// `before` (the newest change when the migration began), but not past the first one of a table the
// migration did not replace, nor behind the mark it has now.
long long markAfterMigration(SyncContext& ctx, long long before, const std::vector<std::string>& migrated) {
  std::set<std::string> covered;
  for (const auto& t : migrated) covered.insert(text::upper(t));
  auto rs = ctx.web().query("SELECT ID, TableName FROM tblActivity WHERE ID>" + std::to_string(ctx.MaxActivityID) +
                            " AND ID<=" + std::to_string(before) + " ORDER BY ID");
  long long mark = before;
  for (std::size_t r = 0; r < rs.size(); ++r) {
    if (!covered.count(text::upper(rs.at(r, "TableName").toString()))) {
      mark = rs.at(r, "ID").toInt() - 1;
      break;
    }
  }
  return std::max(mark, ctx.MaxActivityID);
}

}  // namespace

MigrationOutcome cmdMIgrateMismatchedItemsonly_Click(SyncContext& ctx) {
  auto& f = ctx.form;
  auto& list = f.lstMasterSettings;
  MigrationOutcome out;
  try {
    cmdMasterSynchDetail_Click(ctx);
    for (int i = 0; i < list.listCount(); ++i) list.setSelected(i, false);

    std::string collected;
    const auto& grid = f.msgDataCount;
    for (int r = 1; r < grid.rows(); ++r) {
      if (grid.cellColor(r, 0) != kMismatchColor) continue;
      const std::string label = text::upper(grid.text(r, 0));
      for (const auto& item : list.items())
        if (entryName(item.text) == label) collected += "," + label;
    }
    for (int i = 0; i < list.listCount(); ++i) {
      const std::string name = entryName(list.items()[static_cast<std::size_t>(i)].text);
      if (!collected.empty() && collected.find(name) != std::string::npos) list.setSelected(i, true);
    }
    list.setVisible(true);

    // Read before the migration: a change made while it runs is not covered by it.
    const long long before = centralMaxActivityId(ctx);
    out = cmdFullSync_Click(ctx);
    stock::updatebatchActivestatus(ctx);
    if (!out.stopped) {
      const long long mark = markAfterMigration(ctx, before, out.migrated);
      ctx.writeLoopSetting("MaxActivityID", std::to_string(mark));
      ctx.MaxActivityID = mark;
    }
    FillDataCount(ctx);
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "cmdMIgrateMismatchedItemsonly_Click");
  }
  return out;
}

}  // namespace erpsync

// "Migrate Mismatch (red) Items" of the Data Status page: the masters whose counts differ are migrated
// again with the full master migration.
#include "sync/migrate_mismatched_items.h"

#include <algorithm>
#include <set>

#include "db/connection.h"
#include "shared/sync_context.h"
#include "stock/update_batch_active_status.h"
#include "util/text.h"

namespace erpsync::sync {

namespace {

// A master's name as the count grid labels it: its table without "tbl", in capitals.
std::string labelOf(const std::string& table) {
  std::string name = table;
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

std::vector<std::string> mismatchedMasterTables(const std::vector<std::string>& differingLabels) {
  std::string collected;
  for (const auto& differing : differingLabels) {
    const std::string label = text::upper(differing);
    for (const auto& e : masterListEntries())
      if (labelOf(e.table) == label) collected += "," + label;
  }
  std::vector<std::string> tables;
  if (collected.empty()) return tables;
  for (const auto& e : masterListEntries())
    if (collected.find(labelOf(e.table)) != std::string::npos) tables.push_back(e.table);
  return tables;
}

MismatchMigrationOutcome migrateMismatchedItems(SyncContext& ctx, const MigrationRequest& request) {
  MismatchMigrationOutcome out;
  try {
    // Read before the migration: a change made while it runs is not covered by it.
    const long long before = centralMaxActivityId(ctx);
    out.migration = fullMasterMigration(ctx, request);
    stock::copyBatchActiveStatus(ctx);
    if (!out.migration.stopped) {
      const long long mark = markAfterMigration(ctx, before, out.migration.migrated);
      ctx.writeLoopSetting("MaxActivityID", std::to_string(mark));
      ctx.MaxActivityID = mark;
    }
  } catch (const db::DbError& e) {
    out.failed = true;
    ctx.notice(e.description() + "cmdMIgrateMismatchedItemsonly_Click");
  }
  return out;
}

}  // namespace erpsync::sync

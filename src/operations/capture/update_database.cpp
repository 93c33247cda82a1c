// Schema upgrade: one run prepares both company databases for synchronisation and can be repeated
// whenever a program update brings new columns or new trigger texts.
#include "capture/update_database.h"

#include <algorithm>
#include <string>
#include <vector>

#include "capture/create_trigger.h"
#include "capture/drop_trigger.h"
#include "capture/execute_ignoring_failure.h"
#include "capture/sync_indexes.h"
#include "capture/trigger_texts.h"
#include "capture/watched_tables.h"
#include "shared/sync_context.h"
#include "db/connection.h"
#include "sync/upload_journal.h"
#include "sync/voucher_kinds.h"

namespace erpsync::capture {

namespace {

// The voucher trigger names dropped on the branch before the voucher triggers are installed again
// ("Attendance" belonged to an older program that watched attendance too).
const std::vector<std::string>& branchTriggerNamesToDrop() {
  static const std::vector<std::string> names{"Sales", "Notes", "Attendance", "StockJournal", "Order", "JobCard"};
  return names;
}

// The master trigger names whose old triggers are taken off head office before the masters are watched
// again. The masters missing here are dropped right after them, so every run leaves the current
// trigger texts on every master table.
const std::vector<std::string>& masterTriggerNamesToDrop() {
  static const std::vector<std::string> names{"Area",   "Categories", "CostCentre", "Employee", "Godown", "Iteams",
                                              "Ledger", "HSNCODE",    "TaxClass",   "Unit",     "User"};
  return names;
}

// Rebuild identity columns of branch tables as plain numeric columns holding the same values, so ids
// copied from the central database can be stored in them.
const std::vector<std::string>& userGroupIdAsPlainNumber() {
  static const std::vector<std::string> s{
      "Alter Table tblUserGroupMaster ADD NEWID Numeric", "update tblUserGroupMaster set NEWID =id",
      "Alter Table tblUserGroupMaster Drop column ID",    "Alter Table tblUserGroupMaster ADD ID Numeric",
      "update tblUserGroupMaster set id=NEWID",           "Alter Table tblUserGroupMaster Drop column NEWID",
  };
  return s;
}

const std::vector<std::string>& godownIdAsPlainNumber() {
  static const std::vector<std::string> s{
      "Alter Table tblGodown ADD NEWID Numeric",    "update tblGodown set NEWID =GodownID",
      "Alter Table tblGodown Drop column GodownID", "Alter Table tblGodown ADD GodownID Numeric",
      "update tblGodown set GodownID=NEWID",        "Alter Table tblGodown Drop column NEWID",
  };
  return s;
}

}  // namespace

void updateDatabase(SyncContext& ctx) {
  db::Connection* B = ctx.LocalConnection.get();
  db::Connection* C = ctx.WebConnection.get();
  auto both = [&](const std::string& sql) {
    executeIgnoringFailure(B, sql);
    executeIgnoringFailure(C, sql);
  };

  // Board rates, sales and price lists.
  executeIgnoringFailure(B, " Alter table tblBoardRateMaster add VchID numeric ");
  executeIgnoringFailure(B, " Alter table tblBoardRateMaster add VchNo numeric ");
  executeIgnoringFailure(C, " Alter table tblBoardRateMaster add VchID numeric ");
  executeIgnoringFailure(C, " Alter table tblBoardRateMaster add VchNo numeric ");
  both("Alter table tblBoardRateMaster add CUSTOMFIELD1 varchar(50) ");
  both("Alter table tblSales add UserIDModified Numeric ");
  both("Alter table tblpricelist  alter column CatchAll Numeric ");
  both("Alter table tblpricelist  alter column blnPercentage Numeric ");
  executeIgnoringFailure(B, "Alter table TblSales Add SyncStat Numeric");
  executeIgnoringFailure(B, "Alter table TblSales Drop column SynchStat ");
  executeIgnoringFailure(C, "Alter table TblSales Add SyncStat Numeric");
  for (db::Connection* c : {B, C}) {
    executeIgnoringFailure(c, "ALTER TABLE tblItemMaster add sRatePerOnMRP float ");
    executeIgnoringFailure(c, "update tblItemMaster Set sRatePerOnMRP =0 where sRatePerOnMRP IS NULL");
  }

  // Upload flag and central id on every voucher header.
  both("Alter table TblSales Add ServInvID Numeric");
  both("Alter table TblNotes Add SyncStat Numeric");
  both("Alter table TblNotes Add ServInvID Numeric");
  both("Alter table Tblstockjournal Add SyncStat Numeric");
  both("Alter table Tblstockjournal Add ServInvID Numeric");
  both("Alter table TblJobcard Add SyncStat Numeric");
  both("Alter table TblJobcard Add ServInvID Numeric");
  both("Alter table tblOrder Add SyncStat Numeric");
  both("Alter table tblOrder Add ServInvID Numeric");

  // Branch masters whose ids come from head office.
  for (const auto& sql : userGroupIdAsPlainNumber()) executeIgnoringFailure(B, sql);
  for (const auto& sql : godownIdAsPlainNumber()) executeIgnoringFailure(B, sql);

  // Day rows and the push lock. The table is created only where it is missing: it holds the day history
  // of every branch and, at head office, the live push lock, so it is never dropped. A table from an
  // older program gets its two newer columns; when it already holds rows the server refuses a NOT NULL
  // column without a default, so the columns are then added one by one, the name defaulting to ''.
  for (db::Connection* c : {B, C}) {
    executeIgnoringFailure(c, dayActivityTableCreate());
    if (!executeIgnoringFailure(c, dayActivityTableAddColumns())) {
      executeIgnoringFailure(c, " Alter TABLE tblDayActivity add BlockDataEntry [numeric](18, 0) ");
      executeIgnoringFailure(c, " Alter TABLE tblDayActivity add SQLSERVERNAME [varchar](50) NOT NULL DEFAULT ('') ");
    }
  }

  // The change log.
  both(activityTableCreate());
  for (const auto& sql : activityTableWidenings()) both(sql);

  // Change-log triggers. Each is dropped on the database that holds it and created again, so every run
  // leaves the current trigger texts in place.
  const auto& masters = masterTables();
  const auto& firstDrops = masterTriggerNamesToDrop();
  for (const auto& name : firstDrops) dropChangeLogTriggers(ctx, name, C);
  for (const auto& t : masters)
    if (std::find(firstDrops.begin(), firstDrops.end(), t.triggerName) == firstDrops.end())
      dropChangeLogTriggers(ctx, t.triggerName, C);
  for (std::size_t i = 0; i < 13 && i < masters.size(); ++i)
    Createtrigger(ctx, masters[i].triggerName, masters[i].table, masters[i].idColumn, C, true);
  executeIgnoringFailure(C, boardRateTriggerDrop());
  executeIgnoringFailure(C, boardRateTriggerText());
  for (std::size_t i = 13; i < masters.size(); ++i)
    Createtrigger(ctx, masters[i].triggerName, masters[i].table, masters[i].idColumn, C, true);
  for (const auto& name : branchTriggerNamesToDrop()) dropChangeLogTriggers(ctx, name, B);
  for (const auto& t : voucherTables()) Createtrigger(ctx, t.triggerName, t.table, t.idColumn, B, false);

  // Indexes the upload looks up by: at head office the copy of a branch voucher by its printed number
  // (the check that keeps a voucher from being copied twice), at the branch the vouchers still waiting.
  // Without them both lookups read whole tables, once per voucher. A second run finds them in place.
  for (const auto& k : sync::voucherKinds()) {
    executeIgnoringFailure(
        C, "CREATE INDEX IX_" + k.table + "_" + k.numberColumn + " ON " + k.table + " (" + k.numberColumn + ")");
    executeIgnoringFailure(B, "CREATE INDEX IX_" + k.table + "_SyncStat ON " + k.table + " (SyncStat)");
  }
  // The synchroniser's own indexes, which keep head office's work per batch and per count flat.
  for (const auto& i : syncIndexes()) {
    if (i.centralSide) executeIgnoringFailure(C, i.create());
    if (i.branchSide) executeIgnoringFailure(B, i.create());
  }

  // The branch's record of what it sent, which lets deletions and edits after upload find their copy.
  if (B) {
    try {
      sync::ensureUploadJournal(*B);
    } catch (const db::DbError& e) {
      ctx.notice(e.description());
    }
  }

  ctx.host.messageBox("Database Updated.", Buttons::OK);
}

}  // namespace erpsync::capture

// The master row copy: every row of the source becomes one literal INSERT on the target. No
// transaction here: a caller that needs a row's delete and copy to stand or fall together holds one.
#include "sync/create_insert_queries.h"

#include "db/connection.h"
#include "shared/sync_context.h"
#include "sync/field_literal.h"

namespace erpsync::sync {

namespace {

std::string columnList(const db::Recordset& rs) {
  std::string cols;
  for (const auto& f : rs.fields) cols += (cols.empty() ? "" : ",") + f.name;
  return cols;
}

std::string valueList(const db::Recordset& rs, std::size_t row) {
  std::string values;
  for (std::size_t f = 0; f < rs.fields.size(); ++f)
    values += (f ? "," : "") + FieldLiteral(rs.at(row, f), rs.fields[f].type);
  return values;
}

// A duplicate key costs its row, not the copy: SQL Server numbers it 2627 (a primary or unique key
// constraint) or 2601 (a unique index), whatever language it words the message in. A backend that
// gives no number is judged by SQL Server's English wording.
bool duplicateKey(const db::DbError& e) {
  if (e.nativeError() != 0) return e.nativeError() == 2627 || e.nativeError() == 2601;
  return e.description().find("Cannot insert duplicate key") != std::string::npos;
}

}  // namespace

CopyOutcome CreateInsertQueries(SyncContext& ctx, const std::string& tableName, const std::string& /*Condition*/,
                                const std::string& myQuery, db::Connection& target, db::Connection& source) {
  CopyOutcome out;
  ctx.status().stage("Migrating " + tableName);
  db::Recordset rs;
  try {
    rs = source.query(myQuery.empty() ? "Select * from " + tableName : myQuery);
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "CreateInsert Queries" + tableName);
    out.stopped = true;
    return out;
  }
  return CopyRows(ctx, tableName, rs, target);
}

CopyOutcome CopyRows(SyncContext& ctx, const std::string& tableName, const db::Recordset& rs, db::Connection& target) {
  CopyOutcome out;
  ctx.status().stage("Migrating " + tableName);
  const std::string columns = columnList(rs);
  for (std::size_t row = 0; row < rs.size(); ++row) {
    ctx.host.doEvents();
    const std::string values = valueList(rs, row);
    if (values.empty()) continue;
    const std::string sql = "Insert into " + tableName + " (" + columns + ") values (" + values + ")";
    // The status box says what happens; the statement itself goes to the log.
    ctx.status().status("Bringing " + tableName + " from head office: row " + std::to_string(row + 1) + " of " +
                        std::to_string(rs.size()) + ".");
    ctx.host.doEvents();
    ctx.log("Insert Query", sql);
    // Each row is judged by its own statement: a failed insert never inherits an earlier row's count.
    long long affected = 0;
    try {
      affected = target.execute(sql);
    } catch (const db::DbError& e) {
      ctx.notice(e.description() + "CreateInsert Queries" + tableName);
      if (!duplicateKey(e)) {
        ++out.failed;
        out.stopped = true;
        return out;
      }
    }
    if (affected != 0) {
      ++out.inserted;
      ctx.log("Insert Query", "Updated Successfully");
    } else {
      ++out.failed;
      // An empty category insert is an expected outcome of the ERP's category table.
      if (tableName != "tblCategories") {
        ctx.host.messageBox("Failed to update " + tableName, Buttons::OK, Icon::Critical);
        ctx.log("Insert Query", "Failed to update");
      }
    }
  }
  return out;
}

}  // namespace erpsync::sync

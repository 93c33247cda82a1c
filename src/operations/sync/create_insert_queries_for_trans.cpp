// The voucher copy. Order matters for a crash at any point: the central copy commits first, the
// branch mark follows; a mark lost between the two is recovered by the receipt check of the next
// automatic upload, which finds the committed copy and marks the branch voucher with its number.
#include "sync/create_insert_queries_for_trans.h"

#include <cmath>
#include <optional>

#include "db/connection.h"
#include "form/main_form.h"
#include "shared/sync_context.h"
#include "sync/field_literal.h"
#include "sync/server_lock.h"
#include "sync/voucher_kinds.h"
#include "util/text.h"

namespace erpsync {

namespace {

std::optional<std::size_t> fieldIndex(const db::Recordset& rs, const std::string& name) {
  for (std::size_t f = 0; f < rs.fields.size(); ++f)
    if (text::iequals(rs.fields[f].name, name)) return f;
  return std::nullopt;
}

// "col = literal" for the value of the named header field, "col is null" without one.
std::string sameAs(const db::Recordset& rs, std::size_t row, const std::string& column) {
  auto f = fieldIndex(rs, column);
  if (!f) return {};
  const db::Value& v = rs.at(row, *f);
  if (v.isNull()) return " and " + column + " is null";
  return " and " + column + "=" + FieldLiteral(v, rs.fields[*f].type);
}

// The central number of an earlier copy of this header, when head office holds one.
std::optional<long long> centralCopyOf(db::Connection& central, const VoucherKind& kind, const std::string& key,
                                       const db::Recordset& rs, std::size_t row) {
  const std::string where = sameAs(rs, row, kind.numberColumn) + sameAs(rs, row, kind.dateColumn) +
                            sameAs(rs, row, "VchTypeID") + sameAs(rs, row, "CCID");
  auto found = central.query("Select top 1 " + key + " as CentralID from " + kind.table + " where isnull(" +
                             kind.markColumn + ",'')<>'#DELETEDFROMBRANCH#'" + where + " order by " + key);
  if (found.empty()) return std::nullopt;
  return found.at(0, 0).toInt();
}

}  // namespace

long long NextCentralId(db::Connection& central, const std::string& table, const std::string& column,
                        const std::string& filter) {
  auto rs = central.query("Select max(" + column + ") + 1 as MAxid from " + table + " with (updlock, holdlock)" +
                          (filter.empty() ? "" : " where " + filter));
  if (rs.empty() || rs.at(0, 0).isNull()) return 1;
  return static_cast<long long>(std::llround(rs.at(0, 0).toDouble()));
}

VoucherCopyOutcome CreateInsertQueriesForTrans(SyncContext& ctx, const std::string& tableName,
                                               const std::string& Condition, const std::string& myQuery,
                                               db::Connection& CnLoc, db::Connection& CnWebcc,
                                               const std::string& tablenameTrans, const std::string& FkName,
                                               int /*InvID*/, const std::string& IdentityField,
                                               const VoucherKind* receiptCheck) {
  VoucherCopyOutcome out;
  ctx.form.lblStatusMain.setCaption("Migrating " + tableName);
  std::string last;  // the statement in hand, for the error log
  std::optional<db::Transaction> central;
  try {
    const std::string q =
        !myQuery.empty() ? myQuery : "Select * from " + tableName + (Condition.empty() ? "" : " where " + Condition);
    const db::Recordset headers = CnWebcc.query(q);
    if (headers.empty()) return out;

    std::vector<std::size_t> copied;  // header fields that are copied (all but the identity)
    std::string columns;
    for (std::size_t f = 0; f < headers.fields.size(); ++f) {
      if (!IdentityField.empty() && text::iequals(headers.fields[f].name, IdentityField)) continue;
      copied.push_back(f);
      columns += (columns.empty() ? "" : ",") + headers.fields[f].name;
    }
    const auto keyField = fieldIndex(headers, FkName);

    for (std::size_t row = 0; row < headers.size(); ++row) {
      ctx.host.doEvents();
      const long long branchNo =
          keyField ? static_cast<long long>(std::llround(headers.at(row, *keyField).toDouble())) : 0;
      const std::string mark = "update " + tableName + " set SyncStat=1, ServInvID=";
      const std::string markWhere = " where " + FkName + "=" + std::to_string(branchNo);

      if (receiptCheck) {
        if (auto existing = centralCopyOf(CnLoc, *receiptCheck, FkName, headers, row)) {
          last = mark + std::to_string(*existing) + markWhere;
          ctx.local().execute(last);
          ctx.log("transaction insertion", tableName + " " + std::to_string(branchNo) +
                                               " is at head office already as " + std::to_string(*existing));
          ++out.alreadyCentral;
          continue;
        }
      }

      central.emplace(CnLoc);
      const long long centralNo = NextCentralId(CnLoc, tableName, FkName, "");
      std::string values;
      for (std::size_t f : copied) {
        const db::Value& v = headers.at(row, f);
        values += (values.empty() ? "" : ",") + ((keyField && f == *keyField && !v.isNull())
                                                     ? std::to_string(centralNo)
                                                     : FieldLiteral(v, headers.fields[f].type));
      }
      last = "Insert into " + tableName + " (" + columns + ") values (" + values + ")";
      long long affected = CnLoc.execute(last);
      ctx.form.lblStatus.setCaption("Sending " + tableName + " " + std::to_string(branchNo) + " to head office.");
      ctx.host.doEvents();
      ctx.log("transaction insertion", last);
      std::string failedTable = tableName;

      if (affected > 0 && !tablenameTrans.empty()) {
        const db::Recordset lines =
            CnWebcc.query("Select * from " + tablenameTrans + " Where " + FkName + "=" + std::to_string(branchNo));
        std::string lineColumns;
        for (const auto& f : lines.fields) lineColumns += (lineColumns.empty() ? "" : ",") + f.name;
        const auto lineKey = fieldIndex(lines, FkName);
        for (std::size_t l = 0; l < lines.size() && affected > 0; ++l) {
          ctx.host.doEvents();
          std::string lineValues;
          for (std::size_t f = 0; f < lines.fields.size(); ++f) {
            const db::Value& v = lines.at(l, f);
            lineValues +=
                (f ? "," : "") + ((lineKey && f == *lineKey && !v.isNull()) ? std::to_string(centralNo)
                                                                            : FieldLiteral(v, lines.fields[f].type));
          }
          last = "Insert into " + tablenameTrans + " (" + lineColumns + ") values (" + lineValues + ")";
          ctx.log("transaction Detail insertion ", last);
          ctx.host.doEvents();
          affected = CnLoc.execute(last);
          failedTable = tablenameTrans;
        }
      }

      if (affected <= 0) {
        // A statement that stored nothing: the voucher is not at head office, so nothing of it stays.
        central->rollback();
        central.reset();
        ++out.failed;
        ctx.host.messageBox("Failed to update " + failedTable, Buttons::OK, Icon::Critical);
        continue;
      }
      central->commit();
      central.reset();
      last = mark + std::to_string(centralNo) + markWhere;
      ctx.local().execute(last);
      ++out.uploaded;
    }
  } catch (const db::DbError& e) {
    const std::string description = e.description();
    central.reset();  // rolls back a copy in hand
    ++out.failed;
    sync::releaseServerLock(ctx);
    ctx.notice(description + "CreateInsert trans Queries" + tableName);
    ctx.form.lblStatus.setCaption(description);
    ctx.log("Error Generated " + description, last);
  }
  return out;
}

}  // namespace erpsync

// The branch's claims before an upload batch and its marks after head office committed it: set by set,
// one statement per voucher kind, not one per voucher.
#include "sync/upload_marks.h"

#include <map>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/sql_quote.h"
#include "shared/sync_context.h"
#include "sync/upload_batch.h"
#include "sync/upload_journal.h"
#include "sync/voucher_kinds.h"
#include "util/text.h"

namespace erpsync::sync {

namespace {

struct Mark {
  long long branchNo = 0, centralNo = 0, claim = 0;
};

std::string listOf(const std::vector<Mark>& marks, long long Mark::*field) {
  std::string s;
  for (const auto& m : marks) s += (s.empty() ? "" : ",") + std::to_string(m.*field);
  return s;
}

// "CASE <column> WHEN a THEN b ... END" over the marks.
std::string caseOf(const std::string& column, const std::vector<Mark>& marks, long long Mark::*when) {
  std::string s = "CASE " + column;
  for (const auto& m : marks) s += " WHEN " + std::to_string(m.*when) + " THEN " + std::to_string(m.centralNo);
  return s + " END";
}

// One kind's marks: the vouchers (those the ERP has not touched since they were read), then their claims.
std::string kindMarks(const VoucherKind& k, const std::vector<Mark>& marks, long long readEnd) {
  const std::string nos = listOf(marks, &Mark::branchNo), claims = listOf(marks, &Mark::claim);
  return "update " + k.table + " set SyncStat=1, ServInvID=" + caseOf(k.key, marks, &Mark::branchNo) + " where " +
         k.key + " in (" + nos +
         ") and isnull(SyncStat,0)=0 and not exists (select 1 from tblActivity a where a.ID>" +
         std::to_string(readEnd) + " and a.tblUniqueID=" + k.table + "." + k.key +
         " and upper(a.TableName)=" + db::sqlQuote(text::upper(k.table)) + ")\r\n" +
         "delete from tblUploadJournal where TableName=" + db::sqlQuote(k.table) + " and BranchID in (" + nos +
         ") and ID not in (" + claims + ")\r\n" + "update tblUploadJournal set State=1, CentralID=" +
         caseOf("ID", marks, &Mark::claim) + " where ID in (" + claims + ")\r\n";
}

}  // namespace

bool writeClaims(SyncContext& ctx, UploadBatch& batch) {
  if (batch.vouchers.empty()) return true;
  try {
    auto& local = ctx.local();
    std::vector<const VoucherCopy*> copies;
    copies.reserve(batch.vouchers.size());
    for (const auto& u : batch.vouchers) copies.push_back(u.copy);
    db::Transaction t(local);
    const std::vector<long long> ids = writeIntents(local, copies);
    t.commit();
    for (std::size_t i = 0; i < ids.size(); ++i) batch.vouchers[i].claim = ids[i];
    return true;
  } catch (const std::exception& e) {
    const auto* d = dynamic_cast<const db::DbError*>(&e);
    ctx.notice((d ? d->description() : std::string(e.what())) + "upload transactions");
    return false;
  }
}

bool markAtBranch(SyncContext& ctx, const UploadBatch& batch, const BatchReply& reply, long long readEnd,
                  std::vector<long long>& ownRows) {
  std::map<const VoucherKind*, std::vector<Mark>> byKind;
  std::vector<const VoucherKind*> order;
  auto add = [&](const SendUnit& u, long long centralNo) {
    auto [it, isNew] = byKind.try_emplace(u.copy->kind);
    if (isNew) order.push_back(u.copy->kind);
    it->second.push_back({u.copy->branchNo, centralNo, u.claim});
  };
  for (std::size_t i = 0; i < batch.vouchers.size() && i < reply.vouchers.size(); ++i)
    if (reply.vouchers[i].sent) add(batch.vouchers[i], reply.vouchers[i].centralNo);
  for (const auto& f : batch.found) add(f.unit, f.centralNo);
  std::string sql, own;
  for (const VoucherKind* k : order) {
    sql += kindMarks(*k, byKind[k], readEnd);
    own += std::string(own.empty() ? "" : " or ") + "(upper(TableName)=" + db::sqlQuote(text::upper(k->table)) +
           " and tblUniqueID in (" + listOf(byKind[k], &Mark::branchNo) + "))";
  }
  if (!batch.deleteTags.empty()) {
    std::string tags;
    for (long long t : batch.deleteTags) tags += (tags.empty() ? "" : ",") + std::to_string(t);
    sql += "delete from tblUploadJournal where ID in (" + tags + ")\r\n";
  }
  if (sql.empty()) return true;
  // The change-log rows of the marks: written in this transaction, above the newest row before it.
  sql = "DECLARE @logged numeric(18,0)\r\nSELECT @logged = isnull(max(ID),0) FROM tblActivity\r\n" + sql +
        "SELECT ID FROM tblActivity WHERE ID > @logged AND Action='Update'" + (own.empty() ? " AND 1=0" : " AND (" + own + ")");
  try {
    auto& local = ctx.local();
    db::Transaction marks(local);
    const db::Recordset rs = local.query(sql);
    marks.commit();
    for (std::size_t r = 0; r < rs.size(); ++r) ownRows.push_back(rs.at(r, 0).toInt());
    return true;
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "upload transactions");
  }
  return false;
}

}  // namespace erpsync::sync

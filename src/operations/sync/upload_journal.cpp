// The branch's journal of its sends to head office: claims written before a batch goes, read by later passes.
#include "sync/upload_journal.h"

#include <algorithm>
#include <map>

#include "db/connection.h"
#include "db/sql_literal.h"
#include "db/sql_quote.h"
#include "sync/upload_batch.h"
#include "sync/voucher_kinds.h"
#include "util/text.h"

namespace erpsync::sync {

namespace {

constexpr std::size_t kIdsPerRead = 500;

Claim claimOf(const db::Recordset& rs, std::size_t r) {
  Claim c;
  c.id = rs.at(r, "ID").toInt();
  c.kind = voucherKind(rs.at(r, "TableName").toString());
  c.branchNo = rs.at(r, "BranchID").toInt();
  c.centralNo = rs.at(r, "CentralID").isNull() ? 0 : rs.at(r, "CentralID").toInt();
  c.naturalWhere = rs.at(r, "NaturalKey").toString();
  c.content = rs.at(r, "Content").toString();
  c.state = static_cast<int>(rs.at(r, "State").toInt());
  return c;
}

const char* const kColumns = "ID, TableName, BranchID, CentralID, NaturalKey, Content, State";

}  // namespace

bool Claim::sameAs(const VoucherCopy& v) const {
  return naturalWhere == v.receiptWhere && content == v.content;
}

std::string uploadJournalCreate() {
  return "CREATE TABLE [dbo].[tblUploadJournal]( [ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL, [TableName] "
         "[varchar](50) NOT NULL, [BranchID] [numeric](18, 0) NOT NULL, [CentralID] [numeric](18, 0) NULL, "
         "[NaturalKey] [varchar](800) NOT NULL, [Content] [varchar](40) NOT NULL, [State] [numeric](18, 0) NOT NULL, "
         "[Written] [datetime] NULL, CONSTRAINT [PK_tblUploadJournal] PRIMARY KEY CLUSTERED ( [ID] ASC ) )";
}

void ensureUploadJournal(db::Connection& branch) {
  try {
    branch.query("select count(*) from tblUploadJournal where 1=0");
    return;
  } catch (const db::DbError&) {
  }
  branch.execute(uploadJournalCreate());
  try {
    branch.execute("CREATE INDEX IX_tblUploadJournal_Voucher ON tblUploadJournal (TableName, BranchID, State)");
    branch.execute("CREATE INDEX IX_tblUploadJournal_State ON tblUploadJournal (State)");
  } catch (const db::DbError&) {
  }
}

void readOpenClaims(db::Connection& branch, const VoucherKind& kind, const std::vector<long long>& branchNos,
                    ClaimsOf& into) {
  for (std::size_t from = 0; from < branchNos.size(); from += kIdsPerRead) {
    const std::size_t to = std::min(branchNos.size(), from + kIdsPerRead);
    std::string ids;
    for (std::size_t i = from; i < to; ++i) ids += (i > from ? "," : "") + std::to_string(branchNos[i]);
    const db::Recordset rs = branch.query(std::string("select ") + kColumns +
                                          " from tblUploadJournal where TableName=" +
                                          db::sqlQuote(kind.table) + " and BranchID in (" + ids + ") order by ID");
    for (std::size_t r = 0; r < rs.size(); ++r) {
      Claim c = claimOf(rs, r);
      c.kind = &kind;
      into[{&kind, c.branchNo}].push_back(std::move(c));
    }
  }
}

std::vector<Claim> readRetiringClaims(db::Connection& branch) {
  const db::Recordset rs =
      branch.query(std::string("select ") + kColumns + " from tblUploadJournal where State=2 order by ID");
  std::vector<Claim> out;
  for (std::size_t r = 0; r < rs.size(); ++r) {
    Claim c = claimOf(rs, r);
    if (c.kind) out.push_back(std::move(c));
  }
  return out;
}

std::vector<long long> writeIntents(db::Connection& branch, const std::vector<const VoucherCopy*>& copies) {
  if (copies.empty()) return {};
  std::string values;
  for (const VoucherCopy* v : copies)
    values += std::string(values.empty() ? "" : ",\r\n") + "(" + db::sqlQuote(v->kind->table) + ", " +
              std::to_string(v->branchNo) + ", NULL, " + db::sqlQuote(v->receiptWhere) + ", " +
              db::sqlQuote(v->content) + ", 0, getdate())";
  // The rows this statement adds are the ones above the highest id before it: nothing else writes the
  // journal while the branch's transaction holds it.
  const db::Recordset rs = branch.query(
      "DECLARE @before numeric(18,0)\r\nSELECT @before = isnull(max(ID),0) FROM tblUploadJournal\r\n"
      "insert into tblUploadJournal (TableName, BranchID, CentralID, NaturalKey, Content, State, Written) values " +
      values + "\r\nselect ID, TableName, BranchID from tblUploadJournal where ID > @before");
  std::map<std::pair<std::string, long long>, long long> ids;
  for (std::size_t r = 0; r < rs.size(); ++r)
    ids[{text::lower(rs.at(r, "TableName").toString()), rs.at(r, "BranchID").toInt()}] = rs.at(r, "ID").toInt();
  std::vector<long long> out;
  out.reserve(copies.size());
  for (const VoucherCopy* v : copies) {
    const auto it = ids.find({text::lower(v->kind->table), v->branchNo});
    if (it == ids.end()) throw db::DbError("the upload journal gave no id for a new row");
    out.push_back(it->second);
  }
  return out;
}

bool requeueForReplace(db::Connection& branch, const VoucherKind& kind, long long branchNo) {
  ensureUploadJournal(branch);
  const auto copies = readVoucherCopies(branch, kind, {branchNo}, "1=1");
  if (copies.empty()) return false;
  const VoucherCopy& v = copies.front();
  db::Transaction t(branch);
  // A claim of no content matches no voucher: the send retires every live copy under the natural key.
  branch.execute("insert into tblUploadJournal (TableName, BranchID, CentralID, NaturalKey, Content, State, Written) "
                 "values (" +
                 db::sqlQuote(kind.table) + ", " + std::to_string(branchNo) + ", NULL, " +
                 db::sqlQuote(v.receiptWhere) + ", '', 1, getdate())");
  branch.execute("update " + kind.table + " set SyncStat=0 where " + kind.key + "=" + std::to_string(branchNo));
  t.commit();
  return true;
}

std::string hasOpenClaim(const VoucherKind& kind) {
  return " or exists (select 1 from tblUploadJournal j where j.TableName=" + db::sqlQuote(kind.table) +
         " and j.BranchID=" + kind.table + "." + kind.key + ")";
}

std::string retiringCount() {
  return "(SELECT count(*) FROM tblUploadJournal WHERE State=2)";
}

}  // namespace erpsync::sync

#include "sync/upload_batch.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <stdexcept>

#include "db/connection.h"
#include "sync/field_literal.h"
#include "sync/server_lock.h"
#include "sync/voucher_kinds.h"
#include "util/text.h"

namespace erpsync::sync {

namespace {

// Ids go to the branch in lists of at most this many.
constexpr std::size_t kIdsPerRead = 500;

std::optional<std::size_t> fieldIndex(const db::Recordset& rs, const std::string& name) {
  for (std::size_t f = 0; f < rs.fields.size(); ++f)
    if (text::iequals(rs.fields[f].name, name)) return f;
  return std::nullopt;
}

long long wholeOf(const db::Value& v) {
  return static_cast<long long>(std::llround(v.toDouble()));
}

// "col = literal" for the value of the named header field, "col is null" without one.
std::string sameAs(const db::Recordset& rs, std::size_t row, const std::string& column) {
  auto f = fieldIndex(rs, column);
  if (!f) return {};
  const db::Value& v = rs.at(row, *f);
  if (v.isNull()) return " and " + column + " is null";
  return " and " + column + "=" + FieldLiteral(v, rs.fields[*f].type);
}

// "Insert into table (a,b,...) values (...)" for one row, the key column written as @c and the
// identity column (numbered by head office) left out.
std::string insertOf(const std::string& table, const db::Recordset& rs, std::size_t row, const std::string& key,
                     const std::string& identity) {
  std::string columns, values;
  for (std::size_t f = 0; f < rs.fields.size(); ++f) {
    const std::string& name = rs.fields[f].name;
    if (!identity.empty() && text::iequals(name, identity)) continue;
    const db::Value& v = rs.at(row, f);
    columns += (columns.empty() ? "" : ",") + name;
    values += (values.empty() ? "" : ",") +
              ((text::iequals(name, key) && !v.isNull()) ? std::string("@c") : FieldLiteral(v, rs.fields[f].type));
  }
  return "Insert into " + table + " (" + columns + ") values (" + values + ")";
}

// FNV-1a, 64 bits: stable across runs and platforms.
std::string digest(const std::string& text) {
  unsigned long long h = 1469598103934665603ULL;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ULL;
  }
  static const char* const hex = "0123456789abcdef";
  std::string out(16, '0');
  for (int i = 15; i >= 0; --i, h >>= 4) out[static_cast<std::size_t>(i)] = hex[h & 15];
  return out;
}

// The columns a voucher's content leaves out: its key (renumbered by head office), the identity, and
// the branch's own bookkeeping (upload marks and the day's lock).
bool bookkeeping(const std::string& name, const std::string& key, const std::string& identity) {
  return text::iequals(name, key) || (!identity.empty() && text::iequals(name, identity)) ||
         text::iequals(name, "SyncStat") || text::iequals(name, "ServInvID") || text::iequals(name, "LockMode");
}

std::string headerContent(const db::Recordset& rs, std::size_t row, const std::string& key,
                          const std::string& identity) {
  std::string out;
  for (std::size_t f = 0; f < rs.fields.size(); ++f) {
    const std::string& name = rs.fields[f].name;
    if (bookkeeping(name, key, identity)) continue;
    out += text::lower(name) + "=" + FieldLiteral(rs.at(row, f), rs.fields[f].type) + "|";
  }
  return out;
}

std::string idList(const std::vector<long long>& ids, std::size_t from, std::size_t to) {
  std::string out;
  for (std::size_t i = from; i < to; ++i) out += (i > from ? "," : "") + std::to_string(ids[i]);
  return out;
}

}  // namespace

std::size_t VoucherCopy::bytes() const {
  std::size_t n = receiptWhere.size() + header.size() + 400;
  for (const auto& l : lines) n += l.size() + 2;
  return n;
}

std::vector<VoucherCopy> readVoucherCopies(db::Connection& branch, const VoucherKind& kind,
                                           const std::vector<long long>& branchNos, const std::string& selection) {
  std::vector<VoucherCopy> out;
  for (std::size_t from = 0; from < branchNos.size(); from += kIdsPerRead) {
    const std::size_t to = std::min(branchNos.size(), from + kIdsPerRead);
    const std::string ids = idList(branchNos, from, to);
    const db::Recordset headers = branch.query("Select * from " + kind.table + " where " + selection + " and " +
                                               kind.key + " in (" + ids + ") order by " + kind.key);
    if (headers.empty()) continue;
    const auto key = fieldIndex(headers, kind.key);
    if (!key) throw std::runtime_error(kind.table + " has no column " + kind.key);
    std::map<long long, std::vector<std::string>> linesOf;
    std::map<long long, std::vector<std::string>> lineContentOf;
    if (!kind.detail.empty()) {
      const db::Recordset lines =
          branch.query("Select * from " + kind.detail + " Where " + kind.key + " in (" + ids + ")");
      const auto lineKey = fieldIndex(lines, kind.key);
      for (std::size_t l = 0; lineKey && l < lines.size(); ++l) {
        const long long owner = wholeOf(lines.at(l, *lineKey));
        linesOf[owner].push_back(insertOf(kind.detail, lines, l, kind.key, ""));
        lineContentOf[owner].push_back(headerContent(lines, l, kind.key, ""));
      }
    }
    const auto number = fieldIndex(headers, kind.numberColumn);
    for (std::size_t r = 0; r < headers.size(); ++r) {
      VoucherCopy v;
      v.kind = &kind;
      v.branchNo = wholeOf(headers.at(r, *key));
      v.number = number ? headers.at(r, *number).toString() : std::to_string(v.branchNo);
      v.receiptWhere = sameAs(headers, r, kind.numberColumn) + sameAs(headers, r, kind.dateColumn) +
                       sameAs(headers, r, "VchTypeID") + sameAs(headers, r, "CCID");
      v.header = insertOf(kind.table, headers, r, kind.key, kind.identity);
      if (auto it = linesOf.find(v.branchNo); it != linesOf.end()) v.lines = std::move(it->second);
      // Lines in any order are the same lines.
      std::string content = headerContent(headers, r, kind.key, kind.identity);
      if (auto it = lineContentOf.find(v.branchNo); it != lineContentOf.end()) {
        std::sort(it->second.begin(), it->second.end());
        for (const auto& l : it->second) content += "\n" + l;
      }
      v.content = digest(content);
      if (const auto stat = fieldIndex(headers, "SyncStat")) v.marked = headers.at(r, *stat).toInt() == 1;
      out.push_back(std::move(v));
    }
  }
  return out;
}

std::string uploadBatchText(const UploadBatch& batch, const std::string& lockHolder) {
  std::string s;
  s.reserve(batch.bytes + 2048);
  // XACT_ABORT: any error rolls the whole transaction back and ends the batch, so nothing of it stays.
  // It is a session option: the batch turns it off again after its commit (kXactAbortOff after a
  // batch that failed), so the connection's other work keeps the server's usual error handling.
  s += "SET XACT_ABORT ON\r\nDECLARE @c numeric(18,0), @lock int, @holder varchar(50)";
  for (std::size_t i = 1; i <= batch.vouchers.size(); ++i)
    s += ", @n" + std::to_string(i) + " numeric(18,0), @a" + std::to_string(i) + " int";
  s += "\r\nBEGIN TRANSACTION\r\n";
  // The push lock is taken and given back inside the batch's own transaction: other branches' programs
  // see the row as they always did (taking it waits for this commit), and it is held for the server's
  // work on the batch, not for round trips. When another branch holds a live row, nothing is sent.
  s += sync::lockTakeStatements(lockHolder);
  s += "SELECT @lock = count(*) FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' AND BlockDataEntry=1 AND "
       "SQLSERVERNAME=" +
       lockHolder + "\r\n";
  s += "SELECT TOP 1 @holder = SQLSERVERNAME FROM [tblDayActivity] WHERE " + sync::liveLockCondition() +
       " ORDER BY ID\r\n";
  s += "IF @lock > 0\r\nBEGIN\r\n";
  for (const auto& d : batch.deletes) s += d + "\r\n";
  for (std::size_t i = 0; i < batch.vouchers.size(); ++i) {
    const SendUnit& u = batch.vouchers[i];
    const VoucherCopy& v = *u.copy;
    const VoucherKind& k = *v.kind;
    const std::string n = std::to_string(i + 1);
    for (const auto& r : u.retireFirst) s += r + "\r\n";
    s += "SET @c = NULL\r\n";
    // The receipt check: a live copy with the voucher's natural key (number, date, type and cost
    // centre) is its own, from an earlier send whose branch mark was lost.
    if (u.receipt)
      s += "SELECT TOP 1 @c = " + k.key + " FROM " + k.table + " WHERE isnull(" + k.markColumn +
           ",'')<>'#DELETEDFROMBRANCH#'" + v.receiptWhere + " ORDER BY " + k.key + "\r\n";
    s += "IF @c IS NULL\r\nBEGIN\r\n";
    s += "SELECT @c = isnull(max(" + k.key + "),0) + 1 FROM " + k.table + " WITH (UPDLOCK, HOLDLOCK)\r\n";
    s += v.header + "\r\n";
    for (const auto& l : v.lines) s += l + "\r\n";
    s += "SET @a" + n + " = 0\r\nEND\r\nELSE SET @a" + n + " = 1\r\nSET @n" + n + " = @c\r\n";
  }
  s += sync::lockReleaseStatement(lockHolder) + "\r\nEND\r\n";
  s += "COMMIT TRANSACTION\r\n";
  s += std::string(kXactAbortOff) + "\r\n";
  // One row a voucher, in the batch's order, then the batch's own row (Seq 0) with the lock.
  for (std::size_t i = 1; i <= batch.vouchers.size(); ++i) {
    const std::string n = std::to_string(i);
    s += "SELECT " + n + " AS Seq, @n" + n + " AS CentralNo, @a" + n +
         " AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL ";
  }
  s += "SELECT 0 AS Seq, 0 AS CentralNo, 0 AS Already, @lock AS LockHeld, @holder AS Holder";
  return s;
}

std::string retireStatement(const VoucherKind& kind, const std::string& naturalWhere, long long centralNo) {
  const std::string live = " and isnull(" + kind.markColumn + ",'')<>'#DELETEDFROMBRANCH#'";
  if (centralNo > 0) return kind.deleteMark + std::to_string(centralNo) + live + naturalWhere;
  return "update  " + kind.table + " set " + kind.markColumn + "='#DELETEDFROMBRANCH#' where 1=1" + live + naturalWhere;
}

void restoreErrorHandling(db::Connection& central) {
  try {
    central.execute(kAfterFailedBatch);
  } catch (const db::DbError&) {
  }
}

BatchReply readBatchReply(const db::Recordset& rs, std::size_t vouchers) {
  BatchReply reply;
  reply.vouchers.resize(vouchers);
  std::vector<bool> seen(vouchers, false);
  bool batchRow = false;
  for (std::size_t r = 0; r < rs.size(); ++r) {
    const long long seq = rs.at(r, "Seq").toInt();
    if (seq == 0) {
      reply.lockHeld = rs.at(r, "LockHeld").toInt() > 0;
      reply.holder = rs.at(r, "Holder").toString();
      batchRow = true;
      continue;
    }
    if (seq < 0 || static_cast<std::size_t>(seq) > vouchers)
      throw std::runtime_error("head office answered the upload batch with an unknown row");
    if (rs.at(r, "CentralNo").isNull()) continue;  // not sent: the lock was another branch's
    auto& v = reply.vouchers[static_cast<std::size_t>(seq - 1)];
    v.centralNo = wholeOf(rs.at(r, "CentralNo"));
    v.already = rs.at(r, "Already").toInt() == 1;
    seen[static_cast<std::size_t>(seq - 1)] = true;
  }
  if (!batchRow) throw std::runtime_error("head office did not answer for the upload batch");
  if (!reply.lockHeld) return reply;
  for (bool s : seen)
    if (!s) throw std::runtime_error("head office did not answer for every voucher of the upload batch");
  return reply;
}

}  // namespace erpsync::sync

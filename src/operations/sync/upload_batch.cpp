// The vouchers the upload sends, read from the branch as literals, and head office's answer to a batch.
#include "sync/upload_batch.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>

#include "db/connection.h"
#include "db/recordset.h"
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

std::string idList(const std::vector<long long>& ids, std::size_t from, std::size_t to) {
  std::string out;
  for (std::size_t i = from; i < to; ++i) out += (i > from ? "," : "") + std::to_string(ids[i]);
  return out;
}

// A column's T-SQL type for a parameter declaration: as the branch server declared it, else from the
// type code (a value is converted to the column's own type where it is stored).
std::string paramType(const db::Field& f) {
  if (!f.declared.empty()) return f.declared;
  switch (f.type) {
    case db::adChar:
    case db::adVarChar:
    case db::adLongVarChar:
      return "varchar(8000)";
    case db::adWChar:
    case db::adVarWChar:
    case db::adLongVarWChar:
      return "nvarchar(4000)";
    case db::adDate:
    case db::adDBTimeStamp:
      return "datetime";
    case db::adBoolean:
      return "bit";
    case db::adSingle:
    case db::adDouble:
      return "float";
    case db::adSmallInt:
    case db::adInteger:
    case db::adTinyInt:
    case db::adBigInt:
      return "bigint";
    case db::adBinary:
    case db::adVarBinary:
      return "varbinary(max)";
    default:
      return "numeric(38,10)";
  }
}

// The columns a read copies into `table`: every field but the identity, `key` marked.
std::shared_ptr<const CopyColumns> copyColumns(const std::string& table, const db::Recordset& rs,
                                               const std::string& key, const std::string& identity) {
  auto c = std::make_shared<CopyColumns>();
  c->table = table;
  for (const auto& f : rs.fields) {
    if (!identity.empty() && text::iequals(f.name, identity)) continue;
    if (text::iequals(f.name, key)) c->key = static_cast<int>(c->names.size());
    c->names.push_back(f.name);
    c->types.push_back(paramType(f));
    c->contentNames.push_back(bookkeeping(f.name, key, identity) ? std::string() : text::lower(f.name));
  }
  return c;
}

// A row's part of its voucher's content, from its literals: "name=literal|" of every column in it.
std::string contentOf(const CopyColumns& c, const std::vector<std::string>& literals) {
  std::string out;
  for (std::size_t i = 0; i < c.contentNames.size() && i < literals.size(); ++i)
    if (!c.contentNames[i].empty()) out += c.contentNames[i] + "=" + literals[i] + "|";
  return out;
}

// One row's literals in the columns' order, the key written as @c.
std::vector<std::string> literalsOf(const db::Recordset& rs, std::size_t row, const std::string& key,
                                    const std::string& identity) {
  std::vector<std::string> out;
  out.reserve(rs.fields.size());
  for (std::size_t f = 0; f < rs.fields.size(); ++f) {
    const std::string& name = rs.fields[f].name;
    if (!identity.empty() && text::iequals(name, identity)) continue;
    const db::Value& v = rs.at(row, f);
    out.push_back((text::iequals(name, key) && !v.isNull()) ? std::string("@c") : FieldLiteral(v, rs.fields[f].type));
  }
  return out;
}

std::string insertText(const CopyColumns& c, const std::vector<std::string>& literals) {
  std::string columns, values;
  for (std::size_t i = 0; i < c.names.size() && i < literals.size(); ++i) {
    columns += (i ? "," : "") + c.names[i];
    values += (i ? "," : "") + literals[i];
  }
  return "Insert into " + c.table + " (" + columns + ") values (" + values + ")";
}

// The natural key of a header row as literals: number, date, type, cost centre.
void naturalOf(const db::Recordset& rs, std::size_t row, const VoucherKind& kind, VoucherCopy& v) {
  const std::string columns[4] = {kind.numberColumn, kind.dateColumn, "VchTypeID", "CCID"};
  v.naturalComplete = true;
  for (int i = 0; i < 4; ++i) {
    const auto f = fieldIndex(rs, columns[i]);
    if (!f || rs.at(row, *f).isNull()) {
      v.naturalComplete = false;
      continue;
    }
    v.natural[static_cast<std::size_t>(i)] = FieldLiteral(rs.at(row, *f), rs.fields[*f].type);
    v.naturalTypes[static_cast<std::size_t>(i)] = paramType(rs.fields[*f]);
  }
}

}  // namespace

std::size_t VoucherCopy::bytes() const {
  std::size_t n = receiptWhere.size() + 400;
  const auto width = [](const std::vector<std::string>& row, const CopyColumns* c) {
    std::size_t w = 40;
    for (const auto& l : row) w += l.size() + 8;
    if (c)
      for (const auto& name : c->names) w += name.size() + 1;
    return w;
  };
  n += width(header, headerColumns.get());
  for (const auto& l : lines) n += width(l, lineColumns.get());
  return n;
}

std::string VoucherCopy::headerStatement() const {
  return headerColumns ? insertText(*headerColumns, header) : std::string();
}

std::vector<std::string> VoucherCopy::lineStatements() const {
  std::vector<std::string> out;
  if (!lineColumns) return out;
  out.reserve(lines.size());
  for (const auto& l : lines) out.push_back(insertText(*lineColumns, l));
  return out;
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
    const auto headerColumns = copyColumns(kind.table, headers, kind.key, kind.identity);
    std::shared_ptr<const CopyColumns> lineColumns;
    std::map<long long, std::vector<std::vector<std::string>>> linesOf;
    std::map<long long, std::vector<std::string>> lineContentOf;
    if (!kind.detail.empty()) {
      const db::Recordset lines =
          branch.query("Select * from " + kind.detail + " Where " + kind.key + " in (" + ids + ")");
      lineColumns = copyColumns(kind.detail, lines, kind.key, "");
      const auto lineKey = fieldIndex(lines, kind.key);
      for (std::size_t l = 0; lineKey && l < lines.size(); ++l) {
        const long long owner = wholeOf(lines.at(l, *lineKey));
        auto literals = literalsOf(lines, l, kind.key, "");
        lineContentOf[owner].push_back(contentOf(*lineColumns, literals));
        linesOf[owner].push_back(std::move(literals));
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
      naturalOf(headers, r, kind, v);
      v.headerColumns = headerColumns;
      v.lineColumns = lineColumns;
      v.header = literalsOf(headers, r, kind.key, kind.identity);
      if (auto it = linesOf.find(v.branchNo); it != linesOf.end()) v.lines = std::move(it->second);
      // Lines in any order are the same lines.
      std::string content = contentOf(*headerColumns, v.header);
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

bool BatchReply::committed() const {
  if (!lockHeld) return false;
  // A voucher found at head office already rolls the batch back.
  for (const auto& v : vouchers)
    if (v.already) return false;
  return true;
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
    auto& v = reply.vouchers[static_cast<std::size_t>(seq - 1)];
    seen[static_cast<std::size_t>(seq - 1)] = true;
    if (rs.at(r, "CentralNo").isNull()) continue;  // not sent: the lock was another branch's, or the batch rolled back
    v.centralNo = wholeOf(rs.at(r, "CentralNo"));
    v.already = rs.at(r, "Already").toInt() == 1;
    v.sent = true;
  }
  if (!batchRow) throw std::runtime_error("head office did not answer for the upload batch");
  if (!reply.lockHeld) return reply;
  bool anyFound = false, anyMissing = false;
  for (std::size_t i = 0; i < vouchers; ++i) {
    if (!seen[i]) throw std::runtime_error("head office did not answer for every voucher of the upload batch");
    anyFound = anyFound || reply.vouchers[i].already;
    anyMissing = anyMissing || !reply.vouchers[i].sent;
  }
  // A batch rolls back only for a voucher it found at head office already.
  if (anyMissing && !anyFound)
    throw std::runtime_error("head office did not answer for every voucher of the upload batch");
  return reply;
}

}  // namespace erpsync::sync

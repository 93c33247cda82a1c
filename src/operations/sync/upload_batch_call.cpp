// The upload batch as one call to head office: its text, which depends only on how many vouchers of
// each kind it carries and how many lines (rounded up), and the values beside it as parameters. Inside
// one transaction: the push lock taken; deletions and earlier copies retired; every voucher's receipt
// check; when none of them found its voucher at head office already, per kind the maximum number read
// under UPDLOCK, HOLDLOCK and the vouchers numbered from it one by one, their headers and lines
// inserted; the lock given back; the numbers answered.
#include <map>
#include <string>
#include <vector>

#include "db/sql_quote.h"
#include "sync/server_lock.h"
#include "sync/upload_batch.h"
#include "sync/voucher_kinds.h"

namespace erpsync::sync {

namespace {

// The vouchers of one kind in the batch, in the batch's order.
struct Section {
  const VoucherKind* kind = nullptr;
  std::vector<std::size_t> vouchers;  // indexes into batch.vouchers
};

std::vector<Section> sectionsOf(const UploadBatch& batch) {
  std::vector<Section> out;
  std::map<const VoucherKind*, std::size_t> at;
  for (std::size_t i = 0; i < batch.vouchers.size(); ++i) {
    const VoucherKind* k = batch.vouchers[i].copy->kind;
    auto [it, isNew] = at.try_emplace(k, out.size());
    if (isNew) out.push_back({k, {}});
    out[it->second].vouchers.push_back(i);
  }
  return out;
}

// Line slots for n lines: rounded up, so batches that differ by a few lines share a text.
std::size_t slotsFor(std::size_t n) {
  const std::size_t step = n <= 64 ? 8 : 32;
  return (n + step - 1) / step * step;
}

// Rows inserted by one statement at most (a compound SELECT of this many terms).
constexpr std::size_t kRowsPerInsert = 50;

class CallText {
 public:
  // A new parameter holding `literal`; returns its name.
  std::string param(const std::string& type, const std::string& literal) {
    std::string name = "@v" + std::to_string(call.params.size() + 1);
    call.params.push_back({name, type, literal});
    return name;
  }
  CallText& operator<<(const std::string& s) {
    call.sql += s;
    return *this;
  }

  // One row of an INSERT ... SELECT: "SELECT x,y,... [WHERE ...]", the values as parameters, the key
  // column as keyValue.
  std::string row(const CopyColumns& c, const std::vector<std::string>& literals, const std::string& keyValue,
                  const std::string& where) {
    std::string values;
    for (std::size_t i = 0; i < c.names.size(); ++i) {
      const bool key = static_cast<int>(i) == c.key;
      values += (i ? "," : "") + (key ? keyValue : param(c.types[i], i < literals.size() ? literals[i] : "NULL"));
    }
    return "SELECT " + values + where;
  }
  // The rows, kRowsPerInsert to an INSERT ... SELECT ... UNION ALL SELECT ...
  void insert(const CopyColumns& c, const std::vector<std::string>& rows) {
    std::string columns;
    for (std::size_t i = 0; i < c.names.size(); ++i) columns += (i ? "," : "") + c.names[i];
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (i % kRowsPerInsert == 0) call.sql += (i ? "\r\n" : "") + std::string("INSERT INTO ") + c.table + " (" + columns + ") ";
      else call.sql += " UNION ALL ";
      call.sql += rows[i];
    }
    if (!rows.empty()) call.sql += "\r\n";
  }

  BatchCall call;
};

void declare(CallText& t, const std::vector<Section>& sections, std::size_t vouchers) {
  // The numbers are bigint: a voucher key (numeric(18,0)) fits one.
  t << "SET XACT_ABORT ON\r\nDECLARE @lock int, @holder varchar(50), @hits int";
  for (std::size_t s = 1; s <= sections.size(); ++s) t << ", @b" + std::to_string(s) + " bigint";
  for (std::size_t j = 1; j <= vouchers; ++j) t << ", @f" + std::to_string(j) + " bigint";
  t << "\r\nSET @hits = 0\r\nBEGIN TRANSACTION\r\n";
}

// What varies from batch to batch beyond its size, written as it is: deletions and retirements (after
// an edit or a deletion at the branch), and receipt checks of a natural key with a part missing.
void unitsAsWritten(CallText& t, const UploadBatch& batch) {
  for (const auto& d : batch.deletes) t << d + "\r\n";
  for (const auto& u : batch.vouchers)
    for (const auto& r : u.retireFirst) t << r + "\r\n";
  for (const auto& f : batch.found)
    for (const auto& r : f.unit.retireFirst) t << r + "\r\n";
  for (std::size_t j = 0; j < batch.vouchers.size(); ++j) {
    const SendUnit& u = batch.vouchers[j];
    const VoucherKind& k = *u.copy->kind;
    if (!u.receipt || u.copy->naturalComplete) continue;
    t << "SELECT TOP 1 @f" + std::to_string(j + 1) + " = " + k.key + ", @hits = @hits + 1 FROM " + k.table +
             " WHERE isnull(" + k.markColumn + ",'')<>'#DELETEDFROMBRANCH#'" + u.copy->receiptWhere + " ORDER BY " +
             k.key + "\r\n";
  }
}

// The receipt check: a live copy with the voucher's natural key (number, date, type and cost centre)
// is its own, from an earlier send whose branch mark was lost; of several, the lowest numbered.
void receiptChecks(CallText& t, const UploadBatch& batch) {
  for (std::size_t j = 0; j < batch.vouchers.size(); ++j) {
    const SendUnit& u = batch.vouchers[j];
    const VoucherCopy& v = *u.copy;
    const VoucherKind& k = *v.kind;
    const std::string columns[4] = {k.numberColumn, k.dateColumn, "VchTypeID", "CCID"};
    const std::string wanted = t.param("int", u.receipt && v.naturalComplete ? "1" : "0");
    std::string where;
    for (std::size_t i = 0; i < 4; ++i)
      where += " AND " + columns[i] + " = " +
               t.param(v.naturalTypes[i].empty() ? "varchar(50)" : v.naturalTypes[i],
                       v.natural[i].empty() ? "NULL" : v.natural[i]);
    t << "SELECT @f" + std::to_string(j + 1) + " = min(" + k.key + "), @hits = @hits + count(*) FROM " + k.table +
             " WHERE " + wanted + " = 1 AND isnull(" + k.markColumn + ",'')<>'#DELETEDFROMBRANCH#'" + where + "\r\n";
  }
}

// One kind's vouchers: numbered one by one from the maximum (read under UPDLOCK, HOLDLOCK in this
// transaction, so the numbers are what max + 1 gives voucher after voucher), headers, then lines.
void copies(CallText& t, const UploadBatch& batch, const Section& s, const std::string& base) {
  const VoucherKind& k = *s.kind;
  t << "SELECT " + base + " = isnull(max(" + k.key + "),0) FROM " + k.table + " WITH (UPDLOCK, HOLDLOCK)\r\n";
  struct Line {
    const std::vector<std::string>* literals;
    std::size_t owner;
  };
  std::vector<Line> lines;
  std::vector<std::string> headers;
  const CopyColumns* headerColumns = nullptr;
  const CopyColumns* lineColumns = nullptr;
  for (std::size_t p = 0; p < s.vouchers.size(); ++p) {
    const VoucherCopy& v = *batch.vouchers[s.vouchers[p]].copy;
    headerColumns = v.headerColumns.get();
    headers.push_back(t.row(*headerColumns, v.header, base + " + " + std::to_string(p + 1), ""));
    if (v.lineColumns && !v.lines.empty()) lineColumns = v.lineColumns.get();
    for (const auto& l : v.lines) lines.push_back({&l, p + 1});
  }
  t.insert(*headerColumns, headers);
  if (!lineColumns) return;
  // Slots past the lines repeat the last line for an owner 0, which inserts nothing.
  std::vector<std::string> rows;
  const std::size_t slots = slotsFor(lines.size());
  for (std::size_t i = 0; i < slots; ++i) {
    const Line& l = lines[std::min(i, lines.size() - 1)];
    const std::string owner = t.param("int", std::to_string(i < lines.size() ? l.owner : 0));
    rows.push_back(t.row(*lineColumns, *l.literals, base + " + CAST(" + owner + " AS int)", " WHERE " + owner + " > 0"));
  }
  t.insert(*lineColumns, rows);
}

void reply(CallText& t, const UploadBatch& batch, const std::vector<Section>& sections) {
  std::vector<std::string> number(batch.vouchers.size());
  for (std::size_t s = 0; s < sections.size(); ++s)
    for (std::size_t p = 0; p < sections[s].vouchers.size(); ++p)
      number[sections[s].vouchers[p]] = "@b" + std::to_string(s + 1) + " + " + std::to_string(p + 1);
  // One row a voucher, in the batch's order, then the batch's own row (Seq 0) with the lock.
  for (std::size_t j = 0; j < batch.vouchers.size(); ++j) {
    const std::string n = std::to_string(j + 1);
    t << "SELECT " + n + " AS Seq, CASE WHEN @hits = 0 THEN " + number[j] + " ELSE @f" + n +
             " END AS CentralNo, CASE WHEN @f" + n +
             " IS NULL THEN 0 ELSE 1 END AS Already, @lock AS LockHeld, @holder AS Holder UNION ALL ";
  }
  t << "SELECT 0 AS Seq, 0 AS CentralNo, 0 AS Already, @lock AS LockHeld, @holder AS Holder";
}

}  // namespace

BatchCall uploadBatchCall(const UploadBatch& batch, const std::string& holderName) {
  const std::vector<Section> sections = sectionsOf(batch);
  CallText t;
  declare(t, sections, batch.vouchers.size());
  // The push lock is taken and given back inside the batch's own transaction: other branches' programs
  // see the row as they always did (taking it waits for this commit), and it is held for the server's
  // work on the batch, not for round trips. When another branch holds a live row, nothing is sent.
  const std::string me = t.param("varchar(50)", db::sqlQuote(holderName));
  t << lockTakeStatements(me);
  t << "SELECT @lock = count(*) FROM [tblDayActivity] WHERE Activity='BLOCKFASTPUSH' AND BlockDataEntry=1 AND "
       "SQLSERVERNAME=" +
           me + "\r\n";
  t << "SELECT TOP 1 @holder = SQLSERVERNAME FROM [tblDayActivity] WHERE " + liveLockCondition() + " ORDER BY ID\r\n";
  t << "IF @lock > 0\r\nBEGIN\r\n";
  unitsAsWritten(t, batch);
  receiptChecks(t, batch);
  if (!sections.empty()) {
    t << "IF @hits = 0\r\nBEGIN\r\n";
    for (std::size_t s = 0; s < sections.size(); ++s) copies(t, batch, sections[s], "@b" + std::to_string(s + 1));
    t << "END\r\n";
  }
  t << lockReleaseStatement(me) + "\r\nEND\r\n";
  // A voucher found at head office already: nothing of the batch stays, and the others go again.
  t << "IF @hits > 0 ROLLBACK TRANSACTION ELSE COMMIT TRANSACTION\r\n" + std::string(kXactAbortOff) + "\r\n";
  reply(t, batch, sections);
  return std::move(t.call);
}

}  // namespace erpsync::sync

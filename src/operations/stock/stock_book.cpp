// The branch's batch rows as one posting transaction knows them: read once, then kept by its postings.
#include "stock/stock_book.h"

#include <algorithm>
#include <cstdlib>

#include "db/connection.h"

namespace erpsync::stock {

namespace {

// More stored values outside printable ASCII than this and the book leaves the search to the server:
// they would all be candidates of every line.
constexpr std::size_t kMostOddCandidates = 64;

// The form under which the server's comparison can find a value: the blanks around it trimmed (the
// update trims the stored side, and "=" ignores trailing blanks) and ASCII letters in lower case (any
// collation's case rules agree on them). nullopt for a value holding a character outside printable
// ASCII: collations differ on those (accents, widths, ignorable characters).
std::optional<std::string> comparable(const std::string& value) {
  std::size_t from = value.find_first_not_of(' ');
  if (from == std::string::npos) return std::string();
  const std::size_t to = value.find_last_not_of(' ');
  std::string key = value.substr(from, to - from + 1);
  for (char& c : key) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7e) return std::nullopt;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

void raise(std::optional<long long>& max, long long value) {
  if (!max || value > *max) max = value;
}

}  // namespace

void StockBook::Index::add(const std::optional<std::string>& value, const Row& row) {
  if (!value) return;  // NULL equals nothing
  if (auto key = comparable(*value))
    byKey[*key].push_back(row);
  else
    odd.push_back(row);
}

StockBook::StockBook(db::Connection& local) {
  const db::Recordset rs =
      local.query("Select StockID, BatchID, BatchCode, BatchUnique, CCID from tblStock with (updlock, holdlock)");
  auto text = [&](std::size_t r, std::size_t f) -> std::optional<std::string> {
    const db::Value& v = rs.at(r, f);
    if (v.isNull()) return std::nullopt;
    return v.toString();
  };
  for (std::size_t r = 0; r < rs.size(); ++r) {
    const Row row{rs.at(r, 0).toInt(), rs.at(r, 4).toInt()};
    raise(maxStockId_, row.stockId);
    raise(maxAbsBatchId_, std::llabs(rs.at(r, 1).toInt()));
    code_.add(text(r, 2), row);
    unique_.add(text(r, 3), row);
  }
}

long long StockBook::nextStockId() const {
  return maxStockId_ ? *maxStockId_ + 1 : 1;
}

long long StockBook::nextAbsBatchId() const {
  return maxAbsBatchId_ ? *maxAbsBatchId_ + 1 : 1;
}

std::optional<std::vector<long long>> StockBook::candidates(bool byUnique, const std::string& value,
                                                            long long ccid) const {
  const Index& index = byUnique ? unique_ : code_;
  const auto key = comparable(value);
  if (!key || index.odd.size() > kMostOddCandidates) return std::nullopt;
  std::vector<long long> out;
  auto take = [&](const std::vector<Row>& rows) {
    for (const Row& r : rows)
      if (r.ccid == ccid) out.push_back(r.stockId);
  };
  if (auto it = index.byKey.find(*key); it != index.byKey.end()) take(it->second);
  take(index.odd);
  std::sort(out.begin(), out.end());
  return out;
}

void StockBook::added(long long stockId, long long batchId, const std::string& batchCode,
                      const std::string& batchUnique, long long ccid) {
  const Row row{stockId, ccid};
  raise(maxStockId_, stockId);
  raise(maxAbsBatchId_, std::llabs(batchId));
  code_.add(batchCode, row);
  unique_.add(batchUnique, row);
}

}  // namespace erpsync::stock

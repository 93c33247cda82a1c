// What a branch transaction that posts many stock lines (a day start's rebuild, a transfer's import)
// knows of the branch's tblStock: read once when the transaction begins and kept up to date by the
// postings, so a line needs no scan of the table for its batch row and its new numbers.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace erpsync::db {
class Connection;
}

namespace erpsync::stock {

class StockBook {
 public:
  // Reads the batch rows in one statement, inside the caller's transaction on local, and holds them
  // against other writers until that transaction ends (UPDLOCK, HOLDLOCK): the book stays true for as
  // long as the transaction lasts. Throws db::DbError.
  explicit StockBook(db::Connection& local);

  // The numbers NextId gives a new row: max(StockID) + 1 and max(ABS(BatchID)) + 1 (1 on an empty table).
  long long nextStockId() const;
  long long nextAbsBatchId() const;

  // The rows of cost centre ccid whose batch code (byUnique: BatchUnique), blanks around it trimmed,
  // can equal value as the server compares text: a superset of the rows the server finds, so an update
  // confined to them changes what the unconfined one would. Empty: no such row. nullopt when the book
  // cannot tell (a value with a character outside printable ASCII, whose comparison depends on the
  // server's collation, or too many stored values like that): the server is to look for itself.
  std::optional<std::vector<long long>> candidates(bool byUnique, const std::string& value, long long ccid) const;

  // A row a posting inserted.
  void added(long long stockId, long long batchId, const std::string& batchCode, const std::string& batchUnique,
             long long ccid);

  // A statement whose effect on tblStock is not known: from now on the postings ask the server.
  void forget() { valid_ = false; }
  bool valid() const { return valid_; }

 private:
  struct Row {
    long long stockId = 0;
    long long ccid = 0;
  };
  struct Index {
    std::unordered_map<std::string, std::vector<Row>> byKey;
    std::vector<Row> odd;  // values outside printable ASCII: candidates for every value
    void add(const std::optional<std::string>& value, const Row& row);
  };
  Index code_, unique_;
  std::optional<long long> maxStockId_, maxAbsBatchId_;
  bool valid_ = true;
};

}  // namespace erpsync::stock

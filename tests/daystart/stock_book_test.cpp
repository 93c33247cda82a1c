// A day start or a transfer posts its lines against what it read of tblStock once, instead of scanning
// the table per line. The branch must end exactly as the per-line scans leave it: the same batch rows
// found and updated, the same new StockIDs and batch numbers, the same generated batch codes, whatever
// the batch codes look like (case, blanks around them, characters outside ASCII, a quote, another
// item's code) and whatever the ERP's switches.
#include "stock/stock_book.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "day_start_fixture.h"
#include "db/connection.h"
#include "stock/post_stock.h"

namespace erpsync::test {
namespace {

using stock::StockLine;

class StockBookTest : public DayStartFixture {
 protected:
  StockBookTest() {
    host.setStrict(false);
    branch().execute("DELETE FROM tblStock");
    branch().execute("DELETE FROM tblStockHistory");
    // Rows the ERP left: numbers positive and negative, codes with blanks around them and in other case,
    // in two cost centres, one outside ASCII, one with no code at all.
    const char* rows[] = {
        "(41, 1, '41', 7, 'OLD1', 'OLD1', 2)",  "(42, 2, '42', -55, '  old2 ', 'old2', 2)",
        "(43, 3, '43', -9, 'OLD1', 'OLD1', 3)", "(44, 4, '44', 12, 'Ærø-1', 'Ærø-1', 2)",
        "(45, 5, '45', -3, NULL, NULL, 2)",     "(46, 1, '46', -60, 'OLD''Q', 'OLD''Q', 2)",
    };
    for (const char* r : rows)
      branch().execute(
          "INSERT INTO tblStock (StockID, ItemID, BAtch, BatchID, BatchCode, BatchUnique, CCID, Qty) VALUES " +
          std::string(r).insert(std::string(r).size() - 1, ", 0"));
  }

  // The lines of the run: existing batches found through their codes as the server compares them, new
  // batches, a batch twice, another item's code (the question answered Yes).
  static std::vector<StockLine> lines() {
    struct L {
      long item;
      const char* code;
      int cc;
      double mrp;
    };
    const L ls[] = {{1, "old1", 2, 7},  {2, "OLD2", 2, 7},    {7, "NEW-A", 2, 7}, {7, "new-a ", 2, 8},
                    {3, "OLD1", 3, 7},  {4, "ærø-1", 2, 7},   {4, "Ærø-1", 2, 7}, {6, "OLD'Q", 2, 7},
                    {6, "NEW-A", 2, 7}, {8, "B@12.00", 2, 9}, {8, "B", 4, 9},     {5, "", 2, 7}};
    std::vector<StockLine> out;
    for (const auto& x : ls) {
      StockLine l;
      l.ItemID = x.item;
      l.BatchCode = x.code;
      l.Qty = 3;
      l.PRate = 4;
      l.SRate = 6;
      l.MRP = x.mrp;
      l.CCID = x.cc;
      l.GodownID = 1;
      out.push_back(l);
    }
    return out;
  }

  // Posts the lines in one branch transaction, with or without a book, and returns what tblStock and
  // the movements hold then, and the batch codes the lines ended with; the transaction is rolled back.
  std::vector<std::string> run(bool withBook) {
    std::vector<std::string> out;
    db::Transaction t(branch());
    std::unique_ptr<stock::StockBook> book;
    if (withBook) book = std::make_unique<stock::StockBook>(branch());
    for (StockLine l : lines()) {
      const stock::StockPosting p{1005, stock::kStockIn, 9, "", today, true, false, stock::Txn::Callers, book.get()};
      out.push_back("posted " + std::to_string(stock::PostStock(ctx, p, l)) + " " + l.BatchCode + " " + l.BatchUnique);
    }
    for (const char* sql : {"SELECT StockID, ItemID, BAtch, BatchID, BatchCode, BatchUnique, CCID, Qty, Mrp, Srate "
                            "FROM tblStock ORDER BY StockID",
                            "SELECT ItemID, BatchCode, BatchUnique, CCID, QtyIN FROM tblStockHistory ORDER BY "
                            "ItemID, BatchUnique, CCID"}) {
      auto rs = branch().query(sql);
      for (const auto& row : rs.rows) {
        std::string line;
        for (const auto& v : row) line += v.toString() + "|";
        out.push_back(line);
      }
    }
    t.rollback();
    return out;
  }

  void expectTheSame(const std::string& what) {
    const auto scanned = run(false);
    const auto booked = run(true);
    EXPECT_EQ(booked, scanned) << what;
    EXPECT_GT(scanned.size(), lines().size() + 8) << what;
  }
};

TEST_F(StockBookTest, BatchesFoundAndNumberedAsThePerLineScansFindAndNumberThem) {
  expectTheSame("batch codes");
  ctx.erpSettings.BLNMultiBatchRates = true;
  expectTheSame("several rates per batch");
  ctx.erpSettings.BLNMultiBatchRates = false;
  ctx.erpSettings.BLNBATCHCODE = false;
  expectTheSame("no batch codes");
}

// The numbers a run gives continue from the largest the table holds, by magnitude for batch numbers,
// and a row the run inserted is found again by the next line of its batch.
TEST_F(StockBookTest, NewRowsContinueTheNumbersAndAreFoundAgain) {
  db::Transaction t(branch());
  stock::StockBook book(branch());
  EXPECT_EQ(book.nextStockId(), 47);
  EXPECT_EQ(book.nextAbsBatchId(), 61);
  // A row whose code is outside ASCII is a candidate of every line: the server compares it.
  EXPECT_EQ(book.candidates(false, "old2", 2), (std::vector<long long>{42, 44}));
  EXPECT_EQ(book.candidates(false, "OLD1", 3), (std::vector<long long>{43}));
  EXPECT_EQ(book.candidates(false, "none", 2), (std::vector<long long>{44}));
  EXPECT_EQ(book.candidates(false, "Ærø-1", 2), std::nullopt);
  StockLine l;
  l.ItemID = 9;
  l.BatchCode = "Z9";
  l.Qty = 1;
  l.CCID = 2;
  const stock::StockPosting p{1005, stock::kStockIn, 9, "", today, false, false, stock::Txn::Callers, &book};
  ASSERT_TRUE(stock::PostStock(ctx, p, l));
  EXPECT_EQ(scalar(branch(), "SELECT BatchID FROM tblStock WHERE StockID = 47"), -61);
  EXPECT_EQ(book.nextStockId(), 48);
  EXPECT_EQ(book.nextAbsBatchId(), 62);
  EXPECT_EQ(book.candidates(false, "z9 ", 2), (std::vector<long long>{44, 47}));

  // Another item's code: on Yes the line gets the code after the next batch number, from the book.
  host.expectBox(Answer::Yes, "The batchCode OLD1 is already used for another Item");
  ctx.erpSettings.BatchCodePrefix = ctx.erpSettings.BatchCodeSuffix = "";
  l.ItemID = 8;
  l.BatchCode = "OLD1";
  l.Qty = 1;
  ASSERT_TRUE(stock::PostStock(ctx, p, l));
  EXPECT_EQ(l.BatchCode, "63");
  EXPECT_EQ(scalar(branch(), "SELECT BatchID FROM tblStock WHERE StockID = 48 AND BatchCode = '63'"), -62);
  t.rollback();
}

}  // namespace
}  // namespace erpsync::test

// The posting routines on the branch database: what one stock line writes, its batch codes and rates,
// the error ladder with its bounded retry, a line whole or not at all (in its own transaction or the
// caller's), and a double entry both rows or neither.
#include "stock/post_stock.h"

#include "comma_locale.h"
#include "day_start_fixture.h"
#include "stock/post_voucher.h"
#include "stock/stock_text.h"

namespace erpsync::test {
namespace {

using stock::StockLine;

class PostStockTest : public DayStartFixture {
 protected:
  PostStockTest() {
    branch().execute("DELETE FROM tblStock");
    branch().execute("DELETE FROM tblStockHistory");
  }
  bool post(int mode, StockLine& line, long ref = 77, stock::Txn txn = stock::Txn::Own) {
    const bool posting = mode != stock::kDeleteMovements;
    return stock::PostStock(ctx, {1005, mode, ref, "", today, posting, posting, txn}, line);
  }
  static StockLine line(long item, const std::string& batch, double qty, double prate = 4) {
    StockLine l;
    l.ItemID = item;
    l.BatchCode = batch;
    l.Qty = qty;
    l.PRate = prate;
    l.SRate = 6;
    l.MRP = 7;
    l.CCID = 2;
    l.GodownID = 1;
    return l;
  }
  long long count(const std::string& table, const std::string& where = "1=1") {
    return scalar(branch(), "SELECT COUNT(*) FROM " + table + " WHERE " + where);
  }
  double value(const std::string& sql) { return branch().query(sql).at(0, 0).toDouble(); }
};

TEST_F(PostStockTest, InThenOutKeepsTheRowQuantityAndRecordsBothMovements) {
  auto l = line(1, "A1", 10);
  ASSERT_TRUE(post(stock::kStockIn, l));
  // Cleared for the next line; batch fields carried over.
  EXPECT_EQ(l.ItemID, 0);
  EXPECT_EQ(l.Qty, 0);
  EXPECT_EQ(l.LineText, "0");
  EXPECT_EQ(l.BatchCode, "A1");
  l = line(1, "A1", 3, 4.5);
  ASSERT_TRUE(post(stock::kStockOut, l));
  EXPECT_EQ(count("tblStock"), 1);
  EXPECT_EQ(value("SELECT Qty FROM tblStock"), 10);
  EXPECT_EQ(value("SELECT Prate FROM tblStock"), 4.5);  // rates rewritten
  EXPECT_LT(value("SELECT BatchID FROM tblStock"), 0);  // batches with codes are numbered negative
  EXPECT_EQ(value("SELECT SUM(QtyIN - QtyOut) FROM tblStockHistory"), 7);
  EXPECT_EQ(count("tblStockHistory", "VchTypeID = 1005 AND RefId = 77"), 2);
  EXPECT_EQ(count("tblItemRates"), 1);  // stock-in lines only
  EXPECT_EQ(value("SELECT PRate FROM tblItemMaster WHERE ItemID = 1"), 4.5);
}

TEST_F(PostStockTest, ZeroQuantityOutLineCreatesTheRowWithoutMovement) {
  auto l = line(2, "Z", 0);
  ASSERT_TRUE(post(stock::kStockOut, l));
  EXPECT_EQ(count("tblStock", "ItemID = 2 AND Qty = 0"), 1);
  EXPECT_EQ(count("tblStockHistory"), 0);
  EXPECT_EQ(count("tblItemRates"), 0);
  EXPECT_EQ(value("SELECT Srate FROM tblItemMaster WHERE ItemID = 2"), 6);
  // A new row for an out line stores the quantity negative.
  auto o = line(3, "NEG", 2.5);
  ASSERT_TRUE(post(stock::kStockOut, o));
  EXPECT_EQ(value("SELECT Qty FROM tblStock WHERE ItemID = 3"), -2.5);
}

TEST_F(PostStockTest, ValuationRateGoesToRatesAndMasterNotToTheNewRow) {
  auto l = line(1, "V", 2, 4);
  l.VRate = 5;
  ASSERT_TRUE(post(stock::kStockIn, l));
  EXPECT_EQ(value("SELECT Prate FROM tblStock"), 4);
  EXPECT_EQ(value("SELECT Vrate FROM tblStock"), 5);
  EXPECT_EQ(value("SELECT Prate FROM tblItemRates"), 5);
  EXPECT_EQ(value("SELECT PRate FROM tblItemMaster WHERE ItemID = 1"), 5);
  // A cost rate of 0 takes the purchase rate; a cost centre of 0 is 1.
  auto c = line(2, "C0", 1, 3);
  c.CCID = 0;
  ASSERT_TRUE(post(stock::kStockIn, c));
  EXPECT_EQ(value("SELECT Crate FROM tblStock WHERE ItemID = 2"), 3);
  EXPECT_EQ(value("SELECT CCID FROM tblStock WHERE ItemID = 2"), 1);
}

TEST_F(PostStockTest, BatchCodesAndBatchUnique) {
  // "@" suffix cut off; a quote kept and found again.
  auto a = line(1, "  A1@12.00 ", 1);
  ASSERT_TRUE(post(stock::kStockIn, a));
  EXPECT_EQ(count("tblStock", "BatchCode = 'A1' AND BatchUnique = 'A1'"), 1);
  auto q = line(2, "O'Q", 1);
  ASSERT_TRUE(post(stock::kStockIn, q));
  q = line(2, "O'Q", 1);
  ASSERT_TRUE(post(stock::kStockIn, q));
  EXPECT_EQ(count("tblStock", "BatchCode = 'O''Q'"), 1);
  EXPECT_EQ(count("tblStockHistory", "BatchUnique = 'O''Q'"), 2);

  // Several rate sets per batch code: MRP (and expiry) in the key.
  ctx.erpSettings.BLNMultiBatchRates = true;
  ctx.erpSettings.BLNEXPIRY = true;
  auto m = line(3, "M1@12.00", 1);
  m.MRP = 12.5;
  ASSERT_TRUE(post(stock::kStockIn, m));
  EXPECT_EQ(m.BatchUnique, "M1@12.50");
  auto e = line(3, "M1", 1);
  e.MRP = 12.5;
  e.BlnExpiryItem = true;
  e.Expiry = DateTime{2026, 1, 5, 13, 45};
  ASSERT_TRUE(post(stock::kStockIn, e));
  EXPECT_EQ(e.BatchUnique, "M1@12.50@050126");
  EXPECT_EQ(e.Expiry, (DateTime{2026, 1, 5}));  // time of day dropped

  // Without named batches: one row per item and cost centre, coded by its StockID.
  ctx.erpSettings.BLNBATCHCODE = false;
  ctx.erpSettings.BLNMultiBatchRates = false;
  auto n = line(7, "ignored", 4);
  ASSERT_TRUE(post(stock::kStockIn, n));
  auto sid = scalar(branch(), "SELECT StockID FROM tblStock WHERE ItemID = 7");
  EXPECT_EQ(count("tblStock", "ItemID = 7 AND BatchCode = 'BATCHCODE" + std::to_string(sid) +
                                  "' AND BatchID = " + std::to_string(sid)),
            1);
}

TEST_F(PostStockTest, BatchCodeOwnedByAnotherItemAsksFirst) {
  auto a = line(1, "SHARED", 1);
  ASSERT_TRUE(post(stock::kStockIn, a));
  const auto before = snapshot(branch());
  host.expectBox(Answer::No, "The batchCode SHARED is already used for another Item");
  auto b = line(2, "SHARED", 1);
  EXPECT_FALSE(post(stock::kStockIn, b));
  EXPECT_EQ(snapshot(branch()), before);

  host.expectBox(Answer::Yes, "already used");
  ctx.erpSettings.BatchCodePrefix = "P-";
  ctx.erpSettings.BatchCodeSuffix = "<INVDATE>";
  b = line(2, "SHARED", 1);
  ASSERT_TRUE(post(stock::kStockIn, b));
  // The next batch number (2) plus one, between prefix and the voucher date.
  char date[16];
  std::snprintf(date, sizeof date, "%02d/%02d/%02d", today.day, today.month, today.year % 100);
  EXPECT_EQ(b.BatchCode, std::string("P-3") + date);
  EXPECT_EQ(count("tblStock", "ItemID = 2 AND BatchCode = '" + b.BatchCode + "'"), 1);
}

TEST_F(PostStockTest, SerialNumbersAndTheDeleteMode) {
  auto l = line(1, "S", 3);
  l.SerialNos = {"SN1", "SN'2", ""};
  ASSERT_TRUE(post(stock::kStockIn, l));
  EXPECT_EQ(count("tblStockHistorySerialNo"), 2);
  EXPECT_EQ(count("tblStockHistorySerialNo", "SerialNo = 'SN''2' AND QtyIN = 1"), 1);
  auto one = line(2, "S1", 1);
  one.SerialNos = {"ONLY"};
  ASSERT_TRUE(post(stock::kStockIn, one, 78));
  EXPECT_EQ(count("tblStockHistorySerialNo"), 2);

  StockLine empty;
  ASSERT_TRUE(post(stock::kDeleteMovements, empty, 77));
  EXPECT_EQ(count("tblStockHistory", "RefId = 77"), 0);
  EXPECT_EQ(count("tblStockHistorySerialNo"), 0);
  EXPECT_EQ(count("tblItemRates", "RefID = 77"), 0);
  EXPECT_EQ(count("tblStockHistory", "RefId = 78"), 1);  // another voucher's movements stay
  EXPECT_EQ(count("tblStock"), 2);                       // stock rows are not touched
}

TEST_F(PostStockTest, RefusalsWriteNothing) {
  host.expectBox(Answer::OK, "Voucher type not identified");
  auto l = line(1, "R", 1);
  EXPECT_FALSE(stock::PostStock(ctx, {0, stock::kStockIn, 1, "", today, true, true, stock::Txn::Own}, l));
  host.expectBox(Answer::OK, "Item ID Missing");
  auto z = line(0, "R", 1);
  EXPECT_FALSE(post(stock::kStockIn, z));
  EXPECT_EQ(count("tblStock"), 0);
  EXPECT_EQ(stock::NextId(ctx, "tblStock", "StockID"), 1);
}

TEST_F(PostStockTest, IndexCollisionRetryIsBoundedAndTheLineIsNotHalfWritten) {
  host.setStrict(false);
  faulty->failOn("insert into tblStock ", 1,
                 "Cannot insert duplicate key row in object 'dbo.tblStock' with unique index 'CIDX_tblStock'.", true);
  auto l = line(1, "X", 5);
  EXPECT_FALSE(post(stock::kStockIn, l));
  EXPECT_EQ(faulty->failures, stock::kBatchIndexRetries + 1);
  EXPECT_EQ(count("tblStock"), 0);
  EXPECT_EQ(host.boxes.back().icon, Icon::Exclamation);

  // One collision: the next batch number is taken and the line goes in.
  host.boxes.clear();
  faulty->failOn("insert into tblStock ", 1,
                 "Cannot insert duplicate key row in object 'dbo.tblStock' with unique index 'CIDX_tblStock'.");
  l = line(1, "X", 5);
  ASSERT_TRUE(post(stock::kStockIn, l));
  EXPECT_EQ(value("SELECT BatchID FROM tblStock"), -2);
  EXPECT_EQ(host.boxes.size(), 1u);  // the error shown, then the retry
}

TEST_F(PostStockTest, FailedStatementRollsTheLineBackOrLeavesItToTheCaller) {
  host.setStrict(false);
  const auto before = snapshot(branch());
  faulty->failOn("insert into tblItemRates", 1, "Some failure");
  auto l = line(1, "L", 5);
  EXPECT_FALSE(post(stock::kStockIn, l));
  EXPECT_EQ(snapshot(branch()), before);  // stock row and history of the line gone with it

  // "more than once" carries on with the next statement.
  faulty->failOn("insert into tblItemRates", 1, "The column name 'Qty' is specified more than once.");
  l = line(1, "L", 5);
  EXPECT_TRUE(post(stock::kStockIn, l));
  EXPECT_EQ(count("tblStockHistory"), 1);
  EXPECT_EQ(count("tblItemRates"), 0);

  // In the caller's transaction the routine neither commits nor rolls back.
  faulty->heal();
  {
    db::Transaction t(branch());
    l = line(2, "T", 1);
    EXPECT_TRUE(post(stock::kStockIn, l, 79, stock::Txn::Callers));
    EXPECT_EQ(count("tblStock", "ItemID = 2"), 1);
  }  // rolled back by the caller
  EXPECT_EQ(count("tblStock", "ItemID = 2"), 0);
}

TEST_F(PostStockTest, NumbersAndDatesDoNotFollowTheProcessLocale) {
  CommaLocale comma(dir.path());
  if (!comma.active()) GTEST_SKIP() << CommaLocale::kSkipReason;
  EXPECT_EQ(stock::num(12.5), "12.5");
  EXPECT_EQ(stock::fixedText(2.345, 2), "2.35");
  EXPECT_EQ(stock::fixedText(-0.001, 2), "0.00");
  EXPECT_EQ(stock::fixedText(9.995, 2), "10.00");
  EXPECT_EQ(stock::dateLit(DateTime{2026, 1, 5}), "'2026-01-05T00:00:00.000'");
  auto l = line(1, "N", 1.25, 12.5);
  const bool ok = post(stock::kStockIn, l);
  comma.restore();
  ASSERT_TRUE(ok);
  EXPECT_EQ(value("SELECT Prate FROM tblStock"), 12.5);
  EXPECT_EQ(value("SELECT QtyIN FROM tblStockHistory"), 1.25);
  EXPECT_EQ(branch().query("SELECT VchDate FROM tblStockHistory").at(0, 0).toDateTime(), today);
}

class PostVoucherTest : public DayStartFixture {
 protected:
  PostVoucherTest() { branch().execute("DELETE FROM tblVoucher"); }
  long postEntry(long dr, long cr, double& amount, const std::string& particulars = "17") {
    stock::VoucherEntry e;
    e.vchType = 1005;
    e.date = today;
    e.drLedger = dr;
    e.crLedger = cr;
    e.particulars = particulars;
    e.narration = "O'Neil";
    e.amount = amount;
    e.userNarration = "OPENING SYNCH";
    e.ccid = 2;
    const long mainId = stock::PostVoucher(ctx, e);
    amount = e.amount;
    return mainId;
  }
};

TEST_F(PostVoucherTest, DebitBalanceIsTwoMirroredRows) {
  double amount = 250;
  EXPECT_EQ(postEntry(17, 0, amount), 1);
  auto rs = rows(branch(),
                 "SELECT MainID, TrID, DrLID, CrLID, AmountD, AmountC, Reconciled, SalesManID, currencyID, Conversion, "
                 "Narration, TrDate FROM tblVoucher ORDER BY Reconciled");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(0, "DrLID").toInt(), 17);
  EXPECT_EQ(rs.at(0, "CrLID").toInt(), 0);
  EXPECT_EQ(rs.at(0, "AmountD").toDouble(), 250);
  EXPECT_EQ(rs.at(0, "AmountC").toDouble(), 0);
  EXPECT_EQ(rs.at(1, "DrLID").toInt(), 0);
  EXPECT_EQ(rs.at(1, "CrLID").toInt(), 17);
  EXPECT_EQ(rs.at(1, "AmountC").toDouble(), 250);
  EXPECT_EQ(rs.at(1, "Reconciled").toInt(), 1);
  EXPECT_EQ(rs.at(1, "MainID").toInt(), 1);
  EXPECT_EQ(rs.at(1, "TrID").toInt(), 1);
  EXPECT_EQ(rs.at(0, "SalesManID").toInt(), 1);
  EXPECT_EQ(rs.at(0, "Narration").toString(), "O'Neil");
  EXPECT_EQ(rs.at(0, "TrDate").toDateTime(), today);
  amount = 10;
  EXPECT_EQ(postEntry(0, 17, amount), 2);
}

TEST_F(PostVoucherTest, AmountFormatRefusalsAndZero) {
  double amount = 12.3456;
  ASSERT_EQ(ctx.erpSettings.AmountFormat, "#0.00");
  EXPECT_EQ(postEntry(3, 0, amount), 1);
  EXPECT_EQ(amount, 12.35);
  EXPECT_EQ(scalar(branch(), "SELECT AmountD * 100 FROM tblVoucher WHERE Reconciled = 0"), 1235);

  amount = 0;
  EXPECT_EQ(postEntry(3, 0, amount), -1);
  host.expectBox(Answer::OK, "voucher save aborted. ");
  amount = 5;
  EXPECT_EQ(postEntry(3, 0, amount, "0"), 0);
  host.expectBox(Answer::OK, "voucher save aborted. ");
  EXPECT_EQ(postEntry(3, 0, amount, "1'; DROP TABLE tblVoucher--"), 0);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblVoucher"), 2);
}

TEST_F(PostVoucherTest, BothRowsOrNeither) {
  host.setStrict(false);
  double amount = 100;
  faulty->failOn("insert into  tblvoucher", 2, "The transaction log for database 'BR01' is full");
  EXPECT_EQ(postEntry(4, 0, amount), 0);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblVoucher"), 0);
  ASSERT_FALSE(host.boxes.empty());
  EXPECT_NE(host.boxes.back().text.find("is full"), std::string::npos);
  // A failed numbering query writes nothing either.
  faulty->failOn("max(Mainid)", 1, "Timeout expired");
  EXPECT_EQ(postEntry(4, 0, amount), 0);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblVoucher"), 0);
  faulty->heal();
  EXPECT_EQ(postEntry(4, 0, amount), 1);
  EXPECT_EQ(scalar(branch(), "SELECT SUM(AmountD) - SUM(AmountC) FROM tblVoucher"), 0);
}

}  // namespace
}  // namespace erpsync::test

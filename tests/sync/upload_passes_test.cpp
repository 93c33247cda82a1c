// What one upload pass sends and how: a backlog goes up oldest first, a share a pass, the rest counted
// as waiting; head office is sent one statement text per batch size whatever the values; a voucher
// found there already among new ones is only marked and the new ones are copied once, numbered on from
// head office's maximum; and the pass does not read its own marks' change-log rows again, but does
// read an edit the ERP made while it ran.
#include <gtest/gtest.h>

#include <set>

#include "db/embedded/fault_injection.h"
#include "pair_fixture.h"
#include "simulator.h"
#include "sync/upload_transactions.h"
#include "sync/voucher_kinds.h"

namespace erpsync {
namespace {

namespace faults = db::embedded::faults;

// Passes every call on and keeps the statement texts sent with parameters, and their values.
class TextsConnection : public db::Connection {
 public:
  explicit TextsConnection(std::unique_ptr<db::Connection> inner) : inner_(std::move(inner)) {}
  void open(const std::string& cs) override { inner_->open(cs); }
  void close() override { inner_->close(); }
  bool isOpen() const override { return inner_->isOpen(); }
  long long execute(const std::string& sql) override { return inner_->execute(sql); }
  db::Recordset query(const std::string& sql) override { return inner_->query(sql); }
  db::Recordset queryWith(const std::string& sql, const std::vector<db::Param>& params) override {
    texts.push_back(sql);
    std::string v;
    for (const auto& p : params) v += p.literal + "|";
    values.push_back(v);
    return inner_->queryWith(sql, params);
  }
  void beginTrans() override { inner_->beginTrans(); }
  void commitTrans() override { inner_->commitTrans(); }
  void rollbackTrans() override { inner_->rollbackTrans(); }
  void setCommandTimeout(int s) override { inner_->setCommandTimeout(s); }
  std::vector<std::string> texts, values;

 private:
  std::unique_ptr<db::Connection> inner_;
};

class UploadPasses : public test::SyncPairFixture {
 protected:
  UploadPasses() : erp(branch(), 2, 3) {
    host.setStrict(false);
    faults::reset();
  }
  ~UploadPasses() override { faults::reset(); }

  void sales(int n, const db::DateTime& day) {
    for (int i = 0; i < n; ++i) erp.enter(testbed::VoucherFamily::Sales, db::DateTime{day.year, day.month, day.day, 10, i, 0});
  }
  db::DateTime daysAgo(int n) const { return db::DateTime::fromDayNumber(today.dayNumber() - n); }
  sync::UploadOutcome pass(std::size_t share = sync::kPassUnits) {
    ageBranchChanges(3);
    return sync::uploadTransactions(ctx, false, share);
  }
  long long centralSales(const std::string& where = "1=1") {
    return scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2 AND " + where);
  }
  // Every branch sale live once at head office under the number its mark names, with its lines.
  void expectSalesCentralOnce() {
    auto rs = branch().query("SELECT InvID, InvNo, SyncStat, ServInvID FROM tblSales");
    for (std::size_t r = 0; r < rs.size(); ++r) {
      const std::string no = rs.at(r, 1).toString(), centralNo = rs.at(r, 3).toString();
      EXPECT_EQ(rs.at(r, 2).toInt(), 1) << no << " waits";
      EXPECT_EQ(centralSales("InvNo = '" + no + "' AND isnull(Party,'') <> '#DELETEDFROMBRANCH#'"), 1) << no;
      EXPECT_EQ(centralSales("InvID = " + centralNo + " AND InvNo = '" + no + "'"), 1) << no;
      EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblSalesItem WHERE InvID = " + rs.at(r, 0).toString()),
                scalar(central(), "SELECT count(*) FROM tblSalesItem WHERE InvID = " + centralNo))
          << no;
    }
  }

  testbed::BranchErp erp;
};

TEST_F(UploadPasses, AWeekOfflineGoesUpOldestFirstAShareAPassTheRestWaiting) {
  sales(5, daysAgo(3));
  sales(5, daysAgo(2));
  sales(5, daysAgo(1));
  sales(3, today);
  const auto first = pass(7);
  EXPECT_EQ(first.uploaded, 7);
  EXPECT_EQ(first.later, 11);
  EXPECT_EQ(first.waiting, 11) << "the vouchers of earlier dates left for later passes wait too";
  EXPECT_NE(sync::uploadSentence(first).find("11 more go up in the next passes"), std::string::npos)
      << sync::uploadSentence(first);
  // The oldest first: the whole first day, then the start of the second.
  EXPECT_EQ(centralSales("InvDate = '" + daysAgo(3).iso() + "'"), 5);
  EXPECT_EQ(centralSales("InvDate = '" + daysAgo(2).iso() + "'"), 2);
  EXPECT_EQ(centralSales("InvDate = '" + today.iso() + "'"), 0);

  EXPECT_EQ(pass(7).uploaded, 7);
  const auto last = pass(7);
  EXPECT_EQ(last.uploaded, 4);
  EXPECT_EQ(last.later, 0);
  EXPECT_EQ(last.waiting, 0);
  EXPECT_EQ(pass(7).uploaded, 0);
  expectSalesCentralOnce();
}

TEST_F(UploadPasses, HeadOfficeGetsOneStatementTextPerBatchSizeWhateverTheValues) {
  auto texts = std::make_unique<TextsConnection>(std::move(ctx.WebConnection));
  TextsConnection& sent = *texts;
  ctx.WebConnection = std::move(texts);
  for (int i = 0; i < 3; ++i) {
    sales(1, today);
    ASSERT_EQ(pass().uploaded, 1);
  }
  erp.enter(testbed::VoucherFamily::Note, db::DateTime{today.year, today.month, today.day, 11, 0, 0});
  ASSERT_EQ(pass().uploaded, 1);
  ASSERT_EQ(sent.texts.size(), 4u);
  EXPECT_EQ(sent.texts[0], sent.texts[1]);
  EXPECT_EQ(sent.texts[1], sent.texts[2]);
  EXPECT_NE(sent.texts[2], sent.texts[3]) << "a note is another kind of batch";
  EXPECT_EQ(std::set<std::string>(sent.values.begin(), sent.values.begin() + 3).size(), 3u);
  // No value of a voucher stands in the text itself.
  const std::string number = branch().query("SELECT InvNo FROM tblSales WHERE InvID = 2").at(0, 0).toString();
  EXPECT_EQ(sent.texts[1].find("'" + number + "'"), std::string::npos);
  EXPECT_NE(sent.values[1].find("'" + number + "'"), std::string::npos);
  expectSalesCentralOnce();
}

TEST_F(UploadPasses, AVoucherFoundAlreadyIsMarkedAndTheNewOnesAreCopiedOnceNumberedOnFromTheMaximum) {
  sales(4, today);
  // Head office commits the batch; its answer is lost.
  std::string why;
  auto plan = faults::parse("server=central;on=statement;match=BLOCKFASTPUSH;at=1;kind=drop;when=after", &why);
  ASSERT_TRUE(plan) << why;
  faults::configure(*plan);
  EXPECT_TRUE(pass().stopped);
  faults::reset();
  ctx.WebConnection->close();
  ctx.WebConnection->open(companyConnectionString("HO01", kCentralServer));
  ASSERT_EQ(centralSales(), 4);
  // Another branch's sale takes the next numbers meanwhile.
  const long long top = scalar(central(), "SELECT max(InvID) FROM tblSales");
  central().execute("INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, CCID) VALUES (" + std::to_string(top + 5) +
                    ", 'S3-1', '" + today.iso() + "', 301, 3)");

  sales(3, today);
  const auto out = pass();
  EXPECT_EQ(out.alreadyCentral, 4);
  EXPECT_EQ(out.uploaded, 3);
  EXPECT_EQ(out.failed, 0);
  expectSalesCentralOnce();
  // The new copies follow head office's maximum one by one.
  auto numbers = branch().query("SELECT ServInvID FROM tblSales WHERE InvID > 4 ORDER BY InvID");
  ASSERT_EQ(numbers.size(), 3u);
  for (std::size_t r = 0; r < 3; ++r) EXPECT_EQ(numbers.at(r, 0).toInt(), top + 6 + static_cast<long long>(r));
}

TEST_F(UploadPasses, APassDoesNotReadItsOwnMarksAgainButReadsAnEditMadeWhileItRan) {
  sales(3, today);
  ASSERT_EQ(pass().uploaded, 3);
  EXPECT_EQ(ctx.MaxActivityIDTrans, scalar(branch(), "SELECT max(ID) FROM tblActivity"))
      << "the marks' own change-log rows are passed";

  // While the next pass sends, the cashier edits a sale sent before: its change is after the mark.
  sales(2, today);
  const long long edited = 2;
  int calls = 0;
  form.lblStatusMain.subscribe([&] {
    if (form.lblStatusMain.caption().rfind("Migrating tblSales", 0) != 0 || ++calls != 1) return;
    erp.edit(testbed::VoucherFamily::Sales, edited, testbed::LineEdit::Quantity);
  });
  ASSERT_EQ(pass().uploaded, 2);
  ASSERT_EQ(calls, 1);
  EXPECT_LT(ctx.MaxActivityIDTrans, scalar(branch(), "SELECT max(ID) FROM tblActivity"));
  const auto after = pass();
  EXPECT_EQ(after.uploaded, 1) << "the edited sale goes again";
  expectSalesCentralOnce();
  const std::string copy = branch().query("SELECT ServInvID FROM tblSales WHERE InvID = 2").at(0, 0).toString();
  EXPECT_EQ(scalar(branch(), "SELECT sum(Qty) FROM tblSalesItem WHERE InvID = 2"),
            scalar(central(), "SELECT sum(Qty) FROM tblSalesItem WHERE InvID = " + copy));
}

}  // namespace
}  // namespace erpsync

// The upload over a link where every call is a round trip: many vouchers go up in one batch, the push
// lock is taken and given back inside it, and whatever fails on the way (a voucher head office
// refuses, the link lost with the batch, the answer lost after the commit) leaves every voucher at head
// office exactly once after the next pass. Calls are counted by the embedded server's fault plan tally.
#include <gtest/gtest.h>

#include "db/embedded/fault_injection.h"
#include "pair_fixture.h"
#include "simulator.h"
#include "sync/upload_batch.h"
#include "sync/upload_transactions.h"
#include "sync/voucher_kinds.h"

namespace erpsync {
namespace {

namespace faults = db::embedded::faults;

class UploadBatches : public test::SyncPairFixture {
 protected:
  UploadBatches() {
    host.setStrict(false);
    faults::reset();
  }
  ~UploadBatches() override { faults::reset(); }

  void enter(int sales, unsigned seed = 1) {
    testbed::SimulationOptions o;
    o.sales = sales;
    o.orders = o.stockJournals = o.jobCards = 1;
    o.notes = 2;
    o.edits = o.deletes = 0;
    o.masterChanges = o.boardRates = 0;
    o.date = today;
    o.seed = seed;
    testbed::simulateErpActivity(&branch(), nullptr, o);
    ageBranchChanges(3);
  }
  // Counts the calls that reach head office from here on; `plan` adds a fault.
  void countCentral(const std::string& plan = {}) {
    std::string why;
    auto p = faults::parse("server=central;" + plan, &why);
    ASSERT_TRUE(p) << why;
    faults::configure(*p);
  }
  // A pass after a failure opens the connection to head office again, as the timer's pass does.
  void reconnectCentral() {
    faults::reset();
    ctx.WebConnection->close();
    ctx.WebConnection->open(companyConnectionString("HO01", kCentralServer));
  }
  long long centralVouchers() {
    long long n = 0;
    for (const auto& k : sync::voucherKinds()) n += scalar(central(), "SELECT count(*) FROM " + k.table + " WHERE CCID = 2");
    return n;
  }
  long long branchVouchers(const std::string& where = "1=1") {
    long long n = 0;
    for (const auto& k : sync::voucherKinds()) n += scalar(branch(), "SELECT count(*) FROM " + k.table + " WHERE " + where);
    return n;
  }
  // Every branch voucher held once at head office under the number its mark names, with its lines.
  void expectEveryVoucherCentralOnce() {
    for (const auto& k : sync::voucherKinds()) {
      auto rs = branch().query("SELECT " + k.key + ", SyncStat, ServInvID, " + k.numberColumn + " FROM " + k.table);
      for (std::size_t r = 0; r < rs.size(); ++r) {
        const std::string number = rs.at(r, 3).toString(), centralNo = rs.at(r, 2).toString();
        EXPECT_EQ(rs.at(r, 1).toInt(), 1) << k.table << " " << number << " not marked";
        EXPECT_EQ(scalar(central(), "SELECT count(*) FROM " + k.table + " WHERE " + k.numberColumn + " = '" + number +
                                        "' AND CCID = 2"),
                  1)
            << k.table << " " << number;
        if (k.detail.empty() || centralNo.empty()) continue;
        EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM " + k.detail + " WHERE " + k.key + " = " + rs.at(r, 0).toString()),
                  scalar(central(), "SELECT count(*) FROM " + k.detail + " WHERE " + k.key + " = " + centralNo))
            << k.detail << " of " << number;
      }
    }
  }
  long long lockRows() { return scalar(central(), "SELECT count(*) FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH'"); }
};

TEST_F(UploadBatches, ABusyBranchPaysOneCallPerFiftyVouchersTheLockInsideEach) {
  enter(130);
  const long long vouchers = branchVouchers();
  countCentral();
  const auto out = sync::uploadTransactions(ctx, false);
  const long long calls = faults::counted();
  faults::reset();
  EXPECT_EQ(out.uploaded, vouchers);
  EXPECT_EQ(out.failed, 0);
  EXPECT_EQ(calls, (vouchers + 49) / 50) << vouchers << " vouchers";
  expectEveryVoucherCentralOnce();
  EXPECT_EQ(lockRows(), 0);

  // Nothing left to send: head office is not called at all, and the mark passes the rows the branch
  // marks logged.
  countCentral();
  EXPECT_EQ(sync::uploadTransactions(ctx, false).uploaded, 0);
  EXPECT_EQ(faults::counted(), 0);
  EXPECT_EQ(ctx.MaxActivityIDTrans, scalar(branch(), "SELECT max(ID) FROM tblActivity"));
}

TEST_F(UploadBatches, AVoucherHeadOfficeRefusesIsFoundAloneAndTheOthersArrive) {
  enter(6);
  // Head office refuses one sale's number: another branch's sale holds it under a unique index.
  const std::string refused = branch().query("SELECT InvNo FROM tblSales ORDER BY InvID").at(2, 0).toString();
  central().execute("CREATE UNIQUE INDEX IX_OneNumber ON tblSales (InvNo)");
  central().execute("INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, CCID) VALUES (900, '" + refused +
                    "', '2026-01-01', 301, 3)");
  const auto out = sync::uploadTransactions(ctx, false);
  EXPECT_EQ(out.failed, 1);
  EXPECT_EQ(out.uploaded, branchVouchers() - 1);
  ASSERT_EQ(notices().size(), 1u) << "the failing voucher is told once";
  EXPECT_NE(notices()[0].find("CreateInsert trans QueriestblSales"), std::string::npos) << notices()[0];
  EXPECT_EQ(scalar(branch(), "SELECT SyncStat FROM tblSales WHERE InvNo = '" + refused + "'"), 0);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2 AND InvNo = '" + refused + "'"), 0);
  EXPECT_EQ(branchVouchers("SyncStat = 1"), branchVouchers() - 1);
  EXPECT_EQ(lockRows(), 0);

  // The failed batch did not leave its abort-on-error handling on the session: a failing statement in a
  // transaction of the connection's other work leaves the transaction open, as usual.
  central().beginTrans();
  central().execute("UPDATE tblSales SET Party = 'kept' WHERE InvID = 900");
  EXPECT_THROW(central().execute("INSERT INTO tblSales (InvID, InvNo) VALUES (901, '" + refused + "')"), db::DbError);
  central().commitTrans();
  EXPECT_EQ(rows(central(), "SELECT Party FROM tblSales WHERE InvID = 900").at(0, 0).toString(), "kept");

  // Head office lets it in again: it goes up with the waiting vouchers, once.
  central().execute("DELETE FROM tblSales WHERE InvID = 900");
  sync::uploadTransactions(ctx, false);
  expectEveryVoucherCentralOnce();
}

TEST_F(UploadBatches, ALinkLostWithTheBatchLeavesNothingHalfAndTheNextPassSendsItOnce) {
  enter(8);
  const long long before = centralVouchers();  // head office's own journals for this branch
  countCentral("at=1;kind=drop");  // the one batch
  const auto out = sync::uploadTransactions(ctx, false);
  EXPECT_TRUE(out.stopped);
  EXPECT_EQ(out.uploaded, 0);
  reconnectCentral();
  EXPECT_EQ(centralVouchers(), before) << "the batch was one transaction: nothing of it stays";
  EXPECT_EQ(branchVouchers("SyncStat = 1"), 0);
  EXPECT_EQ(branchVouchers("isnull(SyncStat,0) = 0"), branchVouchers()) << "every voucher waits";

  EXPECT_EQ(lockRows(), 0) << "the lock went with the batch's transaction";
  EXPECT_EQ(sync::uploadTransactions(ctx, false).uploaded, branchVouchers());
  expectEveryVoucherCentralOnce();
  EXPECT_EQ(lockRows(), 0);
}

TEST_F(UploadBatches, AnAnswerLostAfterTheCommitIsRecognisedNotCopiedAgain) {
  enter(8);
  const long long before = centralVouchers();  // head office's own journals for this branch
  countCentral("at=1;kind=drop;when=after");
  EXPECT_TRUE(sync::uploadTransactions(ctx, false).stopped);
  reconnectCentral();
  const long long arrived = centralVouchers() - before;
  EXPECT_EQ(arrived, branchVouchers()) << "head office committed the batch";
  EXPECT_EQ(branchVouchers("SyncStat = 1"), 0) << "the branch never heard";

  const auto again = sync::uploadTransactions(ctx, false);
  EXPECT_EQ(again.uploaded, 0);
  EXPECT_EQ(again.alreadyCentral, arrived);
  EXPECT_EQ(centralVouchers() - before, arrived);
  expectEveryVoucherCentralOnce();
}

TEST_F(UploadBatches, TheBatchTextIsBoundedAndAnswersForEveryVoucher) {
  enter(60);
  std::vector<long long> numbers;
  auto rs = branch().query("SELECT InvID FROM tblSales ORDER BY InvID");
  for (std::size_t r = 0; r < rs.size(); ++r) numbers.push_back(rs.at(r, 0).toInt());
  const auto copies = sync::readVoucherCopies(branch(), *sync::voucherKind("tblSales"), numbers, " isnull(SyncStat,0)=0");
  ASSERT_EQ(copies.size(), numbers.size());
  sync::UploadBatch batch;
  for (const auto& c : copies) {
    if (!batch.fits(c.bytes())) break;
    batch.vouchers.push_back({&c, {}, true});
    batch.bytes += c.bytes();
  }
  EXPECT_EQ(batch.vouchers.size(), sync::kBatchVouchers);
  EXPECT_LE(batch.bytes, sync::kBatchBytes);
  // The batch takes the push lock in its own transaction and gives it back before its commit.
  const auto call = sync::uploadBatchCall(batch, "Branch One");
  const auto reply = sync::readBatchReply(central().queryWith(call.sql, call.params), 50);
  EXPECT_TRUE(reply.lockHeld);
  for (const auto& v : reply.vouchers) EXPECT_FALSE(v.already);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 50);
  EXPECT_EQ(lockRows(), 0);

  // Another branch's live lock row: the batch sends nothing and names the holder.
  central().execute(
      "INSERT INTO tblDayActivity (Activity, BlockDataEntry, SQLSERVERNAME, SystemName, ActivitiesDetail, Timeof) "
      "VALUES ('BLOCKFASTPUSH', 1, 'Branch Two', '', 'Blocking for data pushing from client', getdate())");
  sync::UploadBatch rest;
  for (std::size_t i = 50; i < copies.size(); ++i) rest.vouchers.push_back({&copies[i], {}, true});
  const auto restCall = sync::uploadBatchCall(rest, "Branch One");
  const auto busy = sync::readBatchReply(central().queryWith(restCall.sql, restCall.params), rest.vouchers.size());
  EXPECT_FALSE(busy.lockHeld);
  EXPECT_EQ(busy.holder, "Branch Two");
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 50);
  EXPECT_EQ(lockRows(), 1);
  EXPECT_THROW(sync::readBatchReply(central().query("SELECT 0 AS Seq, 0 AS CentralNo, 0 AS Already, 1 AS LockHeld"), 1),
               std::runtime_error);
}

}  // namespace
}  // namespace erpsync

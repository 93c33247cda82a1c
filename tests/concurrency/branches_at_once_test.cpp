// Three branches, each its own erpsync-cli processes, enter and upload vouchers into one head office at
// the same time while head office changes masters. The run's own check must come out clean, the
// head office must hold every voucher once under its own number, and the check must notice each kind
// of damage when it is there.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "branch_check.h"
#include "branches.h"
#include "db/connection.h"
#include "db/sql_quote.h"
#include "process_runner.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync {
namespace {

constexpr int kBranches = 3;
constexpr int kVouchers = 30;

class BranchesAtOnce : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    tmp_ = std::make_unique<test::TempDir>();
    run_ = test::runCli("testbed concurrency --dir '" + (tmp_->path() / "set").string() + "' --branches " +
                        std::to_string(kBranches) + " --vouchers " + std::to_string(kVouchers) +
                        " --chunk 10 --masters 4 --wait-ms 50");
  }
  static void TearDownTestSuite() { tmp_.reset(); }

  static testbed::BranchSet set() {
    testbed::BranchSetOptions o;
    o.root = tmp_->path() / "set";
    o.branches = kBranches;
    return testbed::branchSetAt(o);
  }
  static std::unique_ptr<db::Connection> central() {
    auto s = set();
    return db::openConnection(testbed::companyConnectionString(s.centralServer, s.centralDb), tmp_->path());
  }
  // A copy of the finished set under its own folder, for a test that damages it.
  static testbed::BranchSet copyOfSet(const std::string& name) {
    std::filesystem::copy(tmp_->path() / "set", tmp_->path() / name, std::filesystem::copy_options::recursive);
    testbed::BranchSetOptions o;
    o.root = tmp_->path() / name;
    o.branches = kBranches;
    return testbed::branchSetAt(o);
  }
  static std::unique_ptr<db::Connection> centralOf(const testbed::BranchSet& s) {
    return db::openConnection(testbed::companyConnectionString(s.centralServer, s.centralDb), tmp_->path());
  }
  static long long scalar(db::Connection& c, const std::string& sql) { return c.query(sql).at(0, 0).toInt(); }

  static std::unique_ptr<test::TempDir> tmp_;
  static test::ProcessResult run_;
};

std::unique_ptr<test::TempDir> BranchesAtOnce::tmp_;
test::ProcessResult BranchesAtOnce::run_;

// The report's lock waits come from the branch processes themselves: each ERP and each runner that
// exited wrote its figures, and every one of them made calls.
TEST_F(BranchesAtOnce, EveryBranchProcessReportsItsLockWaits) {
  ASSERT_EQ(run_.exitCode, 0) << run_.output;
  ASSERT_NE(run_.output.find("Lock waits:"), std::string::npos) << run_.output;
  for (int b = 1; b <= kBranches; ++b)
    for (const char* role : {"erp", "run"}) {
      const std::string name = "b" + std::to_string(b) + "-" + role;
      const auto at = run_.output.find("  " + name + " ");
      ASSERT_NE(at, std::string::npos) << name << "\n" << run_.output;
      std::istringstream row(run_.output.substr(at + 2 + name.size()));
      long long processes = 0, calls = 0, waited = -1;
      row >> processes >> calls >> waited;
      EXPECT_GT(processes, 0) << name;
      EXPECT_GT(calls, processes) << name;
      EXPECT_GE(waited, 0) << name;
    }
}

TEST_F(BranchesAtOnce, EveryVoucherArrivesOnceUnderItsOwnNumberAndTheLockIsNeverShared) {
  ASSERT_EQ(run_.exitCode, 0) << run_.output;
  EXPECT_NE(run_.output.find("duplicate central numbers 0\n"), std::string::npos) << run_.output;
  EXPECT_NE(run_.output.find("lock overlaps 0\n"), std::string::npos) << run_.output;
  EXPECT_NE(run_.output.find("RESULT ok"), std::string::npos) << run_.output;

  // Seen from head office without the run's check: each branch's live vouchers (the ERP deletes some,
  // before and after they went up) are live there as many times as the branch holds them, and every
  // branch entered some.
  auto ho = central();
  long long all = 0;
  for (const auto& b : set().branches) {
    auto branch = db::openConnection(testbed::companyConnectionString("embedded:servers/branch", b.branchDb), b.home);
    long long here = 0, there = 0;
    for (const auto& [t, mark] : std::vector<std::pair<std::string, std::string>>{{"tblSales", "Party"},
                                                                                  {"tblOrder", "Party"},
                                                                                  {"tblStockJournal", "Party"},
                                                                                  {"tblJobcard", "Party"},
                                                                                  {"tblNotes", "Narration"}}) {
      const std::string cc = std::to_string(b.costCentre);
      here += scalar(*branch, "SELECT count(*) FROM " + t + " WHERE CCID=" + cc);
      there += scalar(*ho, "SELECT count(*) FROM " + t + " WHERE CCID=" + cc + " AND isnull(" + mark +
                               ",'')<>'#DELETEDFROMBRANCH#'");
    }
    EXPECT_EQ(there, here) << "cost centre " << b.costCentre;
    EXPECT_GT(here, 0) << "cost centre " << b.costCentre;
    all += there;
  }
  EXPECT_GT(all, 0);
  EXPECT_EQ(scalar(*ho, "SELECT count(*) FROM (SELECT InvID FROM tblSales GROUP BY InvID HAVING count(*) > 1) d"), 0);
  EXPECT_EQ(scalar(*ho,
                   "SELECT count(*) FROM tblSalesItem i WHERE NOT EXISTS (SELECT 1 FROM tblSales s WHERE "
                   "s.InvID = i.InvID)"),
            0);
  // The lock was taken by every branch and is free at the end.
  EXPECT_EQ(scalar(*ho, "SELECT count(DISTINCT Holder) FROM tblLockHistory WHERE Event='TAKE'"), kBranches);
  EXPECT_EQ(scalar(*ho, "SELECT count(*) FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH'"), 0);
  // Every branch's settings name its own cost centre and the shared head office.
  for (const auto& b : set().branches) {
    auto ini = test::readFile(b.home / "Resources" / "Appsettings.ini");
    EXPECT_NE(ini.find("DEFCOSTCENTREID=" + std::to_string(b.costCentre) + "\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("SYNCSERVER=" + set().centralServer + "\r\n"), std::string::npos) << ini;
  }
}

// Each kind of damage on its own copy of the finished set. (One test: under ctest every test is a
// process of its own, and each would run the whole scenario again.)
TEST_F(BranchesAtOnce, CheckNoticesEachKindOfDamage) {
  ASSERT_EQ(run_.exitCode, 0) << run_.output;
  {
    SCOPED_TRACE("a voucher twice at head office, one of no branch");
    auto s = copyOfSet("twice");
    auto ho = centralOf(s);
    // (Live copies only: the ERP deleted some vouchers after they went up.)
    // One voucher of Branch 4 made to look like another of its vouchers: that one is there twice now and
    // the first one is gone. One voucher of Branch 6 renumbered to a number its branch never used.
    auto ids = ho->query("SELECT TOP 2 InvID, InvNo FROM tblSales WHERE CCID=4 AND isnull(Party,'')<>'#DELETEDFROMBRANCH#' ORDER BY InvID");
    ASSERT_EQ(ids.size(), 2u);
    ho->execute("UPDATE tblSales SET InvNo=" + db::sqlQuote(ids.at(1, 1).toString()) +
                " WHERE InvID=" + ids.at(0, 0).toString());
    ho->execute("UPDATE tblSales SET InvNo='NEVER-USED' WHERE InvID=(SELECT min(InvID) FROM tblSales WHERE CCID=6 AND isnull(Party,'')<>'#DELETEDFROMBRANCH#')");
    auto r = testbed::checkBranchSet(s);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.duplicateVouchers, 1) << testbed::describe(r);
    EXPECT_EQ(r.missing, 2) << testbed::describe(r);
    EXPECT_EQ(r.orphans, 1) << testbed::describe(r);
    EXPECT_EQ(r.duplicateNumbers, 0);
  }
  {
    SCOPED_TRACE("a lost line, a changed amount, an unmarked voucher, a ledger and an item rate left behind");
    auto s = copyOfSet("lines");
    auto ho = centralOf(s);
    ho->execute(
        "DELETE FROM tblSalesItem WHERE InvID=(SELECT min(i.InvID) FROM tblSalesItem i JOIN tblSales h ON "
        "h.InvID=i.InvID WHERE h.CCID=5 AND isnull(h.Party,'')<>'#DELETEDFROMBRANCH#') AND ItemID=(SELECT min(ItemID) FROM tblSalesItem WHERE InvID=(SELECT "
        "min(i.InvID) FROM tblSalesItem i JOIN tblSales h ON h.InvID=i.InvID WHERE h.CCID=5 AND isnull(h.Party,'')<>'#DELETEDFROMBRANCH#'))");
    // And a receipt of Branch 6 whose amount changed at head office.
    ho->execute("UPDATE tblNotes SET Amount = Amount + 1 WHERE VchID=(SELECT min(VchID) FROM tblNotes WHERE CCID=6 AND isnull(Narration,'')<>'#DELETEDFROMBRANCH#')");
    auto branch =
        db::openConnection(testbed::companyConnectionString("embedded:servers/branch", "BR02"), s.branches[1].home);
    branch->execute("UPDATE tblNotes SET SyncStat=0 WHERE VchID=(SELECT min(VchID) FROM tblNotes)");
    // A ledger head office opened, under another name at the branch than at head office.
    auto changed = ho->query("SELECT max(tblUniqueID) FROM tblActivity WHERE TableName='tblLedger'");
    ASSERT_FALSE(changed.empty());
    ASSERT_FALSE(changed.at(0, 0).isNull()) << "head office opened no ledger";
    branch->execute("UPDATE tblLedger SET LName = 'Renamed at the branch' WHERE LID=" + changed.at(0, 0).toString());
    // An item whose rate head office revised, at the old MRP at the branch.
    auto item = ho->query("SELECT min(tblUniqueID) FROM tblActivity WHERE TableName='tblItemMaster'");
    ASSERT_FALSE(item.at(0, 0).isNull()) << "head office revised no item";
    branch->execute("UPDATE tblItemMaster SET MRP = MRP - 1 WHERE ItemID=" + item.at(0, 0).toString());
    auto r = testbed::checkBranchSet(s);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.wrongContent, 2) << testbed::describe(r);
    EXPECT_EQ(r.unmarked, 1) << testbed::describe(r);
    EXPECT_EQ(r.mastersDiffering, 2) << testbed::describe(r);
    EXPECT_EQ(r.missing + r.duplicateVouchers + r.orphans, 0) << testbed::describe(r);
  }
  {
    SCOPED_TRACE("two holders at once, a voucher under another branch's lock");
    auto s = copyOfSet("lock");
    auto ho = centralOf(s);
    ho->execute("INSERT INTO tblLockHistory (Event, Holder, LoggedAt) VALUES ('TAKE', 'Branch 4', getdate())");
    ho->execute("INSERT INTO tblLockHistory (Event, Holder, LoggedAt) VALUES ('TAKE', 'Branch 5', getdate())");
    ho->execute(
        "INSERT INTO tblLockHistory (Event, Holder, Holders, CCID, VoucherTable, CentralID, LoggedAt) VALUES "
        "('VOUCHER', 'Branch 4', 1, 6, 'tblSales', 1, getdate())");
    auto r = testbed::checkBranchSet(s);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.lock.overlaps, 1) << testbed::describe(r);
    EXPECT_EQ(r.lock.vouchersOutside, 1) << testbed::describe(r);
  }
}

// The run empties its folder first: a folder with other things in it is refused and left as it was.
TEST(ConcurrencyRun, RefusesAFolderThatIsNotARunsOwn) {
  test::TempDir tmp;
  test::writeFile(tmp.path() / "keep.txt", "precious");
  auto r = test::runCli("testbed concurrency --branches 1 --vouchers 1 --dir '" + tmp.path().string() + "'");
  EXPECT_EQ(r.exitCode, 2) << r.output;
  EXPECT_NE(r.output.find("neither empty nor the folder of an earlier run"), std::string::npos) << r.output;
  EXPECT_EQ(test::readFile(tmp.path() / "keep.txt"), "precious");
}

}  // namespace
}  // namespace erpsync

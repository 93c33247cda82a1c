// The day's verification: differences the counts cannot see, copies missing on either side, copies
// held twice at head office; another branch's vouchers are none of its business.
#include <gtest/gtest.h>

#include <map>

#include "app/reconcile_view.h"
#include "mismatch_fixture.h"
#include "reconcile/verify_day.h"

namespace erpsync {
namespace {

using reconcile::Finding;
using reconcile::VerifyDay;

class Verify : public test::UploadedDay {
 protected:
  // The findings as "table number finding" lines, for compact expectations.
  static std::vector<std::string> findings(const reconcile::VerifyOutcome& o) {
    std::vector<std::string> out;
    for (const auto& d : o.differences)
      out.push_back(d.table + " " + d.number + " " + reconcile::findingText(d.finding));
    return out;
  }
};

TEST_F(Verify, ADayInStepHasNoDifferences) {
  enterAndUpload();
  auto o = VerifyDay(ctx);
  EXPECT_FALSE(o.failed);
  EXPECT_EQ(o.compared, 4 + 1 + 1 + 1 + 2);
  EXPECT_TRUE(o.differences.empty()) << (o.differences.empty() ? "" : o.differences[0].detail);
  // The page says so in words instead of showing an empty list.
  reconcile::showVerify(form.msgVerify, o);
  EXPECT_EQ(form.msgVerify.text(0, 4), "Finding");
  ASSERT_EQ(form.msgVerify.rows(), 2);
  EXPECT_EQ(form.msgVerify.text(1, 0), "No differences: 9 vouchers of the day compared");

  // The day end locks the branch's vouchers only: a closed day is still a day in step.
  for (const char* t : {"tblSales", "tblOrder", "tblStockJournal", "tblJobcard", "tblNotes"})
    branch().execute(std::string("UPDATE ") + t + " SET LockMode = 1");
  o = VerifyDay(ctx);
  EXPECT_TRUE(o.differences.empty()) << (o.differences.empty() ? "" : o.differences[0].detail);
}

TEST_F(Verify, AChangedLineAmountIsFoundWhileTheCountsAgree) {
  enterAndUpload();
  const auto sale = voucher("tblSales", 2);
  central().execute("UPDATE tblSalesItem SET Amount = Amount + 10 WHERE InvID = " + std::to_string(sale.central) +
                    " AND SlNo = 1");
  auto o = VerifyDay(ctx);
  ASSERT_EQ(o.differences.size(), 1u);
  const auto& d = o.differences[0];
  EXPECT_EQ(d.number, sale.number);
  EXPECT_EQ(d.finding, Finding::Differs);
  EXPECT_NE(d.detail.find("sum of Amount"), std::string::npos) << d.detail;
  EXPECT_EQ(d.detail.find("lines"), std::string::npos) << d.detail;
  // The locator, which compares line counts, sees nothing here. The page names the voucher type.
  reconcile::showVerify(form.msgVerify, o);
  ASSERT_EQ(form.msgVerify.rows(), 2);
  EXPECT_EQ(form.msgVerify.text(1, 3), std::to_string(d.type) + " " + d.typeName);
  EXPECT_FALSE(d.typeName.empty());
  EXPECT_EQ(form.msgVerify.text(1, 1), sale.number);
  EXPECT_EQ(form.msgVerify.text(1, 4), "differs");
}

TEST_F(Verify, HeaderFieldsLinesAndQuantitiesAreCompared) {
  enterAndUpload();
  const auto sale = voucher("tblSales"), journal = voucher("tblStockJournal"), note = voucher("tblNotes");
  central().execute("UPDATE tblSales SET BillAmt = BillAmt + 1 WHERE InvID = " + std::to_string(sale.central));
  central().execute("UPDATE tblStockJournalDetail SET QtyIn = QtyIn + 2 WHERE InvID = " +
                    std::to_string(journal.central));
  central().execute("UPDATE tblNotes SET Amount = Amount - 5 WHERE VchID = " + std::to_string(note.central));
  auto o = VerifyDay(ctx);
  ASSERT_EQ(o.differences.size(), 3u);
  std::map<std::string, std::string> detail;
  for (const auto& d : o.differences) detail[d.table] = d.detail;
  EXPECT_EQ(detail["tblSales"].rfind("BillAmt ", 0), 0u) << detail["tblSales"];
  EXPECT_EQ(detail["tblStockJournal"].rfind("sum of QtyIn ", 0), 0u) << detail["tblStockJournal"];
  EXPECT_EQ(detail["tblNotes"].rfind("Amount ", 0), 0u) << detail["tblNotes"];
}

TEST_F(Verify, MissingOnEitherSideAndTwiceAtHeadOffice) {
  enterAndUpload();
  const auto gone = voucher("tblSales", 0), twice = voucher("tblSales", 1), onlyCentral = voucher("tblSales", 2);
  const auto job = voucher("tblJobCard");
  central().execute("DELETE FROM tblSales WHERE InvID = " + std::to_string(gone.central));
  // A second live copy of one sale (as a re-queue without its retire would make), and a retired one
  // of the job card, which does not count.
  const long long saleId = scalar(central(), "SELECT max(InvID) + 1 FROM tblSales");
  central().execute(
      "INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, CCID, Party) SELECT " + std::to_string(saleId) +
      ", InvNo, InvDate, VchTypeID, CCID, 'copy' FROM tblSales WHERE InvID = " + std::to_string(twice.central));
  const long long jobId = scalar(central(), "SELECT max(JobCardID) + 1 FROM tblJobcard");
  central().execute("INSERT INTO tblJobcard (JobCardID, JobCardNo, JobCardDate, VchTypeID, CCID, Party) SELECT " +
                    std::to_string(jobId) +
                    ", JobCardNo, JobCardDate, VchTypeID, CCID, '#DELETEDFROMBRANCH#' FROM tblJobcard WHERE "
                    "JobCardID = " +
                    std::to_string(job.central));
  // A sale deleted at the branch whose deletion never reached head office.
  branch().execute("DELETE FROM tblSalesItem WHERE InvID = " + std::to_string(onlyCentral.id));
  branch().execute("DELETE FROM tblSales WHERE InvID = " + std::to_string(onlyCentral.id));
  auto o = VerifyDay(ctx);
  EXPECT_EQ(findings(o), (std::vector<std::string>{"tblSales " + gone.number + " missing at head office",
                                                   "tblSales " + twice.number + " twice at head office",
                                                   "tblSales " + onlyCentral.number + " only at head office"}));
}

TEST_F(Verify, AnotherBranchsVouchersAndWaitingOnesAreToldApart) {
  enterAndUpload();
  for (const char* t : {"tblSales", "tblJobCard", "tblNotes", "tblOrder", "tblStockJournal"})
    otherBranchCopyOf(t, voucher(t));
  const auto sale = voucher("tblSales", 3);
  branch().execute("UPDATE tblSales SET SyncStat = 0 WHERE InvID = " + std::to_string(sale.id));
  auto o = VerifyDay(ctx);
  ASSERT_EQ(o.differences.size(), 1u);
  EXPECT_EQ(o.differences[0].finding, Finding::Waiting);
  EXPECT_EQ(o.differences[0].number, sale.number);
}

TEST_F(Verify, AnUnreachableSideIsAFailureNotACleanDay) {
  enterAndUpload();
  ctx.WebConnection->close();
  auto o = VerifyDay(ctx);
  EXPECT_TRUE(o.failed);
  EXPECT_EQ(notices().size(), 1u);
}

}  // namespace
}  // namespace erpsync

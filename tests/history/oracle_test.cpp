// The voucher oracle on its own: every case starts from a branch whose vouchers head office holds
// exactly (copied over here by plain SQL, not by the synchroniser), plants one kind of damage by hand
// and expects the oracle to name it, or, for the differences the ERP does not count, to stay quiet.
#include "oracle.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include "db/sql_quote.h"
#include "pair_fixture.h"
#include "simulator.h"

namespace erpsync {
namespace {

namespace oracle = testbed::oracle;

std::string joined(const std::vector<oracle::Finding>& v) {
  std::string s;
  for (const auto& l : oracle::lines(v)) s += l + "\n";
  return s;
}

bool mentions(const std::vector<oracle::Finding>& v, const std::string& rule, const std::string& what) {
  for (const auto& f : v)
    if (f.rule == rule && f.text.find(what) != std::string::npos) return true;
  return false;
}

std::string literal(const db::Value& v) {
  if (v.isNull()) return "NULL";
  if (v.isDateTime()) return db::sqlQuote(v.toDateTime()->iso());
  if (v.isText()) return db::sqlQuote(v.toString());
  return v.toString();
}

const oracle::Family& family(const std::string& header) {
  for (const auto& f : oracle::families())
    if (f.header == header) return f;
  throw std::out_of_range(header);
}

class Oracle : public test::SyncPairFixture {
 protected:
  Oracle() {
    testbed::BranchErp erp(branch(), 2, 11);
    const db::DateTime at{today.year, today.month, today.day, 10, 30};
    for (auto f : testbed::kVoucherFamilies)
      for (int i = 0; i < 2; ++i) {
        const auto v = erp.enter(f, at);
        sale = f == testbed::VoucherFamily::Sales ? v.id : sale;
        publish(testbed::headerTable(f), v.id);
      }
  }

  // Copies a branch voucher to head office under a new central number, as an upload would leave it,
  // and marks the branch voucher with that number (unless mark is false). Returns the number.
  long long publish(const std::string& header, long long id, bool mark = true) {
    const oracle::Family& f = family(header);
    const long long key = scalar(central(), "SELECT isnull(max(" + f.key + "),0) + 1 FROM " + f.header);
    copyRows(f.header, f, id, key, true);
    if (!f.lines.empty()) copyRows(f.lines, f, id, key, false);
    if (mark)
      branch().execute(fmt::format("UPDATE {} SET SyncStat = 1, ServInvID = {} WHERE {} = {}", f.header, key, f.key,
                                   id));
    return key;
  }
  void copyRows(const std::string& table, const oracle::Family& f, long long id, long long key, bool header) {
    const auto rows = branch().query(fmt::format("SELECT * FROM {} WHERE {} = {}", table, f.key, id));
    const auto theirs = central().query("SELECT * FROM " + table + " WHERE 1=0");
    for (std::size_t r = 0; r < rows.size(); ++r) {
      std::string cols, vals;
      for (std::size_t c = 0; c < rows.fields.size(); ++c) {
        const std::string& n = rows.fields[c].name;
        if (theirs.fieldIndex(n) < 0) continue;
        if (header && (text::iequals(n, f.identity) || text::iequals(n, "SyncStat") || text::iequals(n, "ServInvID")))
          continue;
        cols += (cols.empty() ? "" : ", ") + n;
        vals += (vals.empty() ? "" : ", ") + (text::iequals(n, f.key) ? std::to_string(key) : literal(rows.at(r, c)));
      }
      central().execute("INSERT INTO " + table + " (" + cols + ") VALUES (" + vals + ")");
    }
  }
  long long copyOf(const std::string& header, long long id) {
    const auto& f = family(header);
    return scalar(branch(), fmt::format("SELECT ServInvID FROM {} WHERE {} = {}", f.header, f.key, id));
  }

  std::vector<oracle::Finding> strong(std::set<oracle::CopyRef> allowed = {}) {
    oracle::Options o;
    o.allowedOrphans = std::move(allowed);
    return oracle::check(branch(), central(), o);
  }
  std::vector<oracle::Finding> weak(bool dangle = false) {
    oracle::Options o;
    o.strong = false;
    o.marksMayDangle = dangle;
    return oracle::check(branch(), central(), o);
  }

  long long sale = 0;  // the branch's second sale
};

TEST_F(Oracle, ExactCopiesOfEveryFamilyPassBothModes) {
  EXPECT_EQ(joined(strong()), "");
  EXPECT_EQ(joined(weak()), "");
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblNotes WHERE CCID = 2"), 2);
}

TEST_F(Oracle, AMissingCopyIsReportedAndItsMarkDanglesUnlessAllowed) {
  const long long copy = copyOf("tblSales", sale);
  central().execute(fmt::format("DELETE FROM tblSalesItem WHERE InvID = {}", copy));
  central().execute(fmt::format("DELETE FROM tblSales WHERE InvID = {}", copy));
  auto found = strong();
  EXPECT_TRUE(mentions(found, "one-copy", fmt::format("tblSales {} (S-{}", sale, sale))) << joined(found);
  EXPECT_TRUE(mentions(found, "one-copy", "has no live copy")) << joined(found);
  found = weak();
  EXPECT_TRUE(mentions(found, "marks", "which head office does not hold")) << joined(found);
  EXPECT_EQ(joined(weak(true)), "") << "a copy head office removed on purpose";

  // Retired is not live: a copy that only carries the deletion mark does not count either.
  publish("tblSales", sale);
  central().execute(fmt::format("UPDATE tblSales SET Party = '{}' WHERE InvID = {}", oracle::kRetired,
                                copyOf("tblSales", sale)));
  EXPECT_TRUE(mentions(strong(), "one-copy", "has no live copy"));
}

TEST_F(Oracle, TwoLiveCopiesAreReportedAndARetiredOneIsNot) {
  const long long first = copyOf("tblOrder", 1);
  const long long second = publish("tblOrder", 1, false);
  auto found = strong();
  EXPECT_TRUE(mentions(found, "one-copy", fmt::format("2 live copies at head office ({}, {})", first, second)))
      << joined(found);
  found = weak();
  EXPECT_TRUE(mentions(found, "at-most-one", "is live at head office 2 times")) << joined(found);

  central().execute(fmt::format("UPDATE tblOrder SET Party = '{}' WHERE InvID = {}", oracle::kRetired, second));
  EXPECT_EQ(joined(strong()), "");
  EXPECT_EQ(joined(weak()), "");
}

TEST_F(Oracle, AHeaderColumnThatDiffersIsNamedOnlyWhenStrong) {
  central().execute(fmt::format("UPDATE tblJobcard SET Complaint = 'Changed' WHERE JobCardID = {}",
                                copyOf("tblJobcard", 2)));
  auto found = strong();
  EXPECT_TRUE(mentions(found, "one-copy", "Complaint")) << joined(found);
  EXPECT_TRUE(mentions(found, "one-copy", "\"Changed\" at head office")) << joined(found);
  EXPECT_EQ(joined(weak()), "") << "right after a fault a copy may still be the one sent before an edit";

  // The lock the branch keeps for itself is no content.
  central().execute("UPDATE tblJobcard SET Complaint = 'Customer''s unit does not start', LockMode = 1");
  EXPECT_EQ(joined(strong()), "");
}

TEST_F(Oracle, OneLineThatDiffersIsReported) {
  const long long copy = copyOf("tblStockJournal", 1);
  central().execute(
      fmt::format("UPDATE tblStockJournalDetail SET MRP = MRP + 1 WHERE InvID = {} AND slno = 1", copy));
  auto found = strong();
  EXPECT_TRUE(mentions(found, "one-copy", "the lines of head-office copy")) << joined(found);
  EXPECT_TRUE(mentions(found, "one-copy", "only at the branch: slno=100|")) << joined(found);

  // Put back, the lines agree again; one more line at head office does not.
  central().execute(fmt::format("UPDATE tblStockJournalDetail SET MRP = MRP - 1 WHERE InvID = {}", copy));
  EXPECT_EQ(joined(strong()), "");
  central().execute(fmt::format("INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty) VALUES (9, {}, 1, 1)",
                                copyOf("tblSales", sale)));
  found = strong();
  EXPECT_TRUE(mentions(found, "one-copy", "lines at the branch")) << joined(found);
  EXPECT_TRUE(mentions(found, "one-copy", "only at head office: SlNo=900|")) << joined(found);
}

TEST_F(Oracle, AnOrphanLiveCopyIsReportedUnlessAllowedOrRetired) {
  const long long copy = copyOf("tblSales", sale);
  testbed::BranchErp erp(branch(), 2, 3);
  erp.remove(testbed::VoucherFamily::Sales, sale);
  auto found = strong();
  EXPECT_TRUE(mentions(found, "no-orphan", fmt::format("head-office tblSales {} (S-{}", copy, sale))) << joined(found);
  EXPECT_EQ(joined(weak()), "") << "the deletion may not have gone up yet";
  EXPECT_EQ(joined(strong({{"tblSales", copy}})), "") << "left behind on purpose";
  central().execute(fmt::format("UPDATE tblSales SET Party = '{}' WHERE InvID = {}", oracle::kRetired, copy));
  EXPECT_EQ(joined(strong()), "");
  // A note's deletion mark is in its narration.
  const long long note = copyOf("tblNotes", 1);
  erp.remove(testbed::VoucherFamily::Note, 1);
  EXPECT_TRUE(mentions(strong(), "no-orphan", "tblNotes"));
  central().execute(fmt::format("UPDATE tblNotes SET Narration = '{}' WHERE VchID = {}", oracle::kRetired, note));
  EXPECT_EQ(joined(strong()), "");
}

TEST_F(Oracle, OtherBranchesAndVouchersThatStayAreIgnored) {
  // Another cost centre's sale at head office without any voucher here, and one at this branch.
  central().execute(
      "INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, CCID, Party) VALUES (9001, 'X-1', '2026-12-01', 301, "
      "3, 'Elsewhere')");
  central().execute("INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty) VALUES (1, 9001, 1, 1)");
  branch().execute(
      "INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, CCID, Party) VALUES (9002, 'X-2', '2026-12-01', 301, "
      "3, 'Elsewhere')");
  // An opening stock journal of this branch (type 1005) stays at the branch.
  branch().execute(
      "INSERT INTO tblStockJournal (VchID, InvId, InvNo, InvDate, VchTypeid, CCID) VALUES (9003, 9003, 'OP-2', "
      "'2026-12-01', 1005, 2)");
  EXPECT_EQ(joined(strong()), "");
  // A type of the branch that is not meant to go up (a parent outside the families) stays too.
  branch().execute(
      "INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, CCID, Party) VALUES (9004, 'PU-1', '2026-12-01', 2, "
      "2, 'Supplier')");
  EXPECT_EQ(joined(strong()), "");
  // A quotation (parent 45) goes up like any other voucher.
  branch().execute(
      "INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, CCID, Party) VALUES (9005, 'Q-1', '2026-12-01', 208, "
      "2, 'Walk-in')");
  EXPECT_TRUE(mentions(strong(), "one-copy", "tblSales 9005 (Q-1"));
}

TEST_F(Oracle, NullBlankAndZeroCompareEqualAsTheErpSavesThem) {
  const long long copy = copyOf("tblSales", sale);
  branch().execute(fmt::format("UPDATE tblSales SET UserNarration = '', RoundOff = 0, PartyAddress = NULL, "
                               "CustomField1 = 'abc' WHERE InvID = {}",
                               sale));
  central().execute(fmt::format("UPDATE tblSales SET UserNarration = NULL, RoundOff = NULL, PartyAddress = '  ', "
                                "CustomField1 = 'abc   ', BillAmt = BillAmt + 0.001 WHERE InvID = {}",
                                copy));
  central().execute(fmt::format("UPDATE tblSalesItem SET Discount = NULL, ItemRemarks = '' WHERE InvID = {}", copy));
  EXPECT_EQ(joined(strong()), "");

  central().execute(fmt::format("UPDATE tblSales SET BillAmt = BillAmt + 0.02 WHERE InvID = {}", copy));
  EXPECT_TRUE(mentions(strong(), "one-copy", "BillAmt"));
}

TEST_F(Oracle, HalfVouchersAreReportedInBothModes) {
  const long long copy = copyOf("tblOrder", 2);
  central().execute(fmt::format("DELETE FROM tblOrder WHERE InvID = {}", copy));
  for (const auto& found : {strong(), weak(true)})
    EXPECT_TRUE(mentions(found, "no-half", fmt::format("tblOrderItem rows of tblOrder {}, which it does not hold",
                                                       copy)))
        << joined(found);

  const long long job = copyOf("tblJobcard", 1);
  central().execute(fmt::format("DELETE FROM tblJobCardDetail WHERE JobCardID = {}", job));
  for (const auto& found : {strong(), weak(true)})
    EXPECT_TRUE(mentions(found, "no-half", fmt::format("head-office tblJobcard {} (C-1", job))) << joined(found);
}

TEST_F(Oracle, MarksMustNameTheVouchersOwnCopy) {
  const long long other = copyOf("tblNotes", 2);
  branch().execute(fmt::format("UPDATE tblNotes SET ServInvID = {} WHERE VchID = 1", other));
  auto found = weak();
  EXPECT_TRUE(mentions(found, "marks", "which is another voucher")) << joined(found);
  EXPECT_TRUE(mentions(found, "marks", "which tblNotes 1 (")) << joined(found);
  EXPECT_TRUE(mentions(strong(), "marks", "tblNotes 1 ("));

  // Queued and already at head office (the mark comes with the next pass): fine until the recovery.
  branch().execute("UPDATE tblNotes SET SyncStat = 0, ServInvID = NULL");
  EXPECT_EQ(joined(weak()), "");
  found = strong();
  EXPECT_TRUE(mentions(found, "marks", "is marked not sent with head-office number none")) << joined(found);

  // A number another cost centre's voucher holds.
  central().execute(
      "INSERT INTO tblOrder (InvID, InvNo, InvDate, VchTypeID, CCID) VALUES (500, 'HO-1', '2026-12-01', 14, 1)");
  branch().execute("UPDATE tblOrder SET ServInvID = 500 WHERE InvID = 1");
  EXPECT_TRUE(mentions(weak(), "marks", "(HO-1 of cost centre 1)"));
}

TEST(OracleValues, TheErpsBlanksAndNumbersCompareAlike) {
  EXPECT_EQ(oracle::comparable(db::Value()), "");
  EXPECT_EQ(oracle::comparable(db::Value("")), "");
  EXPECT_EQ(oracle::comparable(db::Value("   ")), "");
  EXPECT_EQ(oracle::comparable(db::Value(0)), "");
  EXPECT_EQ(oracle::comparable(db::Value(db::Decimal{"0.00"})), "");
  EXPECT_EQ(oracle::comparable(db::Value("0.00")), "");
  EXPECT_EQ(oracle::comparable(db::Value(12.5)), oracle::comparable(db::Value(db::Decimal{"12.50"})));
  EXPECT_EQ(oracle::comparable(db::Value(12.501)), oracle::comparable(db::Value(12.5)));
  EXPECT_NE(oracle::comparable(db::Value(12.51)), oracle::comparable(db::Value(12.5)));
  EXPECT_EQ(oracle::comparable(db::Value("abc  ")), "abc");
  EXPECT_NE(oracle::comparable(db::Value(" abc")), "abc") << "leading blanks are kept";
  EXPECT_EQ(oracle::comparable(db::Value(db::DateTime{2026, 12, 9})), "2026-12-09 00:00:00.000");
}

}  // namespace
}  // namespace erpsync

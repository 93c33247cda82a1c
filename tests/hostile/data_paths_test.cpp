// Hostile texts in the data the synchroniser moves: branch vouchers on their way up, head-office
// masters on their way down (change by change and by whole-table migration), head-office stock at
// day start. Every text arrives byte for byte, no payload runs (the canary table lives on both sides),
// and a text too long for the receiving column is refused without half a voucher arriving.
#include <gtest/gtest.h>

#include "daycycle/day_start.h"
#include "app/daycycle_view.h"
#include "db/recordset.h"
#include "db/sql_quote.h"
#include "hostile_texts.h"
#include "pair_fixture.h"
#include "shared/erp_settings.h"
#include "simulator.h"
#include "app/sync_view.h"
#include "sync/download_masters.h"
#include "sync/upload_transactions.h"

namespace erpsync {
namespace {

using test::hostileTexts;
using test::textOfLength;

std::string lit(const std::string& s) {
  return "N" + db::sqlQuote(s);
}

class HostileData : public test::SyncPairFixture {
 protected:
  HostileData() {
    host.setStrict(false);
    test::createCanary(branch());
    test::createCanary(central());
  }
  ~HostileData() override {
    EXPECT_TRUE(test::canaryAlive(branch()));
    EXPECT_TRUE(test::canaryAlive(central()));
  }

  // Enters `sales` branch sales vouchers (nothing else) and returns their numbers in order.
  std::vector<long long> enterSales(int sales) {
    testbed::SimulationOptions o;
    o.sales = sales;
    o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = 0;
    o.masterChanges = o.boardRates = 0;
    o.date = today;
    testbed::simulateErpActivity(&branch(), nullptr, o);
    std::vector<long long> ids;
    auto rs = branch().query("SELECT InvID FROM tblSales ORDER BY InvID");
    for (std::size_t r = 0; r < rs.size(); ++r) ids.push_back(rs.at(r, 0).toInt());
    return ids;
  }

  sync::UploadOutcome uploadUntilQuiet() {
    ageBranchChanges(3);
    sync::UploadOutcome total;
    for (int i = 0; i < 6; ++i) {
      auto o = sync::uploadTransactions(ctx, false);
      total.uploaded += o.uploaded;
      total.alreadyCentral += o.alreadyCentral;
      total.failed += o.failed;
      if (o.uploaded + o.alreadyCentral + o.deletesMarked == 0 && !o.busy) break;
    }
    return total;
  }

  // A value's bytes as stored. A copy holds a blank where the sender has no text and 0 where it has no
  // number, as the ERP expects: a missing value reads as that (a missing date stays missing).
  static std::string text(const db::Recordset& rs, std::size_t r, std::size_t f) {
    const db::Value& v = rs.at(r, f);
    if (!v.isNull()) return v.toString();
    const int type = rs.fields[f].type;
    return db::isTextType(type) ? " " : db::isDateType(type) ? "<null>" : "0";
  }

  // The selected columns of every row, in order.
  static std::vector<std::string> values(db::Connection& c, const std::string& sql) {
    std::vector<std::string> out;
    auto rs = c.query(sql);
    for (std::size_t r = 0; r < rs.size(); ++r)
      for (std::size_t f = 0; f < rs.fields.size(); ++f) out.push_back(text(rs, r, f));
    return out;
  }

  static std::string all(db::Connection& c, const std::string& table, const std::string& key) {
    std::string out;
    auto rs = c.query("SELECT * FROM " + table + " ORDER BY " + key);
    for (std::size_t r = 0; r < rs.size(); ++r) {
      for (std::size_t f = 0; f < rs.fields.size(); ++f) out += text(rs, r, f) + "|";
      out += "\n";
    }
    return out;
  }

  // Head-office masters carrying every hostile text: renamed items, new ledgers, and names exactly as
  // long as their columns.
  void hostileMasters() {
    const auto& texts = hostileTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const std::string& t = texts[i].text;
      central().execute(
          "INSERT INTO tblLedger (LID, LName, LAliasName, Address, Phone, TaxRegNo, ActiveStatus) "
          "VALUES (" +
          std::to_string(600 + i) + ", " + lit(t) + ", " + lit(t + t) + ", " + lit(t) + ", " + lit(t) + ", " + lit(t) +
          ", 1)");
    }
    for (int item = 1; item <= 8; ++item) {
      const std::string& t = texts[static_cast<std::size_t>(item) % texts.size()].text;
      central().execute("UPDATE tblItemMaster SET ItemCode = " + lit(t) + ", ItemName = " + lit(t) +
                        ", Description = " + lit(t) + ", Rack = " + lit(t) + " WHERE ItemID = " + std::to_string(item));
    }
    central().execute("UPDATE tblLedger SET LName = " + lit(textOfLength(200)) +
                      ", Address = " + lit(textOfLength(500)) + " WHERE LID = 1");
  }
};

TEST_F(HostileData, VoucherTextsArriveAtHeadOfficeByteForByteAndAreRecognisedOnTheWayBack) {
  const auto& texts = hostileTexts();
  const auto ids = enterSales(static_cast<int>(texts.size()) + 1);
  ASSERT_EQ(ids.size(), texts.size() + 1);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string& t = texts[i].text;
    const std::string id = std::to_string(ids[i]);
    // The number is the receipt check's natural key: a hostile one must still find its copy.
    branch().execute("UPDATE tblSales SET InvNo = " + lit(t) + ", RefNo = " + lit(t) + ", Party = " + lit(t) +
                     ", PartyAddress = " + lit(t) + ", UserNarration = " + lit(t) + ", CustomField1 = " + lit(t) +
                     ", UserName = " + lit(t) + ", ComputerName = " + lit(t) + " WHERE InvID = " + id);
    branch().execute("UPDATE tblSalesItem SET BatchCode = " + lit(t) + ", ItemRemarks = " + lit(t + t) +
                     " WHERE InvID = " + id);
  }
  // Texts exactly as long as their columns, ending with a character outside the BMP.
  branch().execute("UPDATE tblSales SET InvNo = " + lit(textOfLength(50)) + ", Party = " + lit(textOfLength(200)) +
                   ", PartyAddress = " + lit(textOfLength(500)) + ", UserNarration = " + lit(textOfLength(500)) +
                   " WHERE InvID = " + std::to_string(ids.back()));

  auto out = uploadUntilQuiet();
  EXPECT_EQ(out.failed, 0);
  EXPECT_EQ(out.uploaded, static_cast<int>(ids.size()));
  const std::string header =
      "SELECT InvNo, RefNo, Party, PartyAddress, UserNarration, CustomField1, UserName, "
      "ComputerName FROM tblSales WHERE InvID = ";
  const std::string lines = "SELECT SlNo, BatchCode, ItemRemarks, Qty FROM tblSalesItem WHERE InvID = ";
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const auto mark =
        values(branch(), "SELECT SyncStat, ServInvID FROM tblSales WHERE InvID = " + std::to_string(ids[i]));
    ASSERT_EQ(mark.size(), 2u);
    EXPECT_EQ(mark[0], "1") << i;
    const std::string copy = mark[1];
    const auto mine = values(branch(), header + std::to_string(ids[i]));
    EXPECT_EQ(values(central(), header + copy), mine) << (i < texts.size() ? texts[i].what : "long");
    if (i < texts.size()) {
      EXPECT_EQ(mine[2], texts[i].text);
    }
    EXPECT_EQ(values(central(), lines + copy + " ORDER BY SlNo"),
              values(branch(), lines + std::to_string(ids[i]) + " ORDER BY SlNo"));
  }
  const long long copies = scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2");
  EXPECT_EQ(copies, static_cast<long long>(ids.size()));

  // Marks lost after head office committed: the next pass finds every copy by its hostile number and
  // only marks it.
  branch().execute("UPDATE tblSales SET SyncStat = 0, ServInvID = NULL");
  ctx.MaxActivityIDTrans = 0;
  auto again = uploadUntilQuiet();
  EXPECT_EQ(again.uploaded, 0);
  EXPECT_EQ(again.alreadyCentral, static_cast<int>(ids.size()));
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), copies);
}

TEST_F(HostileData, AVoucherTextLongerThanHeadOfficesColumnIsRefusedWhole) {
  const auto ids = enterSales(2);
  ASSERT_EQ(ids.size(), 2u);
  central().execute("ALTER TABLE tblSales ALTER COLUMN CustomField1 varchar(10) NULL");
  branch().execute("UPDATE tblSales SET CustomField1 = " + lit("eleven 😀 ch") +
                   " WHERE InvID = " + std::to_string(ids[0]));
  branch().execute("UPDATE tblSales SET CustomField1 = " + lit("ten 😀 char") +
                   " WHERE InvID = " + std::to_string(ids[1]));
  ageBranchChanges(3);
  auto out = sync::uploadTransactions(ctx, false);
  EXPECT_EQ(out.failed, 1);
  EXPECT_EQ(out.uploaded, 1);
  // The refused voucher waits, unmarked, and head office holds neither its header nor its lines.
  EXPECT_EQ(scalar(branch(), "SELECT SyncStat FROM tblSales WHERE InvID = " + std::to_string(ids[0])), 0);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 1);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CustomField1 = " + lit("ten 😀 char")), 1);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSalesItem WHERE InvID NOT IN (SELECT InvID FROM tblSales)"), 0);
  bool told = false;
  for (const auto& n : notices()) told |= n.find("would be truncated") != std::string::npos;
  EXPECT_TRUE(told);
}

TEST_F(HostileData, MasterTextsReachTheBranchByteForByte) {
  hostileMasters();
  auto out = sync::downloadMasters(ctx);
  EXPECT_TRUE(out.completed);
  EXPECT_EQ(all(branch(), "tblLedger WHERE LID >= 600 OR LID = 1", "LID"),
            all(central(), "tblLedger WHERE LID >= 600 OR LID = 1", "LID"));
  EXPECT_EQ(all(branch(), "tblItemMaster", "ItemID"), all(central(), "tblItemMaster", "ItemID"));
  EXPECT_EQ(values(branch(), "SELECT LName FROM tblLedger WHERE LID = 602")[0], hostileTexts()[2].text);
}

TEST_F(HostileData, MigrationCopiesHostileMastersRowByRowAndInBulk) {
  hostileMasters();
  ConfigureLinkedServer(ctx, ctx.SyncServerName);
  for (bool bulk : {false, true}) {
    branch().execute("UPDATE tblLedger SET LName = 'stale'");
    form.chkBulkInsert.setValue(bulk ? 1 : 0);
    onMasterList(ctx);
    auto& list = form.lstMasterSettings;
    for (int i = 0; i < list.listCount(); ++i) {
      const std::string& text = list.items()[static_cast<std::size_t>(i)].text;
      list.setSelected(i, text.rfind("Ledger ", 0) == 0 || text.rfind("ItemMaster ", 0) == 0);
    }
    auto out = onMasterSynchronisation(ctx);
    EXPECT_TRUE(out.failed.empty()) << bulk;
    EXPECT_EQ(all(branch(), "tblLedger WHERE LID >= 600 OR LID = 1", "LID"),
              all(central(), "tblLedger WHERE LID >= 600 OR LID = 1", "LID"))
        << bulk;
    EXPECT_EQ(all(branch(), "tblItemMaster", "ItemID"), all(central(), "tblItemMaster", "ItemID")) << bulk;
  }
}

TEST_F(HostileData, DayStartBringsHostileBatchCodesInUnchanged) {
  const auto& texts = hostileTexts();
  auto rs = central().query("SELECT StockID FROM tblStock WHERE CCID = 2 ORDER BY StockID");
  ASSERT_GE(rs.size(), 2u);
  std::vector<std::string> wanted;
  for (std::size_t r = 0; r < rs.size() && r < texts.size(); ++r) {
    // Batch codes are kept without surrounding blanks by the ERP; these have none.
    const std::string& t = texts[r].text;
    central().execute("UPDATE tblStock SET BatchCode = " + lit(t) + ", BatchUnique = " + lit(t) +
                      " WHERE StockID = " + rs.at(r, 0).toString());
    wanted.push_back(t);
  }
  EXPECT_TRUE(LoadErpSettings(ctx.LocalConnection.get(), ctx.erpSettings));
  host.expectBox(Answer::Yes, "DAY START");
  auto o = onDayStart(ctx);
  ASSERT_TRUE(o.completed);
  const std::string codes =
      "SELECT ItemID, BatchCode, BatchUnique FROM tblStock WHERE CCID = 2 ORDER BY "
      "ItemID, BatchUnique";
  EXPECT_EQ(values(branch(), codes), values(central(), codes));
  for (const auto& t : wanted)
    EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblStockJournalDetail WHERE BatchCode = " + lit(t)), 1) << t;
}

}  // namespace
}  // namespace erpsync

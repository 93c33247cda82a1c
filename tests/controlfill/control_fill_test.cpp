#include "shared/control_fill.h"

#include <gtest/gtest.h>

#include "form/controls.h"
#include "form/progress_form.h"
#include "fake_connection.h"
#include "scripted_host.h"

namespace erpsync::db {
namespace {

using test::FakeConnection;
using test::recordset;
using test::ScriptedHost;

const char* const kVchTypeSql =
    "SELECT   VchTypeID, VchType From tblVchType WHERE  PrimaryCCIDS='3' AND BLNUseForClientSync=1 Order by VchType ";

Recordset vchTypes() {
  return recordset({"VchTypeID", "VchType"}, {{3, "Sales"}, {5, "Receipt"}, {7, "Stock Journal"}});
}

TEST(FillControl, ListTakesTextFromSecondColumnAndItemDataFromFirst) {
  FakeConnection db;
  db.onQuery = [](const std::string&) { return vchTypes(); };
  ScriptedHost host;
  form::ListBox single("lstTransfer");
  int clicks = 0;
  single.onClick = [&] { ++clicks; };
  single.addItem("stale", 1);
  FillControl(single, kVchTypeSql, false, false, &db, host);
  EXPECT_EQ(db.statements, std::vector<std::string>{kVchTypeSql});
  ASSERT_EQ(single.listCount(), 3);
  EXPECT_EQ(single.items()[1], (form::ListItem{"Receipt", 5, false}));
  EXPECT_TRUE(single.selected(0));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(host.doEventsCount, 3);

  // A multi-select list gets its list index only: no voucher type is chosen behind the operator's back.
  form::ListBox multi("lstVchtypes", true);
  FillControl(multi, kVchTypeSql, false, false, &db, host);
  EXPECT_EQ(multi.listCount(), 3);
  EXPECT_EQ(multi.selectedCount(), 0);
  EXPECT_EQ(multi.listIndex(), 0);

  form::ComboBox combo("cboInterimTransferVchtype");
  FillControl(combo, kVchTypeSql, false, false, &db, host);
  EXPECT_EQ(combo.listIndex(), 0);
  EXPECT_EQ(combo.text(), "Sales");
  EXPECT_EQ(combo.itemData(2), 7);
}

TEST(FillControl, AppendKeepsEarlierItemsAndEmptyResultSelectsNothing) {
  FakeConnection db;
  ScriptedHost host;
  form::ListBox list("lst");
  list.addItem("Earlier", 1);
  db.onQuery = [](const std::string&) { return vchTypes(); };
  FillControl(list, "q", false, true, &db, host);
  ASSERT_EQ(list.listCount(), 4);
  EXPECT_EQ(list.items()[0].text, "Earlier");
  EXPECT_EQ(list.items()[3].text, "Stock Journal");

  db.onQuery = [](const std::string&) { return recordset({"VchTypeID", "VchType"}, {}); };
  FillControl(list, "q", false, false, &db, host);
  EXPECT_EQ(list.listCount(), 0);
  EXPECT_EQ(list.listIndex(), -1);
  EXPECT_EQ(list.selectedCount(), 0);
}

TEST(FillControl, GridHasTrimmedHeaderNullMarkersAndOneEmptyLastRow) {
  FakeConnection db;
  ScriptedHost host;
  form::Grid grid("msgCompare");
  grid.setFormatString("a|b|c|d|e|f");
  grid.addItem("old\trow");
  db.onQuery = [](const std::string&) {
    return recordset({" Date ", "Local", "Server"},
                     {{DateTime{2026, 3, 5}, std::int64_t{12}, Value{}}, {"06/Mar/2026", 2.5, Decimal{"3.50"}}});
  };
  FillControl(grid, "compare", false, false, &db, host);
  EXPECT_EQ(grid.cols(), 4);
  ASSERT_EQ(grid.rows(), 4);
  EXPECT_EQ(grid.row(0), (std::vector<std::string>{"Date", "Local", "Server", ""}));
  EXPECT_EQ(grid.row(1), (std::vector<std::string>{"2026-03-05 00:00:00.000", "12", "<NULL>", ""}));
  EXPECT_EQ(grid.row(2), (std::vector<std::string>{"06/Mar/2026", "2.5", "3.5", ""}));
  EXPECT_EQ(grid.row(3), (std::vector<std::string>{"", "", "", ""}));

  // Appending writes into the trailing empty row and keeps what was shown.
  FillControl(grid, "compare", false, true, &db, host);
  ASSERT_EQ(grid.rows(), 6);
  EXPECT_EQ(grid.text(1, 1), "12");
  EXPECT_EQ(grid.text(3, 1), "12");
  EXPECT_EQ(grid.text(5, 0), "");

  db.onQuery = [](const std::string&) { return recordset({"SlNo", "ItemCode"}, {}); };
  FillControl(grid, "items", false, false, &db, host);
  EXPECT_EQ(grid.cols(), 3);
  ASSERT_EQ(grid.rows(), 2);
  EXPECT_EQ(grid.row(0), (std::vector<std::string>{"SlNo", "ItemCode", ""}));
  EXPECT_EQ(grid.row(1), (std::vector<std::string>{"", "", ""}));
}

TEST(FillControl, TextBoxRunsNoQuery) {
  FakeConnection db;
  ScriptedHost host;
  form::TextBox txt("txtLog");
  FillControl(txt, "select 1", true, false, &db, host);
  EXPECT_TRUE(db.statements.empty());
}

TEST(FillControl, ProgressWindowCountsRowsWhileFilling) {
  FakeConnection db;
  db.onQuery = [](const std::string&) { return vchTypes(); };
  ScriptedHost host;
  form::ProgressForm progress;
  form::ListBox list("lstVchtypes", true);
  std::vector<int> seen;
  host.onDoEvents = [&] {
    EXPECT_TRUE(progress.visible());
    EXPECT_TRUE(host.busy);
    EXPECT_EQ(progress.lblCAption.caption(), "Loading 3 Items. Please wait....");
    EXPECT_EQ(progress.prg.max(), 3);
    seen.push_back(progress.prg.value());
  };
  FillControl(list, "q", true, false, &db, host, &progress);
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(progress.visible());
  EXPECT_FALSE(host.busy);
  EXPECT_EQ(progress.caption(), "Easy Progress");

  // No rows: the progress window is not shown at all.
  host.onDoEvents = nullptr;
  db.onQuery = [](const std::string&) { return recordset({"a", "b"}, {}); };
  bool shown = false;
  progress.subscribe([&] { shown = shown || progress.visible(); });
  FillControl(list, "q", true, false, &db, host, &progress);
  EXPECT_FALSE(shown);
}

TEST(FillControl, ConnectionFailureIsRetriedAFewTimesThenReported) {
  FakeConnection db;
  int calls = 0;
  int failuresLeft = 2;
  db.onQuery = [&](const std::string&) -> Recordset {
    ++calls;
    if (failuresLeft-- > 0)
      throw DbError("[DBNETLIB][ConnectionRead (recv()).]General network error. Connection failure");
    return vchTypes();
  };
  ScriptedHost host;
  host.expectBox(Answer::OK, "Connection Restablished").expectBox(Answer::OK, "Connection Restablished");
  form::ListBox list("lst");
  FillControl(list, "q", false, false, &db, host);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(list.listCount(), 3);
  EXPECT_EQ(host.boxes[0].icon, Icon::Information);

  // A connection that never comes back: bounded retries, then the normal error report.
  ScriptedHost host2;
  for (int i = 0; i < kConnectionFailureRetries; ++i) host2.expectBox(Answer::OK, "Connection Restablished");
  host2.expectBox(Answer::OK, "Connection failure");
  calls = 0;
  failuresLeft = 1000;
  list.setVisible(false);
  FillControl(list, "q", false, false, &db, host2);
  EXPECT_EQ(calls, kConnectionFailureRetries + 1);
  EXPECT_EQ(host2.boxes.back().icon, Icon::Critical);
  EXPECT_TRUE(list.visible());
  EXPECT_FALSE(host2.busy);
}

TEST(FillControl, OtherErrorsShowCriticalBoxAndKeepWhatWasFilled) {
  FakeConnection db;
  ScriptedHost host;
  form::Grid grid("msgInterimItems");
  grid.setVisible(false);
  db.onQuery = [](const std::string&) -> Recordset { throw DbError("Invalid object name 'tblPurchaseItem'."); };
  host.expectBox(Answer::OK, "Invalid object name 'tblPurchaseItem'.");
  FillControl(grid, "q", false, false, &db, host);
  EXPECT_EQ(host.boxes.back().icon, Icon::Critical);
  EXPECT_TRUE(grid.visible());

  // Closed (or never created) connection.
  host.expectBox(Answer::OK, "closed");
  FillControl(grid, "q", false, false, nullptr, host);

  // One column is not enough for a list.
  db.onQuery = [](const std::string&) { return recordset({"VchTypeID"}, {{3}}); };
  form::ListBox list("lst");
  host.expectBox(Answer::OK, "Item cannot be found");
  FillControl(list, "q", false, false, &db, host);
  EXPECT_EQ(list.listCount(), 0);
}

TEST(SelectByItemData, MatchesAbsoluteValuesFirstEntryWins) {
  form::ComboBox combo("cboCostCentre");
  combo.addItem("Main", 1);
  combo.addItem("Branch", -7);
  combo.addItem("Other", 7);
  EXPECT_TRUE(SelectByItemData(combo, 7));
  EXPECT_EQ(combo.listIndex(), 1);
  EXPECT_EQ(combo.text(), "Branch");
  form::ComboBox none("cboCostCentre");
  none.addItem("Main", 1);
  EXPECT_FALSE(SelectByItemData(none, 9));
  EXPECT_EQ(none.listIndex(), -1);

  form::ListBox list("lst");
  list.addItem("a", 4);
  list.addItem("b", 5);
  EXPECT_TRUE(SelectByItemData(list, -5));
  EXPECT_TRUE(list.selected(1));
  EXPECT_FALSE(SelectByItemData(list, 0));
}

TEST(ProgressForm, CloseButtonMarksClosedUnlessNoClose) {
  form::ProgressForm f;
  EXPECT_FALSE(f.visible());
  f.show();
  f.cmdClose.click();
  EXPECT_TRUE(f.closed);
  EXPECT_FALSE(f.visible());
  f.show();  // loading again clears the flag
  EXPECT_FALSE(f.closed);
  f.noClose = true;
  f.cmdClose.click();
  EXPECT_FALSE(f.closed);
  EXPECT_FALSE(f.visible());
  EXPECT_EQ(f.cmdClose.caption(), "X");
}

}  // namespace
}  // namespace erpsync::db

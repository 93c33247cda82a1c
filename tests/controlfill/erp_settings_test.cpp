#include "shared/erp_settings.h"

#include <gtest/gtest.h>

#include "fake_connection.h"
#include "scripted_host.h"

namespace erpsync::db {
namespace {

using test::FakeConnection;
using test::recordset;
using test::ScriptedHost;

Recordset appSettings(std::vector<std::pair<std::string, Value>> rows) {
  Recordset rs = recordset({"KeyName", "ValueName"}, {});
  for (auto& [k, v] : rows) rs.rows.push_back({Value(k), v});
  return rs;
}

TEST(LoadErpSettings, KeysMatchInAnyCaseWithTheirConversions) {
  FakeConnection db;
  db.onQuery = [](const std::string&) {
    return appSettings({{"blnbatchcode", "1"},
                        {"BLNEXPIRY", "True"},
                        {"BLNMultiBatchRates", "yes"},
                        {"BLNGODOWN", "1.0"},
                        {"blnheavydb", "true"},
                        {"HALVEXAMT", "2"},
                        {"HalvexQty", "0"},
                        {"DblCess", "12.5"},
                        {"BLNBILLWISE", "3"},
                        {"WelcomeNote", "  Welcome  "},
                        {"STRBATCODEPREFIXSUFFIX", "PR\xC6\x92SF"},
                        {"ReportPeriod", "1"},
                        {"SomethingElse", "1"},
                        {"INTSERIALNO", Value{}}});
  };
  ErpSettings s;
  s.INTSERIALNO = 9;
  s.BLNCOSTCENTRE = true;  // not in the table: keeps its value
  std::string error;
  ASSERT_TRUE(LoadErpSettings(&db, s, &error)) << error;
  EXPECT_EQ(db.statements, std::vector<std::string>{"select * from tblAppSettings "});
  EXPECT_TRUE(s.BLNBATCHCODE);
  EXPECT_FALSE(s.BLNEXPIRY);
  EXPECT_FALSE(s.BLNMultiBatchRates);
  EXPECT_TRUE(s.BLNGODOWN);
  EXPECT_TRUE(s.BLNHEAVYDB);
  EXPECT_EQ(s.HALVEXAMT, 2);
  EXPECT_EQ(s.AmountFormat, "#0.00");
  EXPECT_EQ(s.QtyFormat, "#0");
  EXPECT_DOUBLE_EQ(s.DblCess, 12.5);
  EXPECT_EQ(s.BLNBILLWISE, 3);
  EXPECT_EQ(s.WelcomeNote, "  Welcome  ");
  EXPECT_EQ(s.BatchCodePrefix, "PR");
  EXPECT_EQ(s.BatchCodeSuffix, "SF");
  EXPECT_EQ(s.INTSERIALNO, 0);
  EXPECT_TRUE(s.BLNCOSTCENTRE);
}

TEST(LoadErpSettings, BatchCodeWithoutSeparatorKeepsPrefixAndSuffix) {
  ErpSettings s;
  ApplyErpSetting(s, "STRBATCODEPREFIXSUFFIX", "A\x83Z");  // the ANSI form of the separator
  EXPECT_EQ(s.BatchCodePrefix, "A");
  EXPECT_EQ(s.BatchCodeSuffix, "Z");
  ApplyErpSetting(s, "STRBATCODEPREFIXSUFFIX", "NOSEP");
  EXPECT_EQ(s.BatchCodePrefix, "A");
  EXPECT_EQ(s.BatchCodeSuffix, "Z");
  EXPECT_EQ(s.STRBATCODEPREFIXSUFFIX, "NOSEP");
  EXPECT_FALSE(ApplyErpSetting(s, "UNKNOWN", "1"));
  EXPECT_TRUE(ApplyErpSetting(s, "barcodepattern", "1"));  // known, ignored
}

TEST(LoadErpSettings, FailureKeepsWhatWasLoadedAndDoesNotThrow) {
  FakeConnection db;
  db.onQuery = [](const std::string&) -> Recordset { throw DbError("Invalid object name 'tblAppSettings'."); };
  ErpSettings s;
  s.BLNBATCHCODE = true;
  std::string error;
  EXPECT_FALSE(LoadErpSettings(&db, s, &error));
  EXPECT_EQ(error, "Invalid object name 'tblAppSettings'.");
  EXPECT_TRUE(s.BLNBATCHCODE);
  EXPECT_FALSE(LoadErpSettings(nullptr, s));
}

TEST(AppSetting, WriteQuotesKeyAndValueAndInsertsWhenNoRowWasUpdated) {
  FakeConnection db;
  ScriptedHost host;
  db.onExecute = [](const std::string& sql) { return sql.rfind("update", 0) == 0 ? 0LL : 1LL; };
  EXPECT_EQ(AppSetting(&db, host, "Welcome'Note", true, "O'Brien's; drop table x--"), "");
  ASSERT_EQ(db.statements.size(), 2u);
  EXPECT_EQ(db.statements[0],
            "update tblAppSettings set valueName = 'O''Brien''s; drop table x--' where KeyName='Welcome''Note'");
  EXPECT_EQ(db.statements[1],
            "insert into tblAppSettings (KeyName,valueName) values('Welcome''Note','O''Brien''s; drop table x--')");

  db.statements.clear();
  db.onExecute = [](const std::string&) { return 1LL; };
  AppSetting(&db, host, "HALVEXAMT", true, "3");
  EXPECT_EQ(db.statements.size(), 1u);

  // A server that does not count rows: the key is looked up before anything is inserted.
  db.statements.clear();
  db.onExecute = [](const std::string&) { return -1LL; };
  db.onQuery = [](const std::string&) { return recordset({"n"}, {{1}}); };
  AppSetting(&db, host, "HALVEXAMT", true, "3");
  ASSERT_EQ(db.statements.size(), 2u);
  EXPECT_EQ(db.statements[1], "Select count(*) from tblAppSettings where KeyName='HALVEXAMT'");
}

TEST(AppSetting, ReadReturnsStoredValueOrTheDefault) {
  FakeConnection db;
  ScriptedHost host;
  db.onQuery = [](const std::string& sql) {
    if (sql.find("'HALVEXAMT'") != std::string::npos) return recordset({"valueName"}, {{"2"}});
    if (sql.find("'EMPTY'") != std::string::npos) return recordset({"valueName"}, {{Value{}}});
    return recordset({"valueName"}, {});
  };
  EXPECT_EQ(AppSetting(&db, host, "HALVEXAMT", false, "9"), "2");
  EXPECT_EQ(db.statements[0], "Select valueName from tblAppSettings where  KeyName='HALVEXAMT'");
  EXPECT_EQ(AppSetting(&db, host, "EMPTY", false, "dflt"), "dflt");
  EXPECT_EQ(AppSetting(&db, host, "ABSENT", false, "dflt"), "dflt");
}

TEST(AppSetting, MissingTableIsSilentOtherErrorsShowAWarning) {
  FakeConnection db;
  ScriptedHost host;
  db.onQuery = [](const std::string&) -> Recordset { throw DbError("Invalid object name 'tblAppSettings'."); };
  EXPECT_EQ(AppSetting(&db, host, "K", false, "dflt"), "");
  EXPECT_TRUE(host.boxes.empty());

  db.onQuery = [](const std::string&) -> Recordset { throw DbError("Timeout expired"); };
  host.expectBox(Answer::OK, "Timeout expired");
  EXPECT_EQ(AppSetting(&db, host, "K", false, "dflt"), "");
  EXPECT_EQ(host.boxes.back().icon, Icon::Exclamation);
}

TEST(ErpFormats, DecimalPlacesAndRounding) {
  EXPECT_EQ(decimalFormat(3), "#0.000");
  EXPECT_EQ(decimalFormat(0), "#0");
  EXPECT_EQ(formatWithPattern(2.345, "#0.00"), "2.35");
  EXPECT_EQ(formatWithPattern(2.5, "#0"), "3");
  EXPECT_EQ(formatWithPattern(-2.5, "#0"), "-3");
  EXPECT_EQ(formatWithPattern(-0.001, "#0.00"), "0.00");
  EXPECT_EQ(formatWithPattern(1234567.5, "#0.000"), "1234567.500");
  EXPECT_EQ(formatWithPattern(12.5, ""), "12.5");
}

}  // namespace
}  // namespace erpsync::db

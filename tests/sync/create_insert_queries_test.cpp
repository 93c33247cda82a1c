// The master row copy on a branch and a central embedded server.
#include "sync/create_insert_queries.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "db/embedded/fault_injection.h"
#include "pair_fixture.h"
#include "settings/daily_log.h"

namespace erpsync {
namespace {

class CopyRows : public test::PairFixture {
 protected:
  CopyRows() {
    for (auto* c : {&branch(), &central()})
      c->execute(
          "CREATE TABLE tblCopyProbe (ID int NOT NULL PRIMARY KEY, Name varchar(10) NULL, UName nvarchar(20) NULL, "
          "Active bit NULL, Amount numeric(18,2) NULL, Changed datetime NULL)");
    ctx.LogFolder = dir.path() / "log";
    std::filesystem::create_directories(ctx.LogFolder);
    workingDay.date = clock.now().dateOnly();
  }
  std::string logText() {
    std::ifstream in(settings::LogFilePath(ctx.LogFolder, workingDay.date), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  sync::CopyOutcome copy() { return sync::CreateInsertQueries(ctx, "tblCopyProbe", "", "", branch(), central()); }
};

TEST_F(CopyRows, EveryColumnArrivesAsTheCentralRowHoldsIt) {
  central().execute(
      "INSERT INTO tblCopyProbe VALUES (1, 'O''Neil', N'Çay ''özel''', 1, 1234567.89, '2026-12-05 14:05:33.997')");
  central().execute("INSERT INTO tblCopyProbe (ID) VALUES (2)");
  auto out = copy();
  EXPECT_TRUE(out.ok());
  EXPECT_EQ(out.inserted, 2);
  EXPECT_EQ(form.lblStatusMain.caption(), "Migrating tblCopyProbe");
  auto rs = branch().query("SELECT Name, UName, Active, Amount, Changed FROM tblCopyProbe ORDER BY ID");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(0, 0).toString(), "O'Neil");
  EXPECT_EQ(rs.at(0, 1).toString(), "Çay 'özel'");
  EXPECT_EQ(rs.at(0, 2).toInt(), 1);
  EXPECT_EQ(rs.at(0, 3).toString(), "1234567.89");
  EXPECT_EQ(rs.at(0, 4).toString(), "2026-12-05 14:05:33.997");
  // A central row without values: blank texts and zero numbers as the ERP expects, but no invented date.
  EXPECT_EQ(rs.at(1, 0).toString(), " ");
  EXPECT_EQ(rs.at(1, 2).toInt(), 0);
  EXPECT_TRUE(rs.at(1, 4).isNull());
  const std::string log = logText();
  EXPECT_NE(log.find("Insert Query\tInsert into tblCopyProbe (ID,Name,UName,Active,Amount,Changed) values (1,"),
            std::string::npos);
  EXPECT_NE(log.find("Insert Query\tUpdated Successfully"), std::string::npos);
}

TEST_F(CopyRows, DuplicateRowIsReportedAsFailedAndTheCopyGoesOn) {
  for (int id : {1, 2, 3})
    central().execute("INSERT INTO tblCopyProbe (ID, Name) VALUES (" + std::to_string(id) + ", 'c')");
  branch().execute("INSERT INTO tblCopyProbe (ID, Name) VALUES (2, 'branch')");
  host.expectBox(Answer::OK, "Failed to update tblCopyProbe");
  auto out = copy();
  EXPECT_EQ(out.inserted, 2);
  EXPECT_EQ(out.failed, 1);
  EXPECT_FALSE(out.stopped);
  EXPECT_EQ(notices().size(), 1u);
  EXPECT_NE(notices()[0].find("Cannot insert duplicate key"), std::string::npos);
  EXPECT_NE(notices()[0].find("CreateInsert QueriestblCopyProbe"), std::string::npos);
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblCopyProbe"), 3);
  EXPECT_EQ(rows(branch(), "SELECT Name FROM tblCopyProbe WHERE ID = 2").at(0, 0).toString(), "branch");
  // The duplicate is logged as failed, not as the earlier row's success.
  const std::string log = logText();
  EXPECT_NE(log.find("Insert Query\tFailed to update"), std::string::npos);
}

// A server that words its messages in another language still numbers a duplicate key 2627: that row
// is lost and the copy goes on, as with the English wording.
TEST_F(CopyRows, ADuplicateKeyIsKnownByItsNumberWhateverTheWording) {
  namespace faults = db::embedded::faults;
  for (int id : {1, 2, 3})
    central().execute("INSERT INTO tblCopyProbe (ID, Name) VALUES (" + std::to_string(id) + ", 'c')");
  std::string why;
  auto plan = faults::parse(
      "at=2;error=2627;match=Insert into tblCopyProbe;text=Verletzung der PRIMARY KEY-Einschraenkung 'PK_Probe'", &why);
  ASSERT_TRUE(plan) << why;
  faults::configure(*plan);
  host.expectBox(Answer::OK, "Failed to update tblCopyProbe");
  auto out = copy();
  faults::reset();
  EXPECT_FALSE(out.stopped);
  EXPECT_EQ(out.inserted, 2);
  EXPECT_EQ(out.failed, 1);
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblCopyProbe WHERE ID IN (1, 3)"), 2);
}

TEST_F(CopyRows, AnyOtherErrorStopsTheCopyAfterOneNotice) {
  central().execute("INSERT INTO tblCopyProbe (ID, Name) VALUES (1, 'short')");
  central().execute("ALTER TABLE tblCopyProbe ALTER COLUMN Name varchar(40) NULL");
  central().execute("INSERT INTO tblCopyProbe (ID, Name) VALUES (2, 'far too long for the branch column')");
  central().execute("INSERT INTO tblCopyProbe (ID, Name) VALUES (3, 'short')");
  auto out = copy();
  EXPECT_TRUE(out.stopped);
  EXPECT_EQ(out.inserted, 1);
  EXPECT_EQ(notices().size(), 1u);
  EXPECT_NE(notices()[0].find("truncated"), std::string::npos);
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblCopyProbe"), 1);
}

TEST_F(CopyRows, EmptySourceOrUnreadableSourceWritesNothing) {
  auto out = copy();
  EXPECT_TRUE(out.ok());
  EXPECT_EQ(out.inserted, 0);
  EXPECT_EQ(logText(), "");
  auto bad = sync::CreateInsertQueries(ctx, "tblCopyProbe", "", "Select * from tblNoSuchTable", branch(), central());
  EXPECT_TRUE(bad.stopped);
  ASSERT_EQ(notices().size(), 1u);
  EXPECT_NE(notices()[0].find("Invalid object name"), std::string::npos);
}

}  // namespace
}  // namespace erpsync

#include "settings/daily_log.h"

#include <gtest/gtest.h>

#include "settings/settings_files.h"
#include "test_support.h"

namespace erpsync::settings {
namespace {

namespace fs = std::filesystem;

TEST(DailyLog, FolderFromCompanyCodeMonthAndYear) {
  EXPECT_EQ(LogFolderFor("/prog", "BRANCH01", db::DateTime{2026, 12, 7}), fs::path("/prog/BRANC Dec 2026"));
  EXPECT_EQ(LogFolderFor("/prog", "BR", db::DateTime{2026, 3, 5}), fs::path("/prog/BR Mar 2026"));
}

TEST(DailyLog, TwoEntriesGiveExactBytesInTheWorkingDatesFile) {
  test::TempDir dir;
  fs::path folder = dir.path() / "BRANC Dec 2026";
  fs::create_directories(folder);
  // The working date (the date picker), not the clock, names the file.
  db::DateTime workingDate{2026, 3, 5};
  WriteLogEntry(folder, workingDate, db::DateTime{2026, 12, 7, 9, 5, 3}, "Day End", "first");
  WriteLogEntry(folder, workingDate, db::DateTime{2026, 12, 7, 21, 15, 59, 999}, "Insert Query",
                "insert into tblSales values('a')");
  fs::path file = folder / "05032026.txt";
  EXPECT_EQ(LogFilePath(folder, workingDate), file);
  const std::string sep = "*" + std::string(100, '=') + "*";
  EXPECT_EQ(test::readFile(file), "\r\n" + sep + "\r\n[07/12/2026 09:05:03]\tDay End\tfirst\r\n" + sep +
                                      "\r\n[07/12/2026 21:15:59]\tInsert Query\tinsert into tblSales values('a')");
}

TEST(DailyLog, NothingIsWrittenWithoutALogFolder) {
  test::TempDir dir;
  auto before = fs::current_path();
  fs::current_path(dir.path());
  WriteLogEntry({}, db::DateTime{2026, 3, 5}, db::DateTime{2026, 3, 5, 10}, "Connect", "x");
  WriteLogEntry(dir.path() / "missing", db::DateTime{2026, 3, 5}, db::DateTime{2026, 3, 5, 10}, "Connect", "x");
  fs::current_path(before);
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
}  // namespace erpsync::settings

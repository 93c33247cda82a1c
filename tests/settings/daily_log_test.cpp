#include "settings/daily_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/console_host.h"
#include "app/form_binding.h"
#include "form/main_form.h"
#include "scripted_host.h"
#include "settings/settings_files.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
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
  // Before the first connect there is no log yet: nothing to write, nothing failed.
  EXPECT_TRUE(WriteLogEntry({}, db::DateTime{2026, 3, 5}, db::DateTime{2026, 3, 5, 10}, "Connect", "x"));
  // A log folder that has gone: the entry is lost, and the caller learns it.
  EXPECT_FALSE(
      WriteLogEntry(dir.path() / "missing", db::DateTime{2026, 3, 5}, db::DateTime{2026, 3, 5, 10}, "Connect", "x"));
  fs::current_path(before);
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

struct Session {
  test::TempDir dir;
  FixedClock clock{db::DateTime{2026, 3, 5, 10, 0, 0}};
  MainForm form;
  std::filesystem::path folder() const { return dir.path() / "BR01 Mar 2026"; }
};

TEST(DailyLog, ALogThatCannotBeWrittenIsToldOnceUntilItWorksAgain) {
  Session s;
  test::ScriptedHost host{false};
  WindowContext ctx{host, s.clock, s.form, s.dir.path()};
  bindForm(ctx);
  ctx.LogFolder = s.folder();  // removed after connect made it
  for (int i = 0; i < 5; ++i) ctx.log("Looping query ", std::to_string(i));
  ASSERT_EQ(host.balloons.size(), 1u);
  EXPECT_EQ(host.balloons[0].text.rfind("The daily log cannot be written: ", 0), 0u) << host.balloons[0].text;
  EXPECT_TRUE(host.boxes.empty());

  fs::create_directories(ctx.LogFolder);
  ctx.log("Day End", "written");
  EXPECT_NE(test::readFile(LogFilePath(ctx.LogFolder, s.form.dtpdate.value())).find("Day End\twritten"),
            std::string::npos);
  EXPECT_EQ(host.balloons.size(), 1u);
  // It worked again in between, so a new failure is news again.
  fs::remove_all(ctx.LogFolder);
  ctx.log("Day End", "lost");
  ctx.log("Day End", "lost");
  EXPECT_EQ(host.balloons.size(), 2u);
}

// The file is held open between entries; what happens to it on disk in between must not lose entries.
TEST(DailyLog, AHeldOpenLogFollowsTheFileOnDisk) {
  Session s;
  test::ScriptedHost host{false};
  WindowContext ctx{host, s.clock, s.form, s.dir.path()};
  bindForm(ctx);
  ctx.LogFolder = s.folder();
  fs::create_directories(ctx.LogFolder);
  const fs::path file = LogFilePath(ctx.LogFolder, s.form.dtpdate.value());
  ctx.log("Upload", "first");
  ctx.log("Upload", "second");
  // Another program (the window beside the headless runner) appends to the same day's log.
  { std::ofstream(file, std::ios::binary | std::ios::app) << "\r\nother writer"; }
  ctx.log("Upload", "third");
  std::string text = test::readFile(file);
  for (const char* e : {"Upload\tfirst", "Upload\tsecond", "other writer", "Upload\tthird"})
    EXPECT_NE(text.find(e), std::string::npos) << e;
  EXPECT_LT(text.find("other writer"), text.find("Upload\tthird"));

  // Support staff delete the log while the program runs: the next entry starts a new file.
  fs::remove(file);
  ctx.log("Upload", "fourth");
  EXPECT_NE(test::readFile(file).find("Upload\tfourth"), std::string::npos);
  // Or put a fresh file in its place: the entries go to the file that has the day's name.
  fs::remove(file);
  test::writeFile(file, "fresh");
  ctx.log("Upload", "fifth");
  EXPECT_EQ(test::readFile(file).rfind("fresh", 0), 0u);
  EXPECT_NE(test::readFile(file).find("Upload\tfifth"), std::string::npos);
  // A new working date writes to its own file.
  s.form.dtpdate.setValue(db::DateTime{2026, 12, 8});
  ctx.log("Upload", "next day");
  EXPECT_EQ(test::readFile(file).find("next day"), std::string::npos);
  EXPECT_NE(test::readFile(LogFilePath(ctx.LogFolder, s.form.dtpdate.value())).find("next day"), std::string::npos);
  EXPECT_TRUE(host.balloons.empty());
}

TEST(DailyLog, HeadlessTheUnwritableLogIsToldOnceAlthoughNoticesAreLoggedToo) {
  Session s;
  std::ostringstream out, err;
  ConsoleHost host(out, err);
  WindowContext ctx{host, s.clock, s.form, s.dir.path()};
  bindForm(ctx);
  // As the headless runner does: every notice also goes to the daily log, which here fails again.
  host.logNotice = [&ctx](const std::string& text) { ctx.log("Notice", text); };
  ctx.LogFolder = s.folder();
  ctx.log("Timer Activated. checking Web connectivity", "");
  ctx.log("Query Opened", "select 1");
  EXPECT_EQ(host.noticesShown(), 1);
  EXPECT_NE(err.str().find("[notice] The daily log cannot be written: "), std::string::npos) << err.str();
}

}  // namespace
}  // namespace erpsync::settings

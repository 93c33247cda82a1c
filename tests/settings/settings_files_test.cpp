#include "settings/settings_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "scripted_host.h"
#include "test_support.h"

namespace erpsync::settings {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::ScriptedHost;
using test::TempDir;
using test::writeFile;

class SettingsFileTest : public ::testing::Test {
 protected:
  std::string read(const std::string& key, std::string def = {}) {
    return ReadWriteSetting(host, file, key, def, false);
  }
  void write(const std::string& key, std::string value) { ReadWriteSetting(host, file, key, value, true); }
  // Every entry of the folder, so a stray temporary file shows up.
  std::vector<std::string> folderEntries() {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(dir.path() / "Resources")) names.push_back(e.path().filename().string());
    return names;
  }

  TempDir dir;
  fs::path file = appSettingsPath(dir.path());
  ScriptedHost host;
};

TEST_F(SettingsFileTest, ReadingFromMissingFileCreatesItWithTheDefault) {
  fs::create_directories(file.parent_path());
  EXPECT_EQ(read("SYNCINTERVAL", "2 Minutes"), "2 Minutes");
  EXPECT_EQ(readFile(file), "SYNCINTERVAL=2 Minutes");
  EXPECT_EQ(folderEntries(), std::vector<std::string>{"Appsettings.ini"});
}

TEST_F(SettingsFileTest, MissingKeyIsAppendedWithTheDefaultAsLastLine) {
  writeFile(file, "SYNCSERVER=central\r\nLOCALDBCODE=BR01");
  std::string value = "2 Minutes";
  EXPECT_EQ(ReadWriteSetting(host, file, "SYNCINTERVAL", value, false), "2 Minutes");
  EXPECT_EQ(value, "2 Minutes");
  EXPECT_EQ(readFile(file), "SYNCSERVER=central\r\nLOCALDBCODE=BR01\r\nSYNCINTERVAL=2 Minutes");
  // Read again: now found, the file is not touched.
  EXPECT_EQ(read("SYNCINTERVAL", "other"), "2 Minutes");
  EXPECT_EQ(readFile(file), "SYNCSERVER=central\r\nLOCALDBCODE=BR01\r\nSYNCINTERVAL=2 Minutes");
}

TEST_F(SettingsFileTest, KeysAndValuesAreTrimmedButMatchedCaseSensitively) {
  writeFile(file, "   SYNCSERVER   =   HO-SERVER\\SQL  \r\nsyncserver=wrong\r\nWEBDBCODE=HO01=extra=more");
  std::string value = "default";
  EXPECT_EQ(ReadWriteSetting(host, file, "SYNCSERVER", value, false), "HO-SERVER\\SQL");
  EXPECT_EQ(value, "HO-SERVER\\SQL");
  EXPECT_EQ(read("WEBDBCODE"), "HO01");

  writeFile(file, "syncserver=lower");
  EXPECT_EQ(read("SYNCSERVER", "none"), "none");
  EXPECT_EQ(readFile(file), "syncserver=lower\r\nSYNCSERVER=none");
}

TEST_F(SettingsFileTest, WriteReplacesInPlaceAndRewritesTrimmedWithoutBlankLines) {
  writeFile(file, "\r\n  SYNCSERVER=a\r\n\r\n   \r\n\tLOCALDBCODE = BR01 \r\nSYNCHVCHTYPEIDS=3;5;\r\n");
  write("SYNCHVCHTYPEIDS", "");
  EXPECT_EQ(readFile(file), "SYNCSERVER=a\r\nLOCALDBCODE = BR01\r\nSYNCHVCHTYPEIDS=");
  write("SYNCSERVER", "central");
  write("DEFCOSTCENTREID", "7");
  EXPECT_EQ(readFile(file), "SYNCSERVER=central\r\nLOCALDBCODE = BR01\r\nSYNCHVCHTYPEIDS=\r\nDEFCOSTCENTREID=7");
  EXPECT_EQ(read("SYNCHVCHTYPEIDS", "x"), "");
  EXPECT_EQ(folderEntries(), std::vector<std::string>{"Appsettings.ini"});
}

TEST_F(SettingsFileTest, CompletelyEmptyFileHoldsNoKeys) {
  writeFile(file, "");
  EXPECT_EQ(read("SYNCINTERVAL", "2 Minutes"), "");
  EXPECT_EQ(readFile(file), "");
  write("KEEPAUTOSYNCHON", "1");
  EXPECT_EQ(readFile(file), "KEEPAUTOSYNCHON=1");
}

TEST_F(SettingsFileTest, LinesEndingInBareLineFeedAreSeparateLines) {
  writeFile(file, "SYNCSERVER=central\nLOCALDBCODE=BR01\n");
  EXPECT_EQ(read("SYNCSERVER"), "central");
  EXPECT_EQ(read("LOCALDBCODE"), "BR01");
  write("WEBDBCODE", "HO01");
  EXPECT_EQ(readFile(file), "SYNCSERVER=central\r\nLOCALDBCODE=BR01\r\nWEBDBCODE=HO01");
}

TEST_F(SettingsFileTest, ErrorsShowAnExclamationBoxAndReturnNothing) {
  writeFile(file, "SYNCSERVER\r\nOTHER=1");
  host.expectBox(Answer::OK, "Subscript out of range");
  EXPECT_EQ(read("SYNCSERVER", "dflt"), "");
  EXPECT_EQ(host.boxes.back().icon, Icon::Exclamation);
  // Writing such a key replaces the broken line.
  write("SYNCSERVER", "central");
  EXPECT_EQ(readFile(file), "SYNCSERVER=central\r\nOTHER=1");

  // No Resources folder: nothing can be created.
  fs::path elsewhere = dir.path() / "missing" / "Resources" / "Appsettings.ini";
  std::string v = "0";
  host.expectBox(Answer::OK, "Path not found");
  EXPECT_EQ(ReadWriteSetting(host, elsewhere, "MaxActivityID", v, false), "");
  EXPECT_FALSE(fs::exists(elsewhere.parent_path()));
}

TEST_F(SettingsFileTest, BlankKeyReadsNothing) {
  writeFile(file, "A=1");
  EXPECT_EQ(read("   ", "x"), "");
  EXPECT_EQ(readFile(file), "A=1");
}

TEST(ReplaceFileContents, ReplacesWholeAndLeavesNoTemporaryFile) {
  TempDir dir;
  fs::path f = dir.path() / "AppsettingsLoop.ini";
  writeFile(f, std::string(5000, 'x'));
  ASSERT_TRUE(replaceFileContents(f, "MaxActivityID=42"));
  EXPECT_EQ(readFile(f), "MaxActivityID=42");
  // A target that cannot be replaced keeps its content and leaves no temporary file.
  fs::create_directory(dir.path() / "sub");
  EXPECT_FALSE(replaceFileContents(dir.path() / "sub", "x"));
  EXPECT_FALSE(replaceFileContents(dir.path() / "nofolder" / "f.ini", "x"));
  std::vector<std::string> names;
  for (auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"AppsettingsLoop.ini", "sub"}));
}

TEST(ReadWriteTextFile, ReadWriteAndAppend) {
  TempDir dir;
  fs::path f = dir.path() / "t.txt";
  EXPECT_EQ(ReadWriteTextFile(f, true, "ignored", true), "");
  EXPECT_FALSE(fs::exists(f));
  ReadWriteTextFile(f, false, "A\r\nB", false);
  EXPECT_EQ(ReadWriteTextFile(f, true, {}, false), "A\r\nB");
  ReadWriteTextFile(f, false, "C", true);
  EXPECT_EQ(readFile(f), "A\r\nB\r\n" + separatorLine() + "\r\nC");
  EXPECT_EQ(separatorLine().size(), 102u);
  EXPECT_EQ(separatorLine(), "*" + std::string(100, '=') + "*");
  // Failures give nothing and throw nothing.
  EXPECT_EQ(ReadWriteTextFile(dir.path() / "no" / "x.txt", false, "C", true), "");
  EXPECT_FALSE(fs::exists(dir.path() / "no"));
}

TEST(ServerNameAndTimezone, FirstLineAndMinutes) {
  TempDir dir;
  EXPECT_EQ(ReadLocalServerName(dir.path()), "");
  writeFile(serverNamePath(dir.path()), "BRANCH-PC\\SQLEXPRESS\r\nsecond line");
  EXPECT_EQ(ReadLocalServerName(dir.path()), "BRANCH-PC\\SQLEXPRESS");
  writeFile(serverNamePath(dir.path()), "BRANCH\n");
  EXPECT_EQ(ReadLocalServerName(dir.path()), "BRANCH");
  writeFile(serverNamePath(dir.path()), "\r\nBRANCH");
  EXPECT_EQ(ReadLocalServerName(dir.path()), "");

  EXPECT_EQ(ReadTimezoneMinutes(dir.path()), 0);
  writeFile(timezonePath(dir.path()), "330\r\n");
  EXPECT_EQ(ReadTimezoneMinutes(dir.path()), 330);
  writeFile(timezonePath(dir.path()), "-90");
  EXPECT_EQ(ReadTimezoneMinutes(dir.path()), -90);
  writeFile(timezonePath(dir.path()), "");
  EXPECT_EQ(ReadTimezoneMinutes(dir.path()), 0);
  writeFile(timezonePath(dir.path()), "40000");
  EXPECT_THROW(ReadTimezoneMinutes(dir.path()), std::overflow_error);
}

}  // namespace
}  // namespace erpsync::settings

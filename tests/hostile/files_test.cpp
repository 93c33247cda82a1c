// Hostile texts in the files and programs around the databases: the settings files, the daily log and
// the notifier's command line. A setting reads back as written or is refused whole; a log entry and a
// notice carry the text byte for byte and as one argument.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/form_binding.h"
#include "form/clock.h"
#include "form/main_form.h"
#include "hostile_texts.h"
#include "notify/spawn_detached.h"
#include "scripted_host.h"
#include "settings/settings_files.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
#include "test_support.h"

namespace erpsync {
namespace {

namespace fs = std::filesystem;
using test::hostileTexts;
using test::textOfLength;

class HostileFiles : public ::testing::Test {
 protected:
  HostileFiles() { fs::create_directories(dir.path() / "Resources"); }
  test::TempDir dir;
  test::ScriptedHost host{false};
  FixedClock clock{db::DateTime{2026, 12, 5, 14, 5, 33}};
  MainForm form;
  WindowContext ctx{host, clock, form, dir.path()};
  [[maybe_unused]] const bool formBound_ = (bindForm(ctx), true);
};

TEST_F(HostileFiles, SettingsReadBackAsWrittenOrAreRefusedWhole) {
  const fs::path ini = settings::appSettingsPath(dir.path());
  ctx.writeSetting("LOCALDBCODE", "BR01");
  ctx.writeLoopSetting("MaxActivityIDTrans", "4711");
  int refused = 0;
  for (const auto& h : hostileTexts()) {
    for (const std::string& value : {h.text, textOfLength(300)}) {
      const std::string before = test::readFile(ini);
      const std::size_t boxes = host.boxes.size();
      ctx.writeSetting("SYNCSERVER", value);
      if (value.find_first_of("\r\n=") == std::string::npos) {
        EXPECT_EQ(ctx.readSetting("SYNCSERVER", "none"), value) << h.what;
        EXPECT_EQ(host.boxes.size(), boxes) << h.what;
      } else {
        // A line break would become a key of its own; "=" would be read back cut short.
        ++refused;
        EXPECT_EQ(test::readFile(ini), before) << h.what;
        ASSERT_EQ(host.boxes.size(), boxes + 1) << h.what;
        EXPECT_NE(host.boxes.back().text.find("is not saved"), std::string::npos);
      }
      EXPECT_EQ(ctx.readSetting("LOCALDBCODE"), "BR01") << h.what;
    }
  }
  EXPECT_EQ(refused, 4);  // the texts holding a line break or "="
  EXPECT_EQ(ctx.readLoopSetting("MaxActivityIDTrans"), "4711");
  // The injection the refusal stops: a pasted server name that would reset the upload's mark.
  ctx.writeSetting("SYNCSERVER", "HO\r\nMaxActivityIDTrans=0");
  EXPECT_EQ(ctx.readSetting("MaxActivityIDTrans", "absent"), "absent");
}

TEST_F(HostileFiles, ServerNameFileGivesItsFirstLineAsItIs) {
  for (const auto& h : hostileTexts()) {
    const std::string first = h.text.substr(0, h.text.find_first_of("\r\n"));
    test::writeFile(settings::serverNamePath(dir.path()), h.text + "\r\nsecond line");
    EXPECT_EQ(settings::ReadLocalServerName(dir.path()), first) << h.what;
  }
}

TEST_F(HostileFiles, LogEntriesHoldTheTextByteForByte) {
  ctx.LogFolder = dir.path() / "log";
  fs::create_directories(ctx.LogFolder);
  form.dtpdate.setValue(db::DateTime{2026, 12, 5});
  std::string all;
  for (const auto& h : hostileTexts()) {
    ctx.log(h.text, h.text);
    all += h.text;
  }
  const std::string withNul("before\0after", 12);
  ctx.log("nul", withNul);
  ctx.closeLog();
  const std::string log = test::readFile(settings::LogFilePath(ctx.LogFolder, form.dtpdate.value()));
  for (const auto& h : hostileTexts()) EXPECT_NE(log.find(h.text + "\t" + h.text), std::string::npos) << h.what;
  EXPECT_NE(log.find(withNul), std::string::npos);
  EXPECT_TRUE(host.balloons.empty());  // no write failed
}

// The Windows runtime's reading of a command line, written from its documented rules: blanks split
// arguments outside quotes; 2n backslashes before a quote give n and the quote opens or closes;
// 2n+1 give n and a literal quote; other backslashes are literal.
std::vector<std::string> windowsArgv(const std::string& line) {
  std::vector<std::string> out;
  std::string cur;
  bool inQuotes = false, any = false;
  for (std::size_t i = 0; i < line.size();) {
    const char c = line[i];
    if (c == '\\') {
      std::size_t n = 0;
      while (i < line.size() && line[i] == '\\') ++n, ++i;
      if (i < line.size() && line[i] == '"') {
        cur.append(n / 2, '\\');
        if (n % 2) {
          cur += '"';
          ++i;
        }
      } else {
        cur.append(n, '\\');
      }
      any = true;
    } else if (c == '"') {
      inQuotes = !inQuotes;
      any = true;
      ++i;
    } else if ((c == ' ' || c == '\t') && !inQuotes) {
      if (any) out.push_back(cur);
      cur.clear();
      any = false;
      ++i;
    } else {
      cur += c;
      any = true;
      ++i;
    }
  }
  if (any) out.push_back(cur);
  return out;
}

TEST(HostileNotice, WindowsCommandLineGivesTheNotifierEachTextAsOneArgument) {
  std::vector<std::string> texts = {"", "a\\", "a\\\\\"b", "\\\"", "C:\\path with space\\", "\"\"", "\t\n\v"};
  for (const auto& h : hostileTexts()) texts.push_back(h.text);
  for (const auto& t : texts) {
    const std::string line = "baloon.exe " + notify::quoteWindowsArgument(t) + " " + notify::quoteWindowsArgument(t);
    EXPECT_EQ(windowsArgv(line), (std::vector<std::string>{"baloon.exe", t, t})) << t;
  }
}

#ifndef _WIN32
TEST(HostileNotice, TheNotifierProgramReceivesTheTextUnchanged) {
  test::TempDir dir;
  const fs::path program = dir.path() / "baloon";
  const fs::path out = dir.path() / "received";
  // Writes its argument count and first argument, and no shell ever sees the text itself.
  test::writeFile(program,
                  "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" \"" + out.string() + "\"\n");
  fs::permissions(program, fs::perms::owner_all);
  std::vector<std::string> texts;
  for (const auto& h : hostileTexts()) texts.push_back(h.text);
  texts.push_back("$(touch " + (dir.path() / "pwned").string() + ") `id` ; | & > x");
  texts.push_back("--help");
  for (const auto& t : texts) {
    fs::remove(out);
    ASSERT_TRUE(notify::spawnDetached(program, {t}));
    for (int i = 0; i < 500 && !fs::exists(out); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fs::exists(out)) << t;
    EXPECT_EQ(test::readFile(out), "1|" + t) << t;
  }
  EXPECT_FALSE(fs::exists(dir.path() / "pwned"));
}
#endif

}  // namespace
}  // namespace erpsync

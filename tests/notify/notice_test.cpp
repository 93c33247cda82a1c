#include "notify/notice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "notify/spawn_detached.h"
#include "scripted_host.h"
#include "test_support.h"

namespace erpsync::notify {
namespace {

namespace fs = std::filesystem;
using test::ScriptedHost;
using test::TempDir;

// Text that a shell would split, expand or run.
const std::string kHostileText = "Cannot insert 'x' \"quoted\"; rm -rf / $(touch pwned) `id` & | > out \\ end";

TEST(Notice, OverInAnyCaseFirstShowsNewWindowBox) {
  TempDir dir;
  ScriptedHost host;
  host.expectBox(Answer::OK, "NEW WINDOW");
  ShowNotice(host, dir.path(), "Day end is over");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "NEW WINDOW");
  EXPECT_EQ(host.boxes[0].buttons, Buttons::OK);
  ASSERT_EQ(host.balloons.size(), 1u);
  EXPECT_EQ(host.balloons[0].title, "Halvex ERP Sync 3.6!");
  EXPECT_EQ(host.balloons[0].text, "Day end is over");

  ShowNotice(host, dir.path(), "Timeout expiredAuto Synch");
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.balloons.size(), 2u);
}

TEST(Notice, NotifierGetsTheWholeTextAsOneArgumentAndNoBalloonShows) {
  TempDir dir;
  test::writeFile(dir.path() / "baloon", "");
  ScriptedHost host;
  ShowNotice(host, dir.path(), kHostileText);
  ASSERT_EQ(host.notifierStarts.size(), 1u);
  EXPECT_EQ(host.notifierStarts[0].program, dir.path() / "baloon");
  EXPECT_EQ(host.notifierStarts[0].text, kHostileText);
  EXPECT_TRUE(host.balloons.empty());
}

TEST(Notice, PlatformNameOfTheNotifierComesFirst) {
  TempDir dir;
  EXPECT_EQ(notifierProgram(dir.path()), fs::path());
  test::writeFile(dir.path() / "baloon.exe", "");
  EXPECT_EQ(notifierProgram(dir.path()), dir.path() / "baloon.exe");
  test::writeFile(dir.path() / "baloon", "");
#ifdef _WIN32
  EXPECT_EQ(notifierProgram(dir.path()), dir.path() / "baloon.exe");
#else
  EXPECT_EQ(notifierProgram(dir.path()), dir.path() / "baloon");
#endif
}

TEST(Notice, NotifierThatCannotStartFallsBackToTheBalloon) {
  TempDir dir;
  test::writeFile(dir.path() / "baloon", "");
  ScriptedHost host;
  host.notifierStartResult = false;
  ShowNotice(host, dir.path(), "Connection failureConnect");
  EXPECT_EQ(host.notifierStarts.size(), 1u);
  ASSERT_EQ(host.balloons.size(), 1u);
  EXPECT_EQ(host.balloons[0].text, "Connection failureConnect");
}

TEST(Notice, BalloonShowsTheFirst256BytesOfALongNoticeWithoutBrokenCharacters) {
  TempDir dir;
  ScriptedHost host;
  const std::string statement = "INSERT INTO tblSales VALUES (" + std::string(400, '1') + ")";
  ShowNotice(host, dir.path(), statement);
  ShowNotice(host, dir.path(), std::string(256, 'x'));
  // A two-byte character across the limit is dropped whole, not cut into an invalid byte.
  ShowNotice(host, dir.path(), std::string(255, 'x') + "\xC3\xA9" + "yyy");
  ASSERT_EQ(host.balloons.size(), 3u);
  EXPECT_EQ(host.balloons[0].title, "Halvex ERP Sync 3.6!");
  EXPECT_EQ(host.balloons[0].text, statement.substr(0, 256));
  EXPECT_EQ(host.balloons[1].text, std::string(256, 'x'));
  EXPECT_EQ(host.balloons[2].text, std::string(255, 'x'));
}

TEST(Notice, BalloonTitleEndsWithAnExclamationAndIsCutTo64) {
  ScriptedHost host;
  ShowBalloon(host, std::string(63, 'T'), "short");
  ShowBalloon(host, std::string(70, 'T'), "short");
  ASSERT_EQ(host.balloons.size(), 2u);
  EXPECT_EQ(host.balloons[0].title, std::string(63, 'T') + "!");
  EXPECT_EQ(host.balloons[1].title, std::string(64, 'T'));
  EXPECT_EQ(host.balloons[1].text, "short");
}

class ThrowingHost : public ScriptedHost {
 public:
  void showBalloon(const std::string&, const std::string&) override { throw std::runtime_error("tray not ready"); }
};

TEST(Notice, FailureInsideShowsItsDescriptionWithWarningIcon) {
  TempDir dir;
  ThrowingHost host;
  host.expectBox(Answer::OK, "tray not ready");
  EXPECT_NO_THROW(ShowNotice(host, dir.path(), "text"));
  EXPECT_EQ(host.boxes.back().icon, Icon::Exclamation);
}

#ifndef _WIN32
TEST(SpawnDetached, ArgumentArrivesWholeWithoutAShell) {
  TempDir dir;
  fs::path out = dir.path() / "args.txt";
  fs::path script = dir.path() / "baloon";
  // Writes the argument count and each argument, then renames the result into place.
  test::writeFile(script, "#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"" +
                              out.string() + ".part\" && mv \"" + out.string() + ".part\" \"" + out.string() + "\"\n");
  fs::permissions(script, fs::perms::owner_all);
  ASSERT_TRUE(spawnDetached(script, {kHostileText}));
  for (int i = 0; i < 500 && !fs::exists(out); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(test::readFile(out), "1\n" + kHostileText + "\n");
  EXPECT_FALSE(fs::exists(dir.path() / "pwned"));
  EXPECT_FALSE(fs::exists(dir.path() / "out"));

  EXPECT_FALSE(spawnDetached(dir.path() / "no-such-program", {"x"}));
}
#endif

// Reads one argument back as the Windows C runtime does.
std::string parseWindowsArgument(const std::string& s) {
  std::string out;
  bool quoted = false;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = 0;
    while (i < s.size() && s[i] == '\\') ++n, ++i;
    if (i < s.size() && s[i] == '"') {
      out.append(n / 2, '\\');
      if (n % 2) {
        out += '"';
      } else {
        quoted = !quoted;
      }
      ++i;
    } else {
      out.append(n, '\\');
      if (i < s.size()) {
        EXPECT_TRUE(quoted || (s[i] != ' ' && s[i] != '\t')) << "argument would split at " << i << " in " << s;
        out += s[i++];
      }
    }
  }
  return out;
}

TEST(SpawnDetached, WindowsQuotingRoundTrips) {
  for (std::string arg :
       {std::string("plain"), std::string(""), std::string("two words"), kHostileText, std::string("C:\\my path\\"),
        std::string("ends with \\\""), std::string("\\\\\"\\"), std::string("tab\there")}) {
    EXPECT_EQ(parseWindowsArgument(quoteWindowsArgument(arg)), arg) << quoteWindowsArgument(arg);
  }
  EXPECT_EQ(quoteWindowsArgument("plain"), "plain");
  EXPECT_EQ(quoteWindowsArgument(""), "\"\"");
}

}  // namespace
}  // namespace erpsync::notify

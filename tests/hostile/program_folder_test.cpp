// A program folder, server folder and company code in any script: the servers, settings files and
// daily log they name are the files that appear on disk, on every system (Windows reads narrow file
// names in its legacy code page, which holds few of these characters).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/form_binding.h"
#include "db/connection.h"
#include "form/clock.h"
#include "form/main_form.h"
#include "scripted_host.h"
#include "settings/daily_log.h"
#include "shared/connections.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
#include "test_support.h"
#include "testbed.h"
#include "util/utf8_path.h"

namespace erpsync {
namespace {

namespace fs = std::filesystem;

// The names of the entries of a folder, as UTF-8.
std::vector<std::string> listed(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(util::pathToUtf8(e.path().filename()));
  return names;
}

bool holds(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(HostileProgramFolder, ServersSettingsAndLogAreTheFilesTheirNamesSay) {
  test::TempDir dir;
  const std::string folderName = "Şube 茶 😀";
  const fs::path home = dir.path() / util::pathFromUtf8(folderName);
  testbed::InitOptions o;
  o.home = home;
  o.items = 6;
  o.ledgers = 10;
  o.branchDb = "茶01";
  o.centralDb = "Çay";
  o.branchServer = "embedded:servers/şube 😀";
  testbed::init(o);
  ASSERT_TRUE(holds(listed(dir.path()), folderName));
  ASSERT_TRUE(holds(listed(home / "servers"), "şube 😀"));
  EXPECT_TRUE(holds(listed(home / "servers" / util::pathFromUtf8("şube 😀")), "茶01.sqlite"));
  EXPECT_TRUE(holds(listed(home / "servers" / "central"), "Çay.sqlite"));

  test::ScriptedHost host{false};
  FixedClock clock{db::DateTime{2026, 12, 5, 14, 5, 33}};
  MainForm form;
  WindowContext ctx{host, clock, form, home};
  [[maybe_unused]] const bool formBound_ = (bindForm(ctx), true);
  ctx.LocalServerName = o.branchServer;
  ctx.SyncServerName = o.centralServer;
  ctx.LocalDbCode = o.branchDb;
  ctx.WebDbCode = o.centralDb;
  OpenCompanyConnections(ctx);
  ASSERT_TRUE(db::isOpen(ctx.LocalConnection));
  ASSERT_TRUE(db::isOpen(ctx.WebConnection));
  // Another catalog of the same server, reached by its name.
  EXPECT_EQ(ctx.local().query("SELECT count(*) FROM [茶01].dbo.tblLedger").at(0, 0).toInt(),
            ctx.local().query("SELECT count(*) FROM tblLedger").at(0, 0).toInt());

  // A setting is written (through a temporary file renamed over it) and read back in that folder.
  ctx.writeSetting("LOCALDBCODE", o.branchDb);
  EXPECT_EQ(ctx.readSetting("LOCALDBCODE"), o.branchDb);
  for (const auto& name : listed(home / "Resources")) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;

  // The daily log folder is named by the company code and holds the entry.
  ctx.LogFolder = settings::LogFolderFor(home, o.branchDb, clock.now());
  fs::create_directories(ctx.LogFolder);
  ctx.log("Connect", "茶 ok");
  ASSERT_TRUE(holds(listed(home), "茶01 Dec 2026"));
  EXPECT_NE(test::readFile(settings::LogFilePath(ctx.LogFolder, form.dtpdate.value())).find("Connect\t茶 ok"),
            std::string::npos);
  EXPECT_TRUE(host.balloons.empty());
}

}  // namespace
}  // namespace erpsync

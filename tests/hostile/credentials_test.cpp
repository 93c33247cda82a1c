// The SQL login: from the environment, from a credentials file only its owner can read, or the ERP's
// fixed sa login; and its password kept out of the daily log, the notices and the notifier's command
// line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/form_binding.h"
#include "app/frm_synch.h"
#include "db/connection_string.h"
#include "form/clock.h"
#include "form/main_form.h"
#include "scripted_host.h"
#include "settings/daily_log.h"
#include "settings/settings_files.h"
#include "shared/connections.h"
#include "shared/sql_login.h"
#include "app/window_context.h"
#include "shared/sync_context.h"
#include "test_support.h"

namespace erpsync {
namespace {

namespace fs = std::filesystem;

// Sets (or with nullopt removes) an environment variable for the life of the object.
class EnvVar {
 public:
  EnvVar(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    put(value);
  }
  ~EnvVar() { put(old_); }

 private:
  void put(const std::optional<std::string>& v) {
#ifdef _WIN32
    _putenv_s(name_, v ? v->c_str() : "");
#else
    if (v)
      setenv(name_, v->c_str(), 1);
    else
      unsetenv(name_);
#endif
  }
  const char* name_;
  std::optional<std::string> old_;
};

class Credentials : public ::testing::Test {
 protected:
  Credentials() { fs::create_directories(dir.path() / "Resources"); }
  void writeCredentials(const std::string& text, fs::perms perms) {
    const fs::path p = credentialsPath(dir.path());
    test::writeFile(p, text);
    fs::permissions(p, perms);
  }
  test::TempDir dir;
  EnvVar user{kSqlUserEnv, std::nullopt};
  EnvVar password{kSqlPasswordEnv, std::nullopt};
  EnvVar file{kCredentialsFileEnv, std::nullopt};
};

TEST_F(Credentials, WithoutEnvironmentOrFileTheFixedLoginKeepsExistingInstallationsWorking) {
  const auto r = loadSqlLogin(dir.path());
  EXPECT_EQ(r.login.user, "sa");
  EXPECT_EQ(r.login.password, "PLOVERS318#");
  EXPECT_TRUE(r.problem.empty());
}

TEST_F(Credentials, TheEnvironmentWinsOverTheFile) {
  writeCredentials("USER=fromfile\r\nPASSWORD=filepw\r\n", fs::perms::owner_read | fs::perms::owner_write);
  {
    EnvVar pw(kSqlPasswordEnv, "env;pw'=\"x");
    auto r = loadSqlLogin(dir.path());
    EXPECT_EQ(r.login.user, "sa");  // a password alone keeps the sa login
    EXPECT_EQ(r.login.password, "env;pw'=\"x");
    EXPECT_EQ(r.login.source, "environment");
    EnvVar u(kSqlUserEnv, "syncer");
    EXPECT_EQ(loadSqlLogin(dir.path()).login.user, "syncer");
  }
  auto r = loadSqlLogin(dir.path());
  EXPECT_EQ(r.login.user, "fromfile");
  EXPECT_EQ(r.login.password, "filepw");
  EXPECT_TRUE(r.problem.empty());
}

TEST_F(Credentials, AnOwnerOnlyFileGivesItsPasswordExactly) {
  writeCredentials("# the branch's login\nUser = syncer \nPassword= pa ss=w;rd'\"\n", fs::perms::owner_read);
  auto r = loadSqlLogin(dir.path());
  EXPECT_TRUE(r.problem.empty()) << r.problem;
  EXPECT_EQ(r.login.user, "syncer");
  EXPECT_EQ(r.login.password, " pa ss=w;rd'\"");
  EXPECT_EQ(r.login.source, credentialsPath(dir.path()).string());
}

#ifndef _WIN32
TEST_F(Credentials, AFileOthersCanReadIsRefusedWithAClearMessage) {
  for (auto perms : {fs::perms::owner_read | fs::perms::group_read, fs::perms::owner_read | fs::perms::others_read,
                     fs::perms::owner_read | fs::perms::others_write}) {
    writeCredentials("PASSWORD=secret\n", fs::perms::owner_all);
    fs::permissions(credentialsPath(dir.path()), perms);
    auto r = loadSqlLogin(dir.path());
    EXPECT_EQ(r.login.password, "PLOVERS318#");
    EXPECT_NE(r.problem.find("other users"), std::string::npos) << r.problem;
    EXPECT_NE(r.problem.find("chmod 600 " + credentialsPath(dir.path()).string()), std::string::npos);
    EXPECT_EQ(r.problem.find("secret"), std::string::npos);
  }
}
#endif

TEST_F(Credentials, AFileWithoutPasswordOrANamedFileThatIsMissingIsTold) {
  writeCredentials("USER=syncer\n", fs::perms::owner_read | fs::perms::owner_write);
  auto r = loadSqlLogin(dir.path());
  EXPECT_EQ(r.login.user, "sa");
  EXPECT_NE(r.problem.find("no PASSWORD"), std::string::npos);

  EnvVar named(kCredentialsFileEnv, (dir.path() / "elsewhere.ini").string());
  r = loadSqlLogin(dir.path());
  EXPECT_NE(r.problem.find("does not exist"), std::string::npos);
  test::writeFile(dir.path() / "elsewhere.ini", "PASSWORD=there");
  fs::permissions(dir.path() / "elsewhere.ini", fs::perms::owner_read);
  EXPECT_EQ(loadSqlLogin(dir.path()).login.password, "there");
}

TEST_F(Credentials, TheLoginReachesEveryConnectionStringAndTheLinkedServerIntact) {
  SqlLogin login{"sync'er", "p;w'd=\"x", "test"};
  const auto cs = db::ConnectionString::parse(companyConnectionString("BR01", "SRV", login));
  EXPECT_EQ(cs.userId(), "sync'er");
  EXPECT_EQ(cs.password(), "p;w'd=\"x");
  EXPECT_EQ(cs.initialCatalog(), "BR01");
  EXPECT_EQ(cs.dataSource(), "SRV");
  const auto st = db::ConnectionString::parse(startupConnectionString(login.password, "SRV", login.user));
  EXPECT_EQ(st.userId(), "sync'er");
  EXPECT_EQ(st.password(), "p;w'd=\"x");
  const auto statements = linkedServerStatements("HO", login);
  EXPECT_EQ(statements[3],
            "EXEC master.dbo.sp_addlinkedsrvlogin @rmtsrvname=N'HO',@useself=N'False',@locallogin=N'sync''er',"
            "@rmtuser=N'sync''er',@rmtpassword='p;w''d=\"x'");
}

// A startup connection that records the string it was opened with and never connects.
class RecordingConnection : public db::Connection {
 public:
  explicit RecordingConnection(std::vector<std::string>& opened) : opened_(opened) {}
  void open(const std::string& cs) override { opened_.push_back(cs); }
  void close() override {}
  bool isOpen() const override { return false; }
  long long execute(const std::string&) override { return 0; }
  db::Recordset query(const std::string&) override { return {}; }
  void beginTrans() override {}
  void commitTrans() override {}
  void rollbackTrans() override {}
  void setCommandTimeout(int) override {}

 private:
  std::vector<std::string>& opened_;
};

struct Window {
  explicit Window(const fs::path& home) : ctx(host, clock, form, home) {
    bindForm(ctx);
    ctx.makeConnection = [this](const std::string&) { return std::make_unique<RecordingConnection>(opened); };
    test::writeFile(settings::serverNamePath(home), "BRANCHSRV");
    ctx.writeSetting("SYNCSERVER", "CENTRALSRV");
  }
  test::ScriptedHost host{false};
  FixedClock clock{db::DateTime{2026, 3, 5, 10, 0, 0}};
  MainForm form;
  WindowContext ctx;
  std::vector<std::string> opened;
};

TEST_F(Credentials, StartingTheWindowUsesTheFileAndTellsWhenItIsRefused) {
  writeCredentials("USER=sa\nPASSWORD=Branch-Secret\n", fs::perms::owner_read | fs::perms::owner_write);
  {
    Window w(dir.path());
    FrmSynch frm(w.ctx);
    frm.load();
    ASSERT_FALSE(w.opened.empty());
    for (const auto& cs : w.opened) EXPECT_EQ(db::ConnectionString::parse(cs).password(), "Branch-Secret");
    for (const auto& b : w.host.boxes) EXPECT_EQ(b.text.find("credentials"), std::string::npos) << b.text;
  }
#ifndef _WIN32
  fs::permissions(credentialsPath(dir.path()), fs::perms::owner_read | fs::perms::others_read);
  Window w(dir.path());
  FrmSynch frm(w.ctx);
  frm.load();
  ASSERT_FALSE(w.host.boxes.empty());
  EXPECT_NE(w.host.boxes.front().text.find("can be read or changed by other users"), std::string::npos);
  for (const auto& cs : w.opened) EXPECT_EQ(db::ConnectionString::parse(cs).password(), "PLOVERS318#");
#endif
}

TEST_F(Credentials, ThePasswordNeverReachesTheLogANoticeOrTheNotifiersCommandLine) {
  test::ScriptedHost host{false};
  FixedClock clock{db::DateTime{2026, 3, 5, 10, 0, 0}};
  MainForm form;
  WindowContext ctx{host, clock, form, dir.path()};
  bindForm(ctx);
  ctx.sqlLogin = {"sa", "S3cret;pw", "test"};
  ctx.saPassword = ctx.sqlLogin.password;
  ctx.LogFolder = dir.path() / "log";
  fs::create_directories(ctx.LogFolder);
  form.dtpdate.setValue(db::DateTime{2026, 3, 5});
  const std::string leak = "Login failed: Password=S3cret;pw;Data Source=HO (S3cret;pwS3cret;pw)";
  ctx.log("Connect", leak);
  ctx.notice(leak);  // no notifier installed: the tray balloon
  test::writeFile(dir.path() / "baloon", "#!/bin/sh\n");
  fs::permissions(dir.path() / "baloon", fs::perms::owner_all);
  ctx.notice(leak);  // the notifier program, the text on its command line
  ctx.closeLog();
  const std::string log = test::readFile(settings::LogFilePath(ctx.LogFolder, form.dtpdate.value()));
  EXPECT_EQ(log.find("S3cret"), std::string::npos);
  EXPECT_NE(log.find("Password=********;Data Source=HO (****************)"), std::string::npos) << log;
  ASSERT_EQ(host.balloons.size(), 1u);
  EXPECT_EQ(host.balloons[0].text.find("S3cret"), std::string::npos);
  ASSERT_EQ(host.notifierStarts.size(), 1u);
  EXPECT_EQ(host.notifierStarts[0].text.find("S3cret"), std::string::npos);
  EXPECT_EQ(withoutSecret("abc", ""), "abc");
}

}  // namespace
}  // namespace erpsync

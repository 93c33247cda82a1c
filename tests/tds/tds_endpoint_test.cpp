// The wire protocol endpoint as SQL Server clients see it: FreeTDS's own tsql, the production ODBC
// backend, a client that sends garbage or wants encryption, and `erpsync-cli serve` as a process.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <thread>

#include "db/embedded/embedded_server.h"
#include "process_runner.h"
#include "tds_test_support.h"
#include "test_support.h"

namespace erpsync::test {
namespace {

using db::DbError;

std::string embeddedString(const std::filesystem::path& dir, const std::string& catalog) {
  return "Provider=SQLOLEDB.1;Initial Catalog=" + catalog + ";Data Source=embedded:" + dir.string();
}

// A server folder with catalog DB, behind an endpoint.
class Endpoint : public ::testing::Test {
 protected:
  void SetUp() override {
    db::embedded::createServer(dir_.path() / "srv");
    db::openConnection(embeddedString(dir_.path() / "srv", "master"), dir_.path())->execute("CREATE DATABASE DB");
    server_ = std::make_unique<WireServer>(dir_.path() / "srv");
  }
  std::unique_ptr<db::Connection> embedded() {
    return db::openConnection(embeddedString(dir_.path() / "srv", "DB"), dir_.path());
  }

  TempDir dir_;
  std::unique_ptr<WireServer> server_;
};

// Runs a shell command with `input` on its standard input; its output and error together.
ProcessResult runWithInput(const std::string& command, const std::string& input, const std::filesystem::path& dir) {
  const auto in = dir / "stdin.txt";
  writeFile(in, input);
  return runCommand(command + " < '" + in.string() + "' 2>&1");
}

bool haveTsql() {
  return std::system("command -v tsql >/dev/null 2>&1") == 0;
}

// ---------------------------------------------------------------- another client: FreeTDS's tsql

TEST_F(Endpoint, TsqlLogsInRunsBatchesAndReportsAnErrorWithItsNumberAndLine) {
  if (!haveTsql()) GTEST_SKIP() << "tsql is not installed (Debian package freetds-bin)";
  auto c = embedded();
  c->execute("create table names (id int, name nvarchar(40), amount numeric(18,2), at datetime)");
  c->execute("insert into names values (1, N'Zoë''s café', 12.5, '2026-04-01 10:30:00')");
  const std::string tsql =
      "tsql -H 127.0.0.1 -p " + std::to_string(server_->port()) + " -U sa -P '" + std::string(kSaPassword) + "' -D DB";
  ProcessResult r = runWithInput(tsql,
                                 "select id, name, amount from names\ngo\nselect 1 as one\n"
                                 "select * from missing_table\ngo\nexit\n",
                                 dir_.path());
  EXPECT_NE(r.output.find("Zoë's café"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("12.50"), std::string::npos) << r.output;
  // The error names its number, severity, state, server and the batch line it was raised on.
  EXPECT_NE(r.output.find("Msg 208 (severity 16, state 1) from srv Line 2"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Invalid object name 'missing_table'"), std::string::npos) << r.output;

  ProcessResult refused =
      runWithInput("tsql -H 127.0.0.1 -p " + std::to_string(server_->port()) + " -U sa -P wrong -D DB",
                   "select 1\ngo\nexit\n", dir_.path());
  EXPECT_NE(refused.output.find("Login failed for user 'sa'"), std::string::npos) << refused.output;
}

// ---------------------------------------------------------------- the login

TEST_F(Endpoint, OnlyTheConfiguredLoginGetsInAndAMissingCatalogIsRefused) {
  try {
    db::openConnection(server_->connectionString("DB", "not the password"), dir_.path());
    ADD_FAILURE() << "a wrong password was let in";
  } catch (const DbError& e) {
    EXPECT_EQ(e.nativeError(), 18456) << e.description();
    EXPECT_NE(e.description().find("Login failed for user 'sa'."), std::string::npos) << e.description();
  }
  try {
    db::openConnection(server_->connectionString("NoSuchDb"), dir_.path());
    ADD_FAILURE() << "a missing catalog was opened";
  } catch (const DbError& e) {
    EXPECT_NE(e.description().find("Cannot open database \"NoSuchDb\" requested by the login."), std::string::npos)
        << e.description();
  }
  EXPECT_EQ(server_->connect("DB")->query("select 1 as one").at(0, "one").toInt(), 1);
}

// ---------------------------------------------------------------- values through the wire

TEST_F(Endpoint, EveryStoredTypeReadsThroughTheWireAsTheEmbeddedServerHoldsIt) {
  auto c = embedded();
  c->execute(
      "create table everything (id int primary key, t tinyint, s smallint, b bigint, n numeric(18,2), "
      "big numeric(18,0), d decimal(28,6), m money, f float, flag bit, at datetime, name varchar(60), "
      "uname nvarchar(60), g uniqueidentifier, raw varbinary(16), memo varchar(8000), umemo nvarchar(4000))");
  c->execute(
      "insert into everything values (1, 255, -32768, 9223372036854775807, -1234567890123456.78, "
      "999999999999999999, 1234567890123456789012.123456, -922337203685477.5808, 0.1, 1, "
      "'2026-04-01 23:59:59.997', 'O''Brien & Sons', N'Łódź — 東京 ''quoted''', "
      "'6F9619FF-8B86-D011-B42D-00C04FC964FF', null, 'long text', N'ünïcödé')");
  c->execute("insert into everything (id, flag, at, name) values (2, 0, null, '')");
  const char* query = "select * from everything order by id";
  const db::Recordset local = c->query(query);
  const db::Recordset wire = server_->connect("DB")->query(query);
  ASSERT_EQ(wire.fields.size(), local.fields.size());
  ASSERT_EQ(wire.size(), local.size());
  for (std::size_t f = 0; f < local.fields.size(); ++f) {
    EXPECT_EQ(wire.fields[f].name, local.fields[f].name);
    EXPECT_EQ(wire.fields[f].type, local.fields[f].type) << local.fields[f].name;
    for (std::size_t r = 0; r < local.size(); ++r)
      EXPECT_EQ(wire.at(r, f).toString(), local.at(r, f).toString()) << local.fields[f].name << " row " << r;
  }
  EXPECT_TRUE(wire.at(1, "at").isNull()) << "a NULL date stays NULL";
  EXPECT_EQ(wire.at(0, "big").toString(), "999999999999999999");
  EXPECT_EQ(wire.at(0, "uname").toString(), "Łódź — 東京 'quoted'");
}

TEST_F(Endpoint, TextOutsideTheCodePageInAVarcharColumnArrivesAsQuestionMarks) {
  // What SQL Server does with a varchar column under a Latin-1 collation: the wire says so too.
  auto c = embedded();
  c->execute("create table v (name varchar(40))");
  c->execute("insert into v values (N'café 東京')");
  EXPECT_EQ(server_->connect("DB")->query("select name from v").at(0, "name").toString(), "café ??");
}

// ---------------------------------------------------------------- row counts and triggers

TEST_F(Endpoint, FreeTdsReportsTheLastCountOfATriggersStatementsAsTheStatementsOwn) {
  // The endpoint sends what SQL Server sends: each statement of a trigger its own count (DONEINPROC),
  // then the statement's count (DONE). FreeTDS keeps the first of those it sees as the statement's
  // count, so a trigger written without SET NOCOUNT ON decides what execute() returns.
  auto w = server_->connect("DB");
  w->execute("create table t (id int)");
  w->execute("create table log (n int)");
  w->execute("create trigger trg_t on t for insert, update as\r\n insert into log (n) values (1)\r\n");
  EXPECT_EQ(w->execute("insert into t (id) select 1 union all select 2 union all select 3"), 1)
      << "the trigger's one-row insert";
  EXPECT_EQ(w->execute("update t set id = id where id = 99"), 1) << "no row matched, the trigger still logged one";
  // A change-log trigger logs one row per row the statement touched: its count is the statement's.
  w->execute("drop trigger trg_t");
  w->execute("create trigger trg_t on t for insert, update as\r\n insert into log (n) select id from inserted\r\n");
  EXPECT_EQ(w->execute("update t set id = id + 10"), 3);
  EXPECT_EQ(w->execute("update t set id = id where id = 99"), 0);
  // Under SET NOCOUNT ON inside the trigger, the statement's own count comes through.
  w->execute("drop trigger trg_t");
  w->execute("create trigger trg_t on t for insert as\r\n set nocount on\r\n insert into log (n) values (1)\r\n");
  EXPECT_EQ(w->execute("insert into t (id) select 4 union all select 5"), 2);
}

TEST_F(Endpoint, AnUploadStyleBatchHandsBackItsFinalSelectPastTheRowCounts) {
  auto w = server_->connect("DB");
  w->execute("create table h (id int identity(1,1), no int)");
  w->execute("create table log (n int)");
  w->execute("create trigger trg_h on h for insert as\r\n insert into log (n) select no from inserted\r\n");
  w->beginTrans();
  const db::Recordset rs = w->query(
      "set xact_abort on\r\ndeclare @n int\r\ninsert into h (no) values (7)\r\nset @n = @@identity\r\n"
      "insert into h (no) values (8)\r\nupdate h set no = no where id = @n\r\n"
      "select id, no from h order by id");
  w->commitTrans();
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(1, "no").toInt(), 8);
  EXPECT_EQ(embedded()->query("select count(*) as n from log").at(0, "n").toInt(), 2) << "one per insert";
}

// ---------------------------------------------------------------- time-out

TEST_F(Endpoint, ATimedOutStatementIsCancelledAtTheServerByTheAttention) {
  auto w = server_->connect("DB");
  w->execute("create table digits (d int)");
  for (int d = 0; d < 10; ++d) w->execute("insert into digits (d) values (" + std::to_string(d) + ")");
  std::string endless = "select count(*) as n from digits d1";
  for (int i = 2; i <= 10; ++i) endless += " cross join digits d" + std::to_string(i);
  w->setCommandTimeout(1);
  const auto start = std::chrono::steady_clock::now();
  try {
    w->query(endless);
    ADD_FAILURE() << "ran to its end";
  } catch (const DbError& e) {
    EXPECT_EQ(e.sqlState(), "HYT00") << e.description();
  }
  // The session is free at once: the statement stopped at the server, not only at the client.
  EXPECT_EQ(w->query("select count(*) as n from digits").at(0, "n").toInt(), 10);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 4.0);
}

// ---------------------------------------------------------------- a client the endpoint must survive

int connectRaw(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  timeval tv{5, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  return fd;
}

// Reads until the peer closes (true) or the time-out passes (false).
bool closedByPeer(int fd) {
  char buf[4096];
  for (;;) {
    ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n == 0) return true;
    if (n < 0) return false;
  }
}

TEST_F(Endpoint, MalformedPacketsCloseTheirConnectionAndTheEndpointCarriesOn) {
  std::mt19937 rng(7);
  const std::vector<std::vector<std::uint8_t>> attacks = {
      {0x12, 0x01, 0x00, 0x04, 0, 0, 0, 0},                          // length shorter than the header
      {0x10, 0x01, 0x00, 0x10, 0, 0, 1, 0, 1, 2, 3, 4, 5, 6, 7, 8},  // a login before the pre-login
      {0x12, 0x01, 0x00, 0x0C, 0, 0, 1, 0, 0x01, 0xFF, 0xFF, 0x00},  // an option pointing past the end
  };
  for (const auto& bytes : attacks) {
    int fd = connectRaw(server_->port());
    ASSERT_GE(fd, 0);
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    EXPECT_TRUE(closedByPeer(fd));
    ::close(fd);
  }
  for (int i = 0; i < 20; ++i) {
    std::vector<std::uint8_t> junk(8 + rng() % 200);
    for (auto& b : junk) b = static_cast<std::uint8_t>(rng());
    int fd = connectRaw(server_->port());
    ::send(fd, junk.data(), junk.size(), MSG_NOSIGNAL);
    ::shutdown(fd, SHUT_WR);
    closedByPeer(fd);
    ::close(fd);
  }
  EXPECT_EQ(server_->connect("DB")->query("select 1 as one").at(0, "one").toInt(), 1) << "still serving";
}

// A client written from the protocol alone: what FreeTDS's ODBC driver sends only for statements
// with parameters, sp_executesql, asked for here without any.
namespace raw {

using Bytes = std::vector<std::uint8_t>;

void u16(Bytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void u32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
Bytes ascii16(const std::string& s) {
  Bytes b;
  for (char c : s) u16(b, static_cast<unsigned char>(c));
  return b;
}
Bytes packet(std::uint8_t type, const Bytes& payload) {
  Bytes p = {type,
             1,
             static_cast<std::uint8_t>((payload.size() + 8) >> 8),
             static_cast<std::uint8_t>((payload.size() + 8) & 0xFF),
             0,
             0,
             1,
             0};
  p.insert(p.end(), payload.begin(), payload.end());
  return p;
}
// The headers every request after the login starts with: the transaction descriptor, none open.
Bytes allHeaders() {
  Bytes b;
  u32(b, 22);
  u32(b, 18);
  u16(b, 2);
  for (int i = 0; i < 8; ++i) b.push_back(0);
  u32(b, 1);
  return b;
}
Bytes login(const std::string& user, const std::string& password, const std::string& database) {
  std::vector<Bytes> fields = {
      ascii16("host"),  ascii16(user), ascii16(password), ascii16("raw"), ascii16("srv"), {}, ascii16("raw"), {},
      ascii16(database)};
  for (auto& b : fields[2]) b = static_cast<std::uint8_t>(((b << 4) | (b >> 4)) ^ 0xA5);
  Bytes fixed, offsets, data;
  std::size_t at = 94;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    u16(offsets, static_cast<unsigned>(i == 5 ? 0 : at + data.size()));
    u16(offsets, static_cast<unsigned>(fields[i].size() / 2));
    data.insert(data.end(), fields[i].begin(), fields[i].end());
  }
  for (int i = 0; i < 6; ++i) offsets.push_back(0);  // client id
  for (int i = 0; i < 3; ++i) u32(offsets, 0);       // SSPI, attach file, change password
  u32(offsets, 0);                                   // long SSPI
  u32(fixed, static_cast<std::uint32_t>(94 + data.size()));
  u32(fixed, 0x74000004);
  u32(fixed, 4096);
  for (int i = 0; i < 3; ++i) u32(fixed, 0);
  u32(fixed, 0);  // option and type flags
  u32(fixed, 0);
  u32(fixed, 0x409);
  fixed.insert(fixed.end(), offsets.begin(), offsets.end());
  fixed.insert(fixed.end(), data.begin(), data.end());
  return fixed;
}
Bytes executeSql(const std::string& sql) {
  Bytes b = allHeaders();
  u16(b, 0xFFFF);
  u16(b, 10);  // sp_executesql
  u16(b, 0);
  b.push_back(0);  // unnamed parameter
  b.push_back(0);
  b.push_back(0xE7);  // nvarchar(4000)
  u16(b, 8000);
  for (std::uint8_t c : {0x09, 0x04, 0xD0, 0x00, 0x34}) b.push_back(c);
  const Bytes text = ascii16(sql);
  u16(b, static_cast<unsigned>(text.size()));
  b.insert(b.end(), text.begin(), text.end());
  return b;
}
// One reply, whole.
Bytes reply(int fd) {
  Bytes out;
  for (;;) {
    std::uint8_t h[8];
    if (::recv(fd, h, 8, MSG_WAITALL) != 8) return out;
    const std::size_t n = ((h[2] << 8) | h[3]) - 8u;
    Bytes payload(n);
    if (n && ::recv(fd, payload.data(), n, MSG_WAITALL) != static_cast<ssize_t>(n)) return out;
    out.insert(out.end(), payload.begin(), payload.end());
    if (h[1] & 1) return out;
  }
}
bool contains(const Bytes& hay, const Bytes& needle) {
  return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

}  // namespace raw

TEST_F(Endpoint, SpExecuteSqlRunsItsStatementAndEndsWithDoneProc) {
  embedded()->execute("create table t (id int)");
  int fd = connectRaw(server_->port());
  ASSERT_GE(fd, 0);
  const raw::Bytes pre = {0x00, 0x00, 6, 0x00, 1, 0xFF, 0x00};  // one option: ENCRYPTION = off
  ASSERT_GT(::send(fd, raw::packet(18, pre).data(), pre.size() + 8, 0), 0);
  ASSERT_FALSE(raw::reply(fd).empty());
  const raw::Bytes login = raw::packet(16, raw::login("sa", std::string(kSaPassword), "DB"));
  ::send(fd, login.data(), login.size(), 0);
  const raw::Bytes ack = raw::reply(fd);
  ASSERT_TRUE(raw::contains(ack, {0xAD})) << "LOGINACK";
  const raw::Bytes call = raw::packet(3, raw::executeSql("insert into t (id) values (1); select 42 as answer"));
  ::send(fd, call.data(), call.size(), 0);
  const raw::Bytes r = raw::reply(fd);
  ::close(fd);
  ASSERT_FALSE(r.empty());
  EXPECT_TRUE(raw::contains(r, raw::ascii16("answer"))) << "the result set's column";
  // The insert's count inside the procedure (DONEINPROC, count 1), the row (INTN 4: 42), then
  // RETURNSTATUS 0 and the final DONEPROC.
  EXPECT_TRUE(raw::contains(r, {0xFF, 0x11, 0x00, 0x00, 0x00, 0x01, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(raw::contains(r, {0xD1, 0x04, 42, 0, 0, 0}));
  EXPECT_TRUE(raw::contains(r, {0x79, 0, 0, 0, 0, 0xFE, 0x00, 0x00}));
  EXPECT_EQ(r[r.size() - 13], 0xFE) << "the reply ends with DONEPROC";
  EXPECT_EQ(embedded()->query("select count(*) as n from t").at(0, "n").toInt(), 1);
}

TEST_F(Endpoint, AClientThatRequiresEncryptionIsRefused) {
  // A pre-login asking for encryption (ENCRYPT_REQ): the reply says the server has none, then the
  // connection ends.
  const std::vector<std::uint8_t> packet = {0x12, 0x01, 0x00, 26,   0,    0,
                                            1,    0,                    // header: pre-login, last packet, 26 bytes
                                            0x00, 0x00, 11,   0x00, 6,  // VERSION: 6 bytes at 11
                                            0x01, 0x00, 17,   0x00, 1,  // ENCRYPTION: 1 byte at 17
                                            0xFF,                       // end of the options
                                            0x0F, 0x00, 0x07, 0xD0, 0x00, 0x00,  // version
                                            0x03};                               // ENCRYPT_REQ
  int fd = connectRaw(server_->port());
  ASSERT_GE(fd, 0);
  ::send(fd, packet.data(), packet.size(), MSG_NOSIGNAL);
  std::uint8_t reply[512];
  ssize_t n = ::recv(fd, reply, sizeof reply, 0);
  ASSERT_GT(n, 8);
  EXPECT_EQ(reply[0], 0x04) << "a reply packet";
  EXPECT_TRUE(closedByPeer(fd)) << "the connection ends after the reply";
  ::close(fd);
}

// ---------------------------------------------------------------- erpsync-cli serve

TEST(ServeCommand, ServesUntilSigtermAndRollsBackWhatWasLeftOpen) {
  TempDir dir;
  db::embedded::createServer(dir.path() / "servers" / "one");
  db::openConnection(embeddedString(dir.path() / "servers" / "one", "master"), dir.path())
      ->execute("CREATE DATABASE DB");
  db::openConnection(embeddedString(dir.path() / "servers" / "one", "DB"), dir.path())
      ->execute("create table t (id int)");
  const auto out = dir.path() / "serve.out";
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::freopen(out.c_str(), "w", stdout);
    std::freopen((dir.path() / "serve.err").c_str(), "w", stderr);
    const std::string home = dir.path().string();
    execl(cliPath().c_str(), cliPath().c_str(), "serve", "--dir", "servers/one", "--port", "0", "--home", home.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int port = 0;
  for (int i = 0; i < 100 && port == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string text = readFile(out);
    if (auto at = text.find(" port "); at != std::string::npos) port = std::atoi(text.c_str() + at + 6);
  }
  ASSERT_GT(port, 0) << readFile(out) << readFile(dir.path() / "serve.err");
  const std::string cs = std::string("Provider=SQLOLEDB.1;User ID=sa;Password=") + std::string(kSaPassword) +
                         ";Initial Catalog=DB;Data Source=127.0.0.1," + std::to_string(port);
  auto c = db::openConnection(cs, dir.path());
  c->beginTrans();
  c->execute("insert into t (id) values (1)");
  ::kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << readFile(dir.path() / "serve.err");
  EXPECT_NE(readFile(out).find("Stopped"), std::string::npos);
  EXPECT_EQ(db::openConnection(embeddedString(dir.path() / "servers" / "one", "DB"), dir.path())
                ->query("select count(*) as n from t")
                .at(0, "n")
                .toInt(),
            0)
      << "the open transaction was rolled back";
}

}  // namespace
}  // namespace erpsync::test

// The ODBC plumbing end to end against the SQLite ODBC driver: statements, result sets and their
// type codes, long values, unicode, transactions, errors. Each test runs twice: through the
// driver's narrow UTF-8 entry points (what this driver gets by default) and forced through the
// wide UTF-16 ones that SQL Server's drivers get.
#include <gtest/gtest.h>

#include <memory>

#include "db/connection.h"
#include "db/odbc/odbc_connection.h"
#include "odbc_test_env.h"
#include "test_support.h"

using namespace erpsync::db;
using erpsync::db::odbc::OdbcConnection;
using erpsync::test::ScopedEnv;
using erpsync::test::TempDir;

namespace {

class OdbcSqlite : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    connectionString_ = "DRIVER=" + erpsync::test::sqliteOdbcDriver() + ";Database=" + (dir_.path() / "t.db").string();
    open(conn_);
  }
  bool wide() const { return GetParam(); }
  void open(OdbcConnection& c) {
    ScopedEnv mode("ERPSYNC_ODBC_UNICODE", wide() ? std::optional<std::string>("1") : std::nullopt);
    c.open(connectionString_);
  }
  long long count(Connection& c, const std::string& table) {
    return c.query("select count(*) as n from " + table).at(0, "n").toInt();
  }

  TempDir dir_;
  std::string connectionString_;
  OdbcConnection conn_;
};

INSTANTIATE_TEST_SUITE_P(Api, OdbcSqlite, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Wide" : "Narrow"; });

}  // namespace

TEST_P(OdbcSqlite, QueryReportsTypeCodesValuesAndNulls) {
  conn_.execute(
      "create table t (id integer, name varchar(30), note longvarchar, amount double, rate real, flag bit, "
      "at datetime, day date, small smallint, tiny tinyint, big bigint, data varbinary(10))");
  EXPECT_EQ(conn_.execute("insert into t values (1, 'Widget', 'long note', 12.25, 0.5, 1, '2024-01-02 03:04:05.678', "
                          "'2024-02-29', -7, 200, 9000000000, X'00FF10')"),
            1);
  conn_.execute("insert into t (id) values (2)");

  Recordset rs = conn_.query("select * from t order by id");
  const std::pair<const char*, int> fields[] = {{"id", adInteger},     {"name", adVarChar},    {"note", adLongVarChar},
                                                {"amount", adDouble},  {"rate", adDouble},     {"flag", adBoolean},
                                                {"at", adDBTimeStamp}, {"day", adDBTimeStamp}, {"small", adSmallInt},
                                                {"tiny", adTinyInt},   {"big", adBigInt},      {"data", adVarBinary}};
  ASSERT_EQ(rs.fields.size(), std::size(fields));
  for (std::size_t i = 0; i < rs.fields.size(); ++i) {
    EXPECT_EQ(rs.fields[i].name, fields[i].first);
    EXPECT_EQ(rs.fields[i].type, fields[i].second) << fields[i].first;
  }
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(0, "id"), Value(1));
  EXPECT_EQ(rs.at(0, "name"), Value("Widget"));
  EXPECT_EQ(rs.at(0, "note"), Value("long note"));
  EXPECT_EQ(rs.at(0, "amount"), Value(12.25));
  EXPECT_EQ(rs.at(0, "flag"), Value(true));
  EXPECT_EQ(rs.at(0, "at"), Value(DateTime{2024, 1, 2, 3, 4, 5, 678}));
  EXPECT_EQ(rs.at(0, "day"), Value(DateTime{2024, 2, 29}));
  EXPECT_EQ(rs.at(0, "small"), Value(-7));
  EXPECT_EQ(rs.at(0, "tiny"), Value(200));
  EXPECT_EQ(rs.at(0, "big"), Value(std::int64_t{9000000000}));
  EXPECT_EQ(rs.at(0, "data"), Value(Bytes{{0x00, 0xFF, 0x10}}));
  for (std::size_t c = 1; c < rs.fields.size(); ++c) EXPECT_TRUE(rs.at(1, c).isNull()) << rs.fields[c].name;

  // A statement without a result set gives an empty recordset, not an error.
  Recordset none = conn_.query("update t set name = 'x' where id = 99");
  EXPECT_TRUE(none.fields.empty());
  EXPECT_TRUE(none.empty());
}

TEST_P(OdbcSqlite, ExecuteReturnsRowsAffected) {
  conn_.execute("create table t (id integer primary key, name varchar(10))");
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(conn_.execute("insert into t values (" + std::to_string(i) + ", 'a')"), 1);
  EXPECT_EQ(conn_.execute("update t set name = 'b'"), 3);
  EXPECT_EQ(conn_.execute("update t set name = 'c' where id = 42"), 0) << "no match is 0 rows, not an error";
  EXPECT_EQ(conn_.execute("delete from t where id = 2"), 1);
  conn_.setCommandTimeout(5);
  EXPECT_EQ(count(conn_, "t"), 2);
}

TEST_P(OdbcSqlite, TextRoundTripsIncludingLongValuesReadInPieces) {
  // In the wide API this driver sits behind the driver manager's Latin-1 conversion, so only the
  // narrow run can carry characters beyond it.
  const std::string unicode = wide() ? "caf\xC3\xA9"
                                     : "Gr\xC3\xBC\xC3\x9F"
                                       "e \xE2\x82\xAC \xE6\x97\xA5 \xF0\x9D\x84\x9E";
  conn_.execute("create table t (id integer, body longvarchar)");
  conn_.execute("insert into t values (1, " + sqlQuote(unicode) + ")");
  // Long enough for many pieces; in the narrow run multi-byte characters straddle piece borders.
  std::string big;
  const std::string unit = wide() ? "0123456789abcdef-" : "ab\xE2\x82\xAC\xF0\x9D\x84\x9E";
  while (big.size() < 100000) big += unit;
  conn_.execute("insert into t values (2, " + sqlQuote(big) + ")");
  conn_.execute("insert into t values (3, '')");

  Recordset rs = conn_.query("select id, body as " +
                             std::string(wide() ? "Body"
                                                : "\"Gr\xC3\xB6\xC3\x9F"
                                                  "e\"") +
                             " from t order by id");
  EXPECT_EQ(rs.fields[1].name, wide() ? "Body"
                                      : "Gr\xC3\xB6\xC3\x9F"
                                        "e");
  ASSERT_EQ(rs.size(), 3u);
  EXPECT_EQ(rs.at(0, 1).toString(), unicode);
  EXPECT_EQ(rs.at(1, 1).toString(), big);
  EXPECT_FALSE(rs.at(2, 1).isNull()) << "an empty text is not NULL";
  EXPECT_EQ(rs.at(2, 1).toString(), "");
}

TEST_P(OdbcSqlite, TransactionsCommitRollBackAndRestoreAutocommit) {
  conn_.execute("create table t (id integer)");
  OdbcConnection other;
  open(other);

  conn_.beginTrans();
  conn_.execute("insert into t values (1)");
  conn_.rollbackTrans();
  EXPECT_EQ(count(conn_, "t"), 0);

  conn_.beginTrans();
  conn_.execute("insert into t values (2)");
  conn_.commitTrans();
  EXPECT_EQ(count(other, "t"), 1);

  // Back in autocommit: a later statement is visible elsewhere without a commit.
  conn_.execute("insert into t values (3)");
  EXPECT_EQ(count(other, "t"), 2);

  {
    Transaction tx(conn_);
    conn_.execute("insert into t values (4)");
  }  // not committed: rolled back
  EXPECT_EQ(count(conn_, "t"), 2);

  EXPECT_THROW(conn_.commitTrans(), DbError) << "commit without a transaction";
  conn_.beginTrans();
  EXPECT_THROW(conn_.beginTrans(), DbError) << "no nested transactions";
  conn_.rollbackTrans();
}

TEST_P(OdbcSqlite, ErrorsCarryTheDatabaseTextAndSqlState) {
  conn_.execute("create table t (id integer primary key)");
  try {
    conn_.query("select * from missing_table");
    FAIL() << "expected a DbError";
  } catch (const DbError& e) {
    EXPECT_NE(e.description().find("no such table: missing_table"), std::string::npos) << e.description();
    EXPECT_NE(e.description().front(), '[') << "driver prefix left in: " << e.description();
    EXPECT_EQ(e.sqlState().size(), 5u);
  }
  conn_.execute("insert into t values (1)");
  try {
    conn_.execute("insert into t values (1)");
    FAIL() << "expected a DbError";
  } catch (const DbError& e) {
    EXPECT_NE(e.description().find("UNIQUE constraint failed"), std::string::npos) << e.description();
  }
  EXPECT_THROW(conn_.execute("SELEC 1"), DbError);
  // The connection is still usable after errors.
  EXPECT_EQ(count(conn_, "t"), 1);
}

TEST_P(OdbcSqlite, CloseAndReopen) {
  EXPECT_TRUE(conn_.isOpen());
  conn_.execute("create table t (id integer)");
  conn_.beginTrans();
  conn_.execute("insert into t values (1)");
  conn_.close();  // an open transaction is rolled back, not left hanging
  EXPECT_FALSE(conn_.isOpen());
  conn_.close();
  try {
    conn_.execute("insert into t values (2)");
    FAIL() << "expected a DbError";
  } catch (const DbError& e) {
    EXPECT_EQ(e.description(), "Operation is not allowed when the object is closed.");
  }
  EXPECT_THROW(conn_.query("select 1"), DbError);
  EXPECT_THROW(conn_.beginTrans(), DbError);
  open(conn_);
  EXPECT_TRUE(conn_.isOpen());
  EXPECT_EQ(count(conn_, "t"), 0);
  conn_.execute("insert into t values (5)");
  open(conn_);  // opening an open connection reconnects
  EXPECT_EQ(count(conn_, "t"), 1);
}

TEST(OdbcFactory, NonEmbeddedDataSourcesGoToOdbc) {
  TempDir dir;
  auto c = makeConnection("Provider=SQLOLEDB.1;User ID=sa;Initial Catalog=BR01;Data Source=BRANCHSRV", dir.path());
  EXPECT_NE(dynamic_cast<OdbcConnection*>(c.get()), nullptr);
  EXPECT_FALSE(c->isOpen());
  auto s = openConnection("DRIVER=" + erpsync::test::sqliteOdbcDriver() + ";Database=" + (dir.path() / "f.db").string(),
                          dir.path());
  EXPECT_NE(dynamic_cast<OdbcConnection*>(s.get()), nullptr);
  EXPECT_TRUE(s->isOpen());
  EXPECT_EQ(s->query("select 41 + 1 as n").at(0, "n").toInt(), 42);
}

TEST(OdbcUnreachable, ClosedPortFailsWithDbErrorAndStaysClosed) {
  ScopedEnv driver("ERPSYNC_ODBC_DRIVER", std::nullopt);  // FreeTDS
  ScopedEnv encrypt("ERPSYNC_ODBC_ENCRYPT", std::nullopt);
  OdbcConnection c;
  try {
    c.open(
        "Provider=SQLOLEDB.1;Password=PLOVERS318#;Persist Security Info=True;User ID=sa;Initial Catalog=BR01;"
        "Data Source=127.0.0.1,1");
    FAIL() << "opened a connection to a closed port";
  } catch (const DbError& e) {
    EXPECT_FALSE(e.description().empty());
    EXPECT_EQ(e.description().find("PLOVERS318#"), std::string::npos) << "the password must not leak into messages";
  }
  EXPECT_FALSE(c.isOpen());
  EXPECT_THROW(c.query("select 1"), DbError);
}

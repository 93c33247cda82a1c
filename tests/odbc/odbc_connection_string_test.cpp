// The OLE DB strings the synchroniser builds, mapped to ODBC driver strings.
#include <gtest/gtest.h>

#include <map>

#include "db/odbc/odbc_connection.h"
#include "db/odbc/odbc_text.h"
#include "odbc_test_env.h"

using erpsync::db::odbc::toOdbcConnectionString;
using erpsync::test::ScopedEnv;

namespace {

// Reads an ODBC connection string the way a driver manager does ({...} values with }} for }), so
// the tests see which keys a driver would actually get.
std::multimap<std::string, std::string> parseOdbc(const std::string& s) {
  std::multimap<std::string, std::string> out;
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t eq = s.find('=', i);
    if (eq == std::string::npos) break;
    std::string key = s.substr(i, eq - i);
    for (auto& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    i = eq + 1;
    std::string value;
    if (i < s.size() && s[i] == '{') {
      ++i;
      while (i < s.size()) {
        if (s[i] == '}') {
          if (i + 1 < s.size() && s[i + 1] == '}') {
            value += '}';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += s[i++];
      }
      if (i < s.size() && s[i] == ';') ++i;
    } else {
      std::size_t semi = s.find(';', i);
      value = s.substr(i, semi == std::string::npos ? std::string::npos : semi - i);
      i = semi == std::string::npos ? s.size() : semi + 1;
    }
    out.emplace(key, value);
  }
  return out;
}

class OdbcConnectionString : public ::testing::Test {
 protected:
  // Every test starts from the defaults whatever the machine's environment says.
  ScopedEnv driver_{"ERPSYNC_ODBC_DRIVER", std::nullopt};
  ScopedEnv encrypt_{"ERPSYNC_ODBC_ENCRYPT", std::nullopt};
};

const std::string kCompany =
    "Provider=SQLOLEDB.1;Password=PLOVERS318#;Persist Security Info=True;User ID=sa;Initial Catalog=BR01;Data "
    "Source=";

}  // namespace

TEST_F(OdbcConnectionString, CompanyAndStartupStringsMapToFreeTdsByDefault) {
  EXPECT_EQ(toOdbcConnectionString(kCompany + "BRANCHSRV"),
            "DRIVER={FreeTDS};SERVER=BRANCHSRV;Port=1433;DATABASE=BR01;UID=sa;PWD=PLOVERS318#;TDS_Version=7.4;"
            "ClientCharset=UTF-8;");
  // Keys in any case, the password key written in lower case, Provider and Persist Security Info dropped.
  EXPECT_EQ(toOdbcConnectionString("Provider=SQLOLEDB.1;Persist Security Info=False;password=s3cret;USER ID=sa;"
                                   "initial catalog=QMRStartup;DATA SOURCE=central.example.com"),
            "DRIVER={FreeTDS};SERVER=central.example.com;Port=1433;DATABASE=QMRStartup;UID=sa;PWD=s3cret;"
            "TDS_Version=7.4;ClientCharset=UTF-8;");
}

TEST_F(OdbcConnectionString, DataSourceFormsGiveServerAndPortForFreeTds) {
  auto keys = [](const std::string& ds) { return parseOdbc(toOdbcConnectionString(kCompany + ds)); };
  auto k = keys("db1,14330");
  EXPECT_EQ(k.find("SERVER")->second, "db1");
  EXPECT_EQ(k.find("PORT")->second, "14330");
  k = keys("db1\\SQLEXPRESS");
  EXPECT_EQ(k.find("SERVER")->second, "db1\\SQLEXPRESS");
  EXPECT_EQ(k.count("PORT"), 0u) << "a fixed port would bypass the instance lookup";
  k = keys("db1\\SQLEXPRESS,5000");
  EXPECT_EQ(k.find("SERVER")->second, "db1");
  EXPECT_EQ(k.find("PORT")->second, "5000");
  k = keys("tcp:10.0.0.7,1500");
  EXPECT_EQ(k.find("SERVER")->second, "10.0.0.7");
  EXPECT_EQ(k.find("PORT")->second, "1500");
  k = keys("(local)");
  EXPECT_EQ(k.find("SERVER")->second, "localhost");
  EXPECT_EQ(k.find("PORT")->second, "1433");
}

TEST_F(OdbcConnectionString, ValuesThatCouldInjectKeysAreQuoted) {
  const std::string odbc = toOdbcConnectionString(
      "Provider=SQLOLEDB.1;Password=\"p;w}d=1\";User ID=sa;Initial Catalog=\"Acme;DSN=evil\";Data Source=my server");
  auto k = parseOdbc(odbc);
  EXPECT_EQ(k.count("DSN"), 0u) << odbc;
  EXPECT_EQ(k.count("DATABASE"), 1u) << odbc;
  EXPECT_EQ(k.find("DATABASE")->second, "Acme;DSN=evil");
  EXPECT_EQ(k.find("PWD")->second, "p;w}d=1");
  EXPECT_EQ(k.find("SERVER")->second, "my server");
  EXPECT_NE(odbc.find("PWD={p;w}}d=1};"), std::string::npos) << odbc;

  using erpsync::db::odbc::detail::quoteOdbcValue;
  EXPECT_EQ(quoteOdbcValue("PLOVERS318#"), "PLOVERS318#");
  EXPECT_EQ(quoteOdbcValue("'quoted"), "{'quoted}");
  EXPECT_EQ(quoteOdbcValue("a{b"), "{a{b}");
}

TEST_F(OdbcConnectionString, DriverAndEncryptionComeFromTheEnvironment) {
  {
    ScopedEnv d("ERPSYNC_ODBC_DRIVER", "ODBC Driver 18 for SQL Server");
    ScopedEnv e("ERPSYNC_ODBC_ENCRYPT", "1");
    const std::string odbc = toOdbcConnectionString(kCompany + "db1\\SQLEXPRESS");
    EXPECT_EQ(odbc,
              "DRIVER={ODBC Driver 18 for SQL Server};SERVER=db1\\SQLEXPRESS;DATABASE=BR01;UID=sa;PWD=PLOVERS318#;"
              "Encrypt=yes;");
    EXPECT_EQ(parseOdbc(toOdbcConnectionString(kCompany + "db1,1500")).find("SERVER")->second, "db1,1500");
  }
  {
    ScopedEnv e("ERPSYNC_ODBC_ENCRYPT", "yes");
    auto k = parseOdbc(toOdbcConnectionString(kCompany + "db1"));
    EXPECT_EQ(k.find("ENCRYPTION")->second, "require");
  }
  {
    ScopedEnv e("ERPSYNC_ODBC_ENCRYPT", "Encryption=strict;");
    EXPECT_TRUE(toOdbcConnectionString(kCompany + "db1").ends_with("ClientCharset=UTF-8;Encryption=strict;"));
  }
  {
    ScopedEnv e("ERPSYNC_ODBC_ENCRYPT", "0");
    auto k = parseOdbc(toOdbcConnectionString(kCompany + "db1"));
    EXPECT_EQ(k.count("ENCRYPTION"), 0u);
  }
  {
    ScopedEnv d("ERPSYNC_ODBC_DRIVER", "/opt/drv/lib}tds.so");
    auto k = parseOdbc(toOdbcConnectionString(kCompany + "db1"));
    EXPECT_EQ(k.find("DRIVER")->second, "/opt/drv/lib}tds.so");
    EXPECT_EQ(k.count("TDS_VERSION"), 0u) << "only FreeTDS gets its own keys";
  }
}

TEST_F(OdbcConnectionString, DriverAndDsnStringsPassThroughUnchanged) {
  ScopedEnv d("ERPSYNC_ODBC_DRIVER", "ODBC Driver 18 for SQL Server");
  for (const std::string s : {"DRIVER={SQLite3};Database=/tmp/x.db", "dsn=Central;uid=sa;pwd=x",
                              "Driver=/usr/lib/libtdsodbc.so;Server=a;Port=1;Initial Catalog=x"})
    EXPECT_EQ(toOdbcConnectionString(s), s);
}

// libFuzzer target: any text sent to the embedded server either runs or fails with a DbError; it
// never crashes, hangs or trips the sanitizers. Each input is translated against a fixed catalog
// and then executed on a scratch server (a table with an identity column, a trigger, numeric and
// datetime columns) that is put back to its first state before every input, so a finding
// reproduces from its input alone.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "db/connection.h"
#include "db/db_error.h"
#include "db/embedded/embedded_server.h"
#include "db/embedded/translator.h"

namespace {

namespace fs = std::filesystem;
using namespace erpsync;
using namespace erpsync::db::embedded;

class FuzzSchema : public SchemaProvider {
 public:
  FuzzSchema() {
    auto col = [](const char* n, BaseType b, int len = 0, int p = 0, int s = 0) {
      ColumnInfo c;
      c.name = n;
      c.type.base = b;
      c.type.length = len;
      c.type.precision = p;
      c.type.scale = s;
      return c;
    };
    sales_.name = "tblSales";
    sales_.columns = {col("InvID", BaseType::Numeric, 0, 18, 0), col("InvNo", BaseType::VarChar, 20),
                      col("InvDate", BaseType::DateTime),        col("Party", BaseType::VarChar, 50),
                      col("Qty", BaseType::Numeric, 0, 18, 2),   col("N", BaseType::Int)};
    sales_.columns[0].identity = true;
    sales_.columns[3].defaultSql = "('x')";
    item_.name = "tblItem";
    item_.columns = {col("ItemID", BaseType::Int), col("Name", BaseType::NVarChar, 40), col("Rate", BaseType::Float),
                     col("InvID", BaseType::Numeric, 0, 18, 0)};
  }
  Found findTable(const CatalogRef& ref, std::string_view name) override {
    Found f;
    if (!ref.server.empty() && ref.server != "central") return f;
    std::string n(name);
    for (auto& ch : n) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (n == "tblsales") f.table = &sales_;
    if (n == "tblitem" || n == "__servers") f.table = &item_;
    f.alias = ref.server.empty() && ref.catalog.empty() ? "main" : "__l_x";
    return f;
  }
  std::string currentCatalog() const override { return "DB"; }

 private:
  TableInfo sales_, item_;
};

// The schema of the scratch server: the shapes the synchroniser's statements meet (an identity
// key, a change-log trigger, numeric quantities, dates) and a second catalog for four-part names.
constexpr const char* kSchema[] = {
    "CREATE TABLE tblSales (InvID numeric(18,0) IDENTITY(1,1) NOT NULL PRIMARY KEY, InvNo varchar(20) NULL, "
    "InvDate datetime NULL, Party varchar(50) NULL DEFAULT ('x'), Qty numeric(18,2) NULL, N int NULL)",
    "CREATE TABLE tblItem (ItemID int NOT NULL, Name nvarchar(40) NULL, Rate float NULL, InvID numeric(18,0) NULL, "
    "CONSTRAINT UQ_tblItem UNIQUE (ItemID))",
    "CREATE TABLE tblLog (LogID int IDENTITY(1,1) NOT NULL, TableName varchar(50) NULL, Action char(1) NULL, "
    "KeyID numeric(18,0) NULL, At datetime NULL)",
    "CREATE TRIGGER trSales ON tblSales FOR INSERT, UPDATE, DELETE AS "
    "INSERT INTO tblLog (TableName, Action, KeyID, At) SELECT 'tblSales', 'I', InvID, GETDATE() FROM inserted "
    "INSERT INTO tblLog (TableName, Action, KeyID, At) SELECT 'tblSales', 'D', InvID, GETDATE() FROM deleted",
    "INSERT INTO tblSales (InvNo, InvDate, Qty, N) VALUES ('S1', '06/Dec/2026', 12.5, 1), ('S2', '2026-12-07', "
    "-3, 2)",
    "INSERT INTO tblItem VALUES (1, N'Tea', 1.5, 1), (2, N'Rice', 40, 2), (3, NULL, NULL, NULL)",
};

std::string connectionString(const std::string& catalog) {
  return "Provider=SQLOLEDB.1;User ID=sa;Initial Catalog=" + catalog + ";Data Source=embedded:server";
}

// The scratch server: built once per process in a temporary folder, its files kept as the
// pristine copy every input starts from.
class ScratchServer {
 public:
  ScratchServer() {
    // Kept in memory where the system offers it: every input restores the server's files.
    std::error_code shm;
    char pattern[64] = "/dev/shm/erpsync_fuzz_XXXXXX";
    if (!fs::is_directory("/dev/shm", shm)) std::snprintf(pattern, sizeof pattern, "/tmp/erpsync_fuzz_XXXXXX");
    if (!mkdtemp(pattern)) std::abort();
    base_ = pattern;
    createServer(base_ / "server");
    {
      auto master = db::openConnection(connectionString("master"), base_);
      master->execute("CREATE DATABASE DB");
      master->execute("CREATE DATABASE Central");
      auto c = db::openConnection(connectionString("DB"), base_);
      for (const char* sql : kSchema) c->execute(sql);
      auto central = db::openConnection(connectionString("Central"), base_);
      central->execute(kSchema[0]);
    }
    fs::copy(base_ / "server", base_ / "pristine", fs::copy_options::recursive);
  }
  ~ScratchServer() {
    std::error_code ec;
    fs::remove_all(base_, ec);
  }

  // A connection to the server as it was first built.
  std::unique_ptr<db::Connection> fresh() {
    // libFuzzer's time-out alarm interrupts file copies now and then: try again.
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
      fs::remove_all(base_ / "server", ec);
      fs::copy(base_ / "pristine", base_ / "server", fs::copy_options::recursive, ec);
      if (!ec) break;
    }
    if (ec) throw fs::filesystem_error("cannot restore the scratch server", ec);
    auto c = db::openConnection(connectionString("DB"), base_);
    c->setCommandTimeout(1);
    return c;
  }

 private:
  fs::path base_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  static ScratchServer server;
  std::string sql(reinterpret_cast<const char*>(data), size);
  FuzzSchema schema;
  try {
    auto out = translateBatch(sql, schema);
    for (auto& t : out) (void)t.sql.size();
  } catch (const db::DbError&) {
  }
  auto c = server.fresh();
  try {
    c->execute(sql);
  } catch (const db::DbError&) {
  }
  try {
    // Whatever the batch left behind must still read back.
    c->query("SELECT * FROM tblSales");
    c->query("SELECT * FROM tblLog");
  } catch (const db::DbError&) {
  }
  return 0;
}

// libFuzzer target: any text fed to the T-SQL translator either translates or fails with a DbError;
// it never crashes, hangs or trips the sanitizers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "db/db_error.h"
#include "db/embedded/translator.h"

namespace {

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  std::string sql(reinterpret_cast<const char*>(data), size);
  FuzzSchema schema;
  try {
    auto out = translateBatch(sql, schema);
    for (auto& t : out) (void)t.sql.size();
  } catch (const erpsync::db::DbError&) {
  }
  return 0;
}

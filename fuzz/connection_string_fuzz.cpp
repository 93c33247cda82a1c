// libFuzzer target: connection strings. Any text parses without a crash and maps to an ODBC driver
// string; and what the parser found, written back with connectionStringValue, parses to the same
// keys and values (the property that keeps a server name or company code from adding keys).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "db/connection_string.h"
#include "db/odbc/odbc_connection.h"
#include "util/text.h"

using namespace erpsync;

namespace {

// Keys the writer can put back as they are: ours never hold "=", ";" or a leading quote.
bool writableKey(const std::string& k) {
  return !k.empty() && k.find_first_of("=;") == std::string::npos && k.front() != '"' && k.front() != '\'' &&
         text::trim(k, text::kWhitespace) == k;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const db::ConnectionString cs = db::ConnectionString::parse(input);
  (void)cs.dataSource();
  (void)db::isEmbeddedDataSource(cs.dataSource());
  (void)db::odbc::toOdbcConnectionString(input);

  std::string written;
  db::ConnectionString expected;
  for (const auto& [k, v] : cs.entries()) {
    if (!writableKey(k)) continue;
    written += k + "=" + db::connectionStringValue(v) + ";";
    expected.set(k, v);
  }
  const db::ConnectionString back = db::ConnectionString::parse(written);
  if (back.entries() != expected.entries()) std::abort();

  // The raw input taken as a single value must survive the same way.
  const db::ConnectionString one =
      db::ConnectionString::parse("Data Source=" + db::connectionStringValue(input) + ";Password=secret");
  if (one.dataSource() != input || one.password() != "secret") std::abort();
  return 0;
}

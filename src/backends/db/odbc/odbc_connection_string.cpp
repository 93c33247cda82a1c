// The OLE DB style strings the synchroniser builds ("Provider=SQLOLEDB.1;...;Data Source=server")
// turned into ODBC driver strings for the SQL Server driver installed on this machine.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>

#include "db/connection_string.h"
#include "db/odbc/odbc_connection.h"
#include "db/odbc/odbc_text.h"
#include "util/text.h"

namespace erpsync::db::odbc {

namespace {

using detail::quoteOdbcValue;

enum class DriverFamily { FreeTds, Microsoft, Other };

std::optional<std::string> environment(const char* name) {
  const char* v = std::getenv(name);
  if (!v) return std::nullopt;
  std::string t = text::trim(v, text::kWhitespace);
  if (t.empty()) return std::nullopt;
  return t;
}

DriverFamily familyOf(const std::string& driver) {
  const std::string d = text::lower(driver);
  if (d.find("freetds") != std::string::npos || d.find("tdsodbc") != std::string::npos) return DriverFamily::FreeTds;
  if (d.find("sql server") != std::string::npos || d.find("msodbcsql") != std::string::npos ||
      d.find("native client") != std::string::npos || d.find("sqlncli") != std::string::npos)
    return DriverFamily::Microsoft;
  return DriverFamily::Other;
}

// First of the given keys that is present (OLE DB providers accept a few synonyms).
std::optional<std::string> firstOf(const ConnectionString& cs, std::initializer_list<std::string_view> keys) {
  for (auto k : keys)
    if (auto v = cs.get(k)) return v;
  return std::nullopt;
}

bool allDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// SERVER (and for FreeTDS the port) from a SQL Server data source: "host", "host,port",
// "host\instance", "host\instance,port", optionally with the "tcp:" protocol prefix.
std::string serverPart(const std::string& dataSource, DriverFamily family) {
  if (dataSource.empty()) return {};
  if (family != DriverFamily::FreeTds) return "SERVER=" + quoteOdbcValue(dataSource) + ";";

  std::string ds = dataSource;
  if (text::lower(ds.substr(0, 4)) == "tcp:") ds = text::trim(ds.substr(4), text::kWhitespace);
  std::string host = ds;
  std::string port;
  if (std::size_t comma = ds.rfind(',');
      comma != std::string::npos && allDigits(text::trim(ds.substr(comma + 1), text::kWhitespace))) {
    port = text::trim(ds.substr(comma + 1), text::kWhitespace);
    host = text::trim(ds.substr(0, comma), text::kWhitespace);
  }
  std::string instance;
  if (std::size_t slash = host.find('\\'); slash != std::string::npos) {
    instance = host.substr(slash + 1);
    host = text::trim(host.substr(0, slash), text::kWhitespace);
  }
  // FreeTDS has no shared-memory transport: the local-machine aliases of SQL Server mean TCP to
  // this host.
  const std::string h = text::lower(host);
  if (h == "." || h == "(local)" || h == "(localhost)") host = "localhost";

  std::string out;
  if (!port.empty()) {
    // An explicit port wins over an instance name (no browser lookup needed).
    out = "SERVER=" + quoteOdbcValue(host) + ";Port=" + port + ";";
  } else if (!instance.empty()) {
    // FreeTDS resolves "host\instance" through the SQL Server Browser; a fixed port would defeat it.
    out = "SERVER=" + quoteOdbcValue(host + "\\" + instance) + ";";
  } else {
    out = "SERVER=" + quoteOdbcValue(host) + ";Port=1433;";
  }
  return out;
}

std::optional<std::string> encryptionPart(DriverFamily family) {
  auto v = environment("ERPSYNC_ODBC_ENCRYPT");
  if (!v) return std::nullopt;
  const std::string l = text::lower(*v);
  if (l == "0" || l == "no" || l == "false" || l == "off") return std::nullopt;
  if (v->find('=') != std::string::npos) {
    std::string t = *v;
    while (!t.empty() && t.back() == ';') t.pop_back();
    return t;
  }
  return family == DriverFamily::FreeTds ? std::string("Encryption=require") : std::string("Encrypt=yes");
}

}  // namespace

std::string toOdbcConnectionString(const std::string& text) {
  const ConnectionString cs = ConnectionString::parse(text);
  if (cs.get("DRIVER") || cs.get("DSN") || cs.get("FILEDSN")) return text;

  std::string driver = environment("ERPSYNC_ODBC_DRIVER").value_or("FreeTDS");
  if (driver.size() >= 2 && driver.front() == '{' && driver.back() == '}') driver = driver.substr(1, driver.size() - 2);
  const DriverFamily family = familyOf(driver);

  std::string out = "DRIVER={";
  for (char c : driver) {
    out += c;
    if (c == '}') out += '}';
  }
  out += "};";
  out += serverPart(
      text::trim(firstOf(cs, {"Data Source", "Server", "Address", "Addr"}).value_or(""), text::kWhitespace), family);
  if (auto db = firstOf(cs, {"Initial Catalog", "Database"}); db && !db->empty())
    out += "DATABASE=" + quoteOdbcValue(*db) + ";";
  if (auto uid = firstOf(cs, {"User ID", "UID"})) out += "UID=" + quoteOdbcValue(*uid) + ";";
  if (auto pwd = firstOf(cs, {"Password", "PWD"})) out += "PWD=" + quoteOdbcValue(*pwd) + ";";
  if (family == DriverFamily::FreeTds) out += "TDS_Version=7.4;ClientCharset=UTF-8;";
  if (auto enc = encryptionPart(family)) out += *enc + ";";
  return out;
}

}  // namespace erpsync::db::odbc

#include "db/connection.h"

#include "db/connection_string.h"
#include "db/embedded/embedded_connection.h"
#include "db/odbc/odbc_connection.h"

namespace erpsync::db {

std::unique_ptr<Connection> makeConnection(const std::string& connectionString, const std::filesystem::path& baseDir) {
  if (isEmbeddedDataSource(ConnectionString::parse(connectionString).dataSource()))
    return std::make_unique<embedded::EmbeddedConnection>(baseDir);
  return std::make_unique<odbc::OdbcConnection>();
}

std::unique_ptr<Connection> openConnection(const std::string& connectionString, const std::filesystem::path& baseDir) {
  auto c = makeConnection(connectionString, baseDir);
  c->open(connectionString);
  return c;
}

std::string sqlQuote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '\'';
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  out += '\'';
  return out;
}

std::string sqlQuoteN(std::string_view text) {
  return "N" + sqlQuote(text);
}

}  // namespace erpsync::db

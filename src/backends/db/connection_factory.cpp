// Picks the backend a connection string asks for.
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

}  // namespace erpsync::db

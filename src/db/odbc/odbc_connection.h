// The production path: SQL Server through ODBC (unixODBC with FreeTDS here, the system ODBC on Windows).
#pragma once

#include <memory>
#include <string>

#include "db/connection.h"

namespace erpsync::db::odbc {

// Maps an OLE DB style string (Provider, Data Source, Initial Catalog, User ID, Password, ...) to an
// ODBC driver string. The driver comes from ERPSYNC_ODBC_DRIVER (default "FreeTDS"); encryption is
// requested when ERPSYNC_ODBC_ENCRYPT is set. A string that already names a DRIVER or DSN is kept as is.
std::string toOdbcConnectionString(const std::string& oledbConnectionString);

class OdbcConnection : public Connection {
 public:
  OdbcConnection();
  ~OdbcConnection() override;

  void open(const std::string& connectionString) override;
  void close() override;
  bool isOpen() const override;
  long long execute(const std::string& sql) override;
  Recordset query(const std::string& sql) override;
  void beginTrans() override;
  void commitTrans() override;
  void rollbackTrans() override;
  void setCommandTimeout(int seconds) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace erpsync::db::odbc

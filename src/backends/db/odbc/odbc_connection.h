// The production path: SQL Server through ODBC (unixODBC with FreeTDS here, the system ODBC on Windows).
#pragma once

#include <memory>
#include <string>

#include "db/connection.h"

namespace erpsync::db::odbc {

// Maps an OLE DB style string (Provider, Data Source, Initial Catalog, User ID, Password, ...) to an
// ODBC driver string. The driver comes from ERPSYNC_ODBC_DRIVER (default "FreeTDS"); encryption is
// requested when ERPSYNC_ODBC_ENCRYPT is set (its value is used when it is a keyword=value pair;
// "0", "no", "false" and "off" leave encryption off). A string that already names a DRIVER or DSN
// is kept as is. Data sources may be "host", "host,port", "host\instance" (FreeTDS gets SERVER and
// Port separately, port 1433 when none is given and no instance is named).
//
// Text goes through the driver's UTF-16 entry points, except for the SQLite ODBC driver whose
// narrow ones are UTF-8; ERPSYNC_ODBC_UNICODE=0/1 forces one or the other.
std::string toOdbcConnectionString(const std::string& oledbConnectionString);

class OdbcConnection : public Connection {
 public:
  OdbcConnection();
  ~OdbcConnection() override;

  // Takes an OLE DB style string or an ODBC one (see toOdbcConnectionString); the login gives up
  // after 10 seconds. Opening an open connection reconnects.
  void open(const std::string& connectionString) override;
  void close() override;
  bool isOpen() const override;
  // Runs a statement or batch to its end; returns the count of the last statement that reports one
  // (0 when an UPDATE or DELETE matched nothing, -1 when none reports one). Triggers' own counts come
  // ahead of their statement's and are passed over; a driver that folds them into the statement's
  // count (FreeTDS does) reports what it folded. Each driver call gets the command time-out; a
  // driver that does not enforce it has the call cancelled a second later.
  long long execute(const std::string& sql) override;
  Recordset query(const std::string& sql) override;
  // With sp_executesql where the server has it (asked once per open), else with the values written in.
  Recordset queryWith(const std::string& sql, const std::vector<Param>& params) override;
  std::vector<Recordset> queryEach(const std::vector<std::string>& selects) override;
  void beginTrans() override;
  void commitTrans() override;
  void rollbackTrans() override;
  void setCommandTimeout(int seconds) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace erpsync::db::odbc

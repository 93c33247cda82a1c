// The embedded server: a SQL Server stand-in that runs T-SQL on SQLite files.
// A server is a directory; each catalog is one SQLite file in it.
#pragma once

#include <filesystem>
#include <memory>

#include "db/connection.h"

namespace erpsync::db::embedded {

class EmbeddedConnection : public Connection {
 public:
  // baseDir resolves relative "embedded:<dir>" data sources (the program folder).
  explicit EmbeddedConnection(std::filesystem::path baseDir);
  ~EmbeddedConnection() override;

  void open(const std::string& connectionString) override;
  void close() override;
  bool isOpen() const override;
  long long execute(const std::string& sql) override;
  Recordset query(const std::string& sql) override;
  void beginTrans() override;
  void commitTrans() override;
  void rollbackTrans() override;
  void setCommandTimeout(int seconds) override;

  // The runtime of an open connection (connection_impl.h); opaque to users of the class.
  struct Impl;

 private:
  std::filesystem::path baseDir_;
  int commandTimeout_ = 30;  // seconds, 0 = no limit; kept across close and open
  std::unique_ptr<Impl> impl_;
};

}  // namespace erpsync::db::embedded

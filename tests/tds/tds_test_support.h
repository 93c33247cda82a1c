// An embedded server folder behind a wire protocol endpoint on a free loopback port, for the tests
// that reach it as a branch reaches SQL Server: through the ODBC backend and FreeTDS.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "db/connection.h"
#include "db/tds/tds_endpoint.h"
#include "shared/sql_login.h"

namespace erpsync::test {

class WireServer {
 public:
  explicit WireServer(const std::filesystem::path& serverDir, const std::filesystem::path& programFolder = {}) {
    db::tds::EndpointConfig cfg;
    cfg.serverDir = serverDir;
    cfg.programFolder = programFolder;
    cfg.user = kSaUser;
    cfg.password = kSaPassword;
    cfg.serverName = serverDir.filename().string();
    endpoint_ = std::make_unique<db::tds::Endpoint>(cfg);
    endpoint_->start();
  }
  int port() const { return endpoint_->port(); }
  // The data source as the settings files name a SQL Server: "127.0.0.1,port".
  std::string dataSource() const { return "127.0.0.1," + std::to_string(port()); }
  std::string connectionString(const std::string& catalog, const std::string& password = kSaPassword) const {
    return "Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;Password=" + password +
           ";Initial Catalog=" + catalog + ";Data Source=" + dataSource();
  }
  std::unique_ptr<db::Connection> connect(const std::string& catalog) const {
    return db::openConnection(connectionString(catalog), std::filesystem::current_path());
  }
  void stop() { endpoint_->stop(); }

 private:
  std::unique_ptr<db::tds::Endpoint> endpoint_;
};

}  // namespace erpsync::test

// The embedded server behind SQL Server's own wire protocol (TDS 7.4): SQL Server clients and
// drivers (FreeTDS's ODBC driver and its tsql, among others) log in to a folder of catalogs and run
// T-SQL on them as they would on a SQL Server. One thread per client connection; a connection that
// sends anything malformed is closed, and the endpoint carries on.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace erpsync::db::tds {

struct EndpointConfig {
  std::filesystem::path serverDir;  // the embedded server's folder
  // What relative "embedded:" data sources of linked servers resolve against (the program folder);
  // the server folder's parent when empty.
  std::filesystem::path programFolder;
  std::string listenAddress = "127.0.0.1";  // an IPv4 address; loopback unless told otherwise
  int port = 0;                             // 0: a free port, see Endpoint::port()
  // The one SQL login accepted; any other user or password is refused with error 18456.
  std::string user;
  std::string password;
  std::string serverName = "ERPSYNC";  // the server's name in error messages
  // Where the endpoint reports what an operator should know (connections refused, malformed
  // requests); nothing when empty. Called from the connections' threads.
  std::function<void(const std::string&)> log;
  // Every request's T-SQL text and every reply's outline go to `log` too (ERPSYNC_TDS_TRACE=1).
  bool trace = false;
};

class Endpoint {
 public:
  explicit Endpoint(EndpointConfig config);
  ~Endpoint();
  Endpoint(const Endpoint&) = delete;
  Endpoint& operator=(const Endpoint&) = delete;

  // Binds and listens, then accepts clients on a thread of its own. Throws std::runtime_error when
  // the address cannot be bound.
  void start();
  // The port it listens on (the one picked when the config asked for 0).
  int port() const;
  // Stops accepting, ends every connection (running statements are cancelled, open transactions
  // rolled back) and waits for their threads. Called by the destructor too.
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace erpsync::db::tds

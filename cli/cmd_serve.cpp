// erpsync-cli serve: serves the catalogs of one embedded server folder over SQL Server's wire protocol
// until SIGTERM or Ctrl-C; connections still open then have their transactions rolled back. It
// accepts the SQL login the program itself uses (see sql_login.h) and refuses any other.
#include "cmd_serve.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <mutex>
#include <thread>

#include "cmd_app.h"
#include "shared/sql_login.h"
#include "stop_signal.h"
#include "util/utf8_path.h"

#ifndef _WIN32
#include "db/tds/tds_endpoint.h"
#endif

namespace erpsync::cli {

void addServeCommand(CLI::App& app, int& exitCode) {
  struct Options {
    std::string dir, listen = "127.0.0.1", home;
    int port = 1433;
  };
  auto opts = std::make_shared<Options>();
  auto* sub = app.add_subcommand("serve", "Serve an embedded server folder over SQL Server's protocol (TDS 7.4)");
  sub->add_option("--dir", opts->dir, "The embedded server's folder (relative to the program folder)")->required();
  sub->add_option("--port", opts->port, "TCP port (default 1433; 0 picks a free one)");
  sub->add_option("--listen", opts->listen, "IPv4 address to listen on (default 127.0.0.1: this machine only)");
  sub->add_option("--home", opts->home, "program folder (default: ERPSYNC_HOME, else the executable's folder)");
  sub->callback([opts, &exitCode] {
#ifdef _WIN32
    std::cerr << "serve is not available on Windows\n";
    exitCode = kExitUsage;
#else
    const std::filesystem::path home = resolveProgramFolder(opts->home);
    std::filesystem::path dir = util::pathFromUtf8(opts->dir);
    if (dir.is_relative()) dir = home / dir;
    if (!std::filesystem::is_directory(dir)) {
      std::cerr << "No embedded server folder at " << dir.string() << "\n";
      exitCode = kExitUsage;
      return;
    }
    const SqlLoginResult login = loadSqlLogin(home);
    if (!login.problem.empty()) std::cerr << login.problem << "\n";
    auto logMutex = std::make_shared<std::mutex>();
    db::tds::EndpointConfig cfg;
    cfg.serverDir = dir;
    cfg.programFolder = home;
    cfg.listenAddress = opts->listen;
    cfg.port = opts->port;
    cfg.user = login.login.user;
    cfg.password = login.login.password;
    cfg.serverName = dir.filename().string();
    cfg.log = [logMutex](const std::string& text) {
      std::lock_guard<std::mutex> lock(*logMutex);
      std::cerr << text << std::endl;
    };
    if (const char* t = std::getenv("ERPSYNC_TDS_TRACE"); t && *t && std::string(t) != "0") cfg.trace = true;
    const std::atomic<bool>& stop = installStopHandlers();
    db::tds::Endpoint endpoint(cfg);
    try {
      endpoint.start();
    } catch (const std::exception& e) {
      std::cerr << e.what() << "\n";
      exitCode = kExitOperationError;
      return;
    }
    std::cout << "Listening on " << opts->listen << " port " << endpoint.port() << std::endl;
    while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    endpoint.stop();
    std::cout << "Stopped (" << stopReason() << ")" << std::endl;
    exitCode = kExitOk;
#endif
  });
}

}  // namespace erpsync::cli

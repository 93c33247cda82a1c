// erpsync-cli serve: one embedded server folder behind SQL Server's wire protocol, so SQL Server
// clients (the ODBC backend with FreeTDS, FreeTDS's tsql) reach its catalogs as a branch reaches its
// SQL Server.
#pragma once

namespace CLI {
class App;
}

namespace erpsync::cli {

// serve --dir DIR [--port N] [--listen ADDRESS] [--home DIR]
void addServeCommand(CLI::App& app, int& exitCode);

}  // namespace erpsync::cli

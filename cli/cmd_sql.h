// erpsync-cli sql: a console for people to run T-SQL on either backend (embedded server or SQL Server).
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
}

namespace erpsync::cli {

// sql --server DS --database DB (-e SQL ... | --file F) [--home DIR]
void addSqlCommand(CLI::App& app, int& exitCode);

// True when a batch is run as a query and its rows are printed: its first keyword is SELECT or WITH, or it
// holds a SELECT outside parentheses and no statement that changes data or schema.
bool isQueryBatch(std::string_view sql);

// Runs the batches in order on one connection, printing each result to out; stops at the first error,
// whose description goes to err. Returns the exit code (0 ok, 1 error).
int runSqlBatches(const std::string& server, const std::string& database, const std::string& home,
                  const std::vector<std::string>& batches, std::ostream& out, std::ostream& err);

}  // namespace erpsync::cli

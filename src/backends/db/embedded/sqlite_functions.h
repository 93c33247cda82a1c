// The SQL functions and the TSQL collation the translated statements call inside SQLite.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;

namespace erpsync::db::embedded {

// Per-connection state the functions read: the identity counter of the statement being run.
struct FunctionHost {
  bool identityActive = false;
  std::int64_t identityNext = 0;
  std::int64_t identityIncrement = 1;
  std::int64_t identityLast = 0;
  int identityCount = 0;
};

void registerFunctions(sqlite3* db, FunctionHost* host);

// Errors raised inside a function carry the SQL Server wording, state and number through SQLite's
// error text; decodeFunctionError() reads them back (false when the text is not one of ours).
std::string encodeFunctionError(const std::string& message, const std::string& state, long native);
bool decodeFunctionError(const std::string& text, std::string& message, std::string& state, long& native);

}  // namespace erpsync::db::embedded

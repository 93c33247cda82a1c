// The SQL functions and the TSQL collation the translated statements call inside SQLite.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

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

// Call from inside a catch block of a SQLite callback: sets the function's result to the error the
// exception stands for (a DbError as it is; running out of memory as SQL Server reports it).
void reportFunctionException(sqlite3_context* ctx) noexcept;

// A SQLite user function that lets no C++ exception unwind through SQLite's C frames: register
// guarded<fn> instead of fn.
template <void (*F)(sqlite3_context*, int, sqlite3_value**)>
void guarded(sqlite3_context* ctx, int argc, sqlite3_value** argv) noexcept {
  try {
    F(ctx, argc, argv);
  } catch (...) {
    reportFunctionException(ctx);
  }
}

// The same for the final step of an aggregate.
template <void (*F)(sqlite3_context*)>
void guardedFinal(sqlite3_context* ctx) noexcept {
  try {
    F(ctx);
  } catch (...) {
    reportFunctionException(ctx);
  }
}

}  // namespace erpsync::db::embedded

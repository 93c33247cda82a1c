// Helpers of the ODBC tests: environment variables set for one scope, and where the SQLite ODBC
// driver lives on this machine.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace erpsync::test {

// Sets (or with nullopt removes) an environment variable until the end of the scope.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    apply(value);
  }
  ~ScopedEnv() { apply(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void apply(const std::optional<std::string>& v) {
#ifdef _WIN32
    _putenv_s(name_.c_str(), v ? v->c_str() : "");
#else
    if (v)
      setenv(name_.c_str(), v->c_str(), 1);
    else
      unsetenv(name_.c_str());
#endif
  }
  std::string name_;
  std::optional<std::string> old_;
};

// The DRIVER= value for the SQLite ODBC driver: ERPSYNC_TEST_SQLITE_ODBC when set, else the driver
// library where Debian and Ubuntu install it, else the name unixODBC registers it under.
inline std::string sqliteOdbcDriver() {
  if (const char* v = std::getenv("ERPSYNC_TEST_SQLITE_ODBC"); v && *v) return v;
  for (const char* p :
       {"/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so", "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so",
        "/usr/lib/odbc/libsqlite3odbc.so", "/usr/lib64/libsqlite3odbc.so"})
    if (std::filesystem::exists(p)) return p;
  return "{SQLite3}";
}

}  // namespace erpsync::test

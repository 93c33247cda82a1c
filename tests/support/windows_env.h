// setenv and unsetenv for the Windows build of the tests (the C runtime there has _putenv_s instead).
// Included ahead of every test source by the Windows build only.
#pragma once

#ifdef _WIN32
#include <cstdlib>

inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && std::getenv(name)) return 0;
  return _putenv_s(name, value);
}

// An empty value removes the variable.
inline int unsetenv(const char* name) {
  return _putenv_s(name, "");
}
#endif

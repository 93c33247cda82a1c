// erpsync-cli: the headless runner's entry point; every verb is added by its cmd_*.cpp.
#include "cli_app.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include <filesystem>
#include <string>
#include <vector>

#include "util/utf8_path.h"

// Windows hands main() its arguments in the legacy ANSI code page, which cannot hold every name a
// program folder, server or company may have; the program's text is UTF-8. The arguments are taken
// as the system keeps them (UTF-16) and turned into UTF-8, and the console shows UTF-8.
int main() {
  int argc = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!wide) return 2;
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(erpsync::util::pathToUtf8(std::filesystem::path(wide[i])));
  LocalFree(wide);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  SetConsoleOutputCP(CP_UTF8);
  return erpsync::cli::run(argc, argv.data());
}

#else

int main(int argc, char** argv) {
  return erpsync::cli::run(argc, argv);
}

#endif

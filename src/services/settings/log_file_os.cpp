// The daily log's file on each system (see log_file_os.h).
#include "settings/log_file_os.h"

#ifdef _WIN32
#include <stdio.h>
#else
#include <sys/stat.h>
#endif

namespace erpsync::settings {

#ifdef _WIN32

// The wide name, so a program folder or company code in any script opens the file it names.
std::FILE* openLogForAppend(const std::filesystem::path& path) {
  return _wfopen(path.c_str(), L"ab");
}

bool logStaysOpen() {
  return false;
}

// Never asked: the log is not held open here.
bool heldFileDeleted(std::FILE*) {
  return false;
}
bool heldFileIsAt(std::FILE*, const std::filesystem::path&) {
  return true;
}

#else

std::FILE* openLogForAppend(const std::filesystem::path& path) {
  return std::fopen(path.c_str(), "ab");
}

bool logStaysOpen() {
  return true;
}

bool heldFileDeleted(std::FILE* file) {
  struct stat held {};
  return ::fstat(::fileno(file), &held) != 0 || held.st_nlink == 0;
}

bool heldFileIsAt(std::FILE* file, const std::filesystem::path& path) {
  struct stat held {
  }, named{};
  return ::fstat(::fileno(file), &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

#endif

}  // namespace erpsync::settings

// Shared helpers for the tests: temporary folders and the path of the command-line program.
#pragma once

#include <filesystem>
#include <string>

namespace erpsync::test {

// A fresh empty folder under the system temp folder, removed when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& p);
void writeFile(const std::filesystem::path& p, const std::string& text);
inline std::string cliPath() {
  return ERPSYNC_CLI_PATH;
}

}  // namespace erpsync::test

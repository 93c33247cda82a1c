// Shared helpers for the tests: temporary folders and the path of the command-line program.
#pragma once

#include <cstdlib>

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
// The erpsync-cli the tests run: the one built beside them, or ERPSYNC_TEST_CLI (a copy kept apart from a
// build tree that is being rebuilt while a long run such as the fault sweep goes on).
std::string cliPath();
// The source tree the tests were built from (for tests/corpus).
std::filesystem::path sourceDir();

}  // namespace erpsync::test

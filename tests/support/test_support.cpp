// Temporary folders, whole-file reads and writes, and where the built program and the sources are.
#include "test_support.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace erpsync::test {

TempDir::TempDir() {
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    path_ = base / ("erpsync-test-" + std::to_string(rd()));
    if (std::filesystem::create_directory(path_)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!std::getenv("ERPSYNC_KEEP_TEST_DIRS")) std::filesystem::remove_all(path_, ec);
}

std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string cliPath() {
  const char* other = std::getenv("ERPSYNC_TEST_CLI");
  return other && *other ? std::string(other) : std::string(ERPSYNC_CLI_PATH);
}

std::filesystem::path sourceDir() {
  return std::filesystem::path(ERPSYNC_SOURCE_DIR);
}

void writeFile(const std::filesystem::path& p, const std::string& text) {
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << text;
}

}  // namespace erpsync::test

// A benchmark's servers live in a fresh folder under ERPSYNC_BENCH_DIR (default: the temporary folder),
// removed with everything in it when the object goes, after the connections into it are closed.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace erpsync::bench {

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix) {
    std::random_device rd;
    const char* dir = std::getenv("ERPSYNC_BENCH_DIR");
    path = (dir && *dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path()) /
           (prefix + std::to_string(rd()));
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::filesystem::path path;
};

}  // namespace erpsync::bench

// Replacing a settings file in one step. The settings files hold the high-water marks of both change
// logs, so a crash or power loss in the middle of a rewrite must leave either the old file or the new
// one, never an empty or half-written file. The new content goes to a temporary file beside the
// original, is flushed to disk, and then renamed over the original.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <system_error>

#include "settings/settings_files.h"
#include "util/utf8_path.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace erpsync::settings {

namespace fs = std::filesystem;

namespace {

// A name no other writer of the same folder uses at the same moment (several branches may share a
// program folder's parent, and two processes may write the same settings file).
fs::path temporaryNameFor(const fs::path& path) {
  static std::atomic<unsigned> counter{0};
  auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
#ifdef _WIN32
  unsigned long pid = GetCurrentProcessId();
#else
  unsigned long pid = static_cast<unsigned long>(getpid());
#endif
  std::string name = "~" + util::pathToUtf8(path.filename()) + "." + std::to_string(pid) + "." +
                     std::to_string(static_cast<unsigned long long>(ticks) % 1000000007ULL) + "." +
                     std::to_string(counter.fetch_add(1)) + ".tmp";
  return path.parent_path() / util::pathFromUtf8(name);
}

#ifdef _WIN32

bool writeAndFlush(const fs::path& tmp, const std::string& text) {
  HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < text.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
    DWORD written = 0;
    ok = WriteFile(h, text.data() + done, chunk, &written, nullptr) && written > 0;
    done += written;
  }
  ok = ok && FlushFileBuffers(h);
  ok = CloseHandle(h) && ok;
  return ok;
}

bool renameOver(const fs::path& from, const fs::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else

bool writeAndFlush(const fs::path& tmp, const std::string& text) {
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok;
}

// rename() replaces the target atomically on POSIX; syncing the folder makes the new name durable.
bool renameOver(const fs::path& from, const fs::path& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return false;
  fs::path dir = to.parent_path().empty() ? fs::path(".") : to.parent_path();
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

#endif

}  // namespace

bool replaceFileContents(const fs::path& path, const std::string& text) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return false;
  fs::path tmp = temporaryNameFor(path);
  if (!writeAndFlush(tmp, text)) {
    fs::remove(tmp, ec);
    return false;
  }
  // Keep the permissions the operator gave the original file.
  auto st = fs::status(path, ec);
  if (!ec && fs::exists(st)) fs::permissions(tmp, st.permissions(), fs::perm_options::replace, ec);
  if (!renameOver(tmp, path)) {
    fs::remove(tmp, ec);
    return false;
  }
  return true;
}

}  // namespace erpsync::settings

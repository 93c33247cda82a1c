// The lock file on each system (see program_folder_lock_os.h).
#include "settings/program_folder_lock_os.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace erpsync::settings {

#ifdef _WIN32

struct OsLockedFile {
  HANDLE handle;
};

// The lock covers one byte far beyond the text, so the programs that find the lock taken can still
// read who holds it (a locked range cannot be read on Windows).
OsLockedFile* lockFileNow(const std::filesystem::path& path, bool& heldElsewhere) {
  heldElsewhere = false;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  OVERLAPPED at{};
  at.OffsetHigh = 1;
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    heldElsewhere = GetLastError() == ERROR_LOCK_VIOLATION;
    CloseHandle(h);
    return nullptr;
  }
  return new OsLockedFile{h};
}

bool writeLockedFile(OsLockedFile* file, const std::string& text) {
  if (!file) return false;
  if (SetFilePointer(file->handle, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  if (!SetEndOfFile(file->handle)) return false;
  DWORD written = 0;
  return WriteFile(file->handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

void unlockFile(OsLockedFile* file) {
  if (!file) return;
  OVERLAPPED at{};
  at.OffsetHigh = 1;
  UnlockFileEx(file->handle, 0, 1, 0, &at);
  CloseHandle(file->handle);
  delete file;
}

unsigned long currentProcessId() {
  return GetCurrentProcessId();
}

#else

struct OsLockedFile {
  int fd;
};

// flock: the lock belongs to this open of the file, so a second open in the same process (a second
// window of one program) is refused as another process would be. Not inherited by programs started
// from here (close-on-exec): the notifier must not keep the folder locked.
OsLockedFile* lockFileNow(const std::filesystem::path& path, bool& heldElsewhere) {
  heldElsewhere = false;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    heldElsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return nullptr;
  }
  return new OsLockedFile{fd};
}

bool writeLockedFile(OsLockedFile* file, const std::string& text) {
  if (!file || ::ftruncate(file->fd, 0) != 0) return false;
  return ::pwrite(file->fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
}

void unlockFile(OsLockedFile* file) {
  if (!file) return;
  ::flock(file->fd, LOCK_UN);
  ::close(file->fd);
  delete file;
}

unsigned long currentProcessId() {
  return static_cast<unsigned long>(::getpid());
}

#endif

}  // namespace erpsync::settings

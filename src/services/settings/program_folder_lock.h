// One mover of data per program folder: the window, a service and a second window (or a second
// headless runner) on the same program folder share its settings, marks and logs, and never run a pass
// or an operation at the same time. The lock is an OS lock on a file in the program folder; the file
// says who holds it (process id and program), so the one that finds it taken can tell the operator.
#pragma once

#include <filesystem>
#include <string>

namespace erpsync::settings {

struct OsLockedFile;

// The lock file: programFolder/erpsync.lock.
std::filesystem::path programFolderLockPath(const std::filesystem::path& programFolder);

class ProgramFolderLock {
 public:
  explicit ProgramFolderLock(std::filesystem::path programFolder) : folder_(std::move(programFolder)) {}
  ~ProgramFolderLock() { release(); }
  ProgramFolderLock(const ProgramFolderLock&) = delete;
  ProgramFolderLock& operator=(const ProgramFolderLock&) = delete;

  // Takes the lock without waiting and writes "<program> (process <pid>)" into the file. False when
  // someone else holds it: holder() then says who. A lock file that cannot be created at all (a
  // read-only program folder) does not stop the program: it works unlocked, as before there was a lock.
  bool take(const std::string& program);
  void release();
  bool held() const { return file_ != nullptr; }
  // Who holds the lock, as its file says ("erpsync-cli run (process 4242)"), when take() failed.
  const std::string& holder() const { return holder_; }

 private:
  std::filesystem::path folder_;
  OsLockedFile* file_ = nullptr;
  bool unlocked_ = false;  // taken without a lock file (it could not be created)
  std::string holder_;
};

}  // namespace erpsync::settings

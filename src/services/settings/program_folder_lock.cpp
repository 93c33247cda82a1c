// The program folder's lock (see program_folder_lock.h).
#include "settings/program_folder_lock.h"

#include <fstream>
#include <sstream>

#include "settings/program_folder_lock_os.h"
#include "util/text.h"

namespace erpsync::settings {

std::filesystem::path programFolderLockPath(const std::filesystem::path& programFolder) {
  return programFolder / "erpsync.lock";
}

bool ProgramFolderLock::take(const std::string& program) {
  if (held() || unlocked_) return true;
  holder_.clear();
  bool elsewhere = false;
  const auto path = programFolderLockPath(folder_);
  file_ = lockFileNow(path, elsewhere);
  if (file_) {
    writeLockedFile(file_, program + " (process " + std::to_string(currentProcessId()) + ")");
    return true;
  }
  if (!elsewhere) {
    unlocked_ = true;
    return true;
  }
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  holder_ = text::trim(text.str(), text::kWhitespace);
  // The holder writes its name just after it locks: a look in between finds the file still empty.
  if (holder_.empty()) holder_ = "another program";
  return false;
}

void ProgramFolderLock::release() {
  unlockFile(file_);
  file_ = nullptr;
  unlocked_ = false;
}

}  // namespace erpsync::settings

// The daily log: one text file per working date, each entry under a separator line.
#include "settings/daily_log.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "settings/log_file_os.h"
#include "settings/settings_files.h"
#include "util/utf8_path.h"

namespace erpsync::settings {

namespace fs = std::filesystem;

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

std::string logTimestamp(const db::DateTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute, t.second);
  return buf;
}

fs::path LogFolderFor(const fs::path& programFolder, const std::string& localDbCode, const db::DateTime& today) {
  const char* month = today.month >= 1 && today.month <= 12 ? kMonths[today.month - 1] : "";
  char year[8];
  std::snprintf(year, sizeof year, "%04d", today.year);
  // The first five characters (not bytes: a multi-byte character is never cut) of the code, as one
  // folder name under the program folder: a separator, a drive colon or a character Windows refuses
  // in file names becomes "_", so no company code leads the log anywhere else.
  std::string prefix;
  int characters = 0;
  for (std::size_t i = 0; i < localDbCode.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(localDbCode[i]);
    if ((c & 0xC0) != 0x80 && ++characters > 5) break;
    const bool refused =
        c < 0x20 || c == 0x7F || std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
    prefix += refused ? '_' : static_cast<char>(c);
  }
  return programFolder / util::pathFromUtf8(prefix + " " + month + " " + year);
}

fs::path LogFilePath(const fs::path& logFolder, const db::DateTime& workingDate) {
  char name[24];
  std::snprintf(name, sizeof name, "%02d%02d%04d.txt", workingDate.day, workingDate.month, workingDate.year);
  return logFolder / name;
}

bool WriteLogEntry(const fs::path& logFolder, const db::DateTime& workingDate, const db::DateTime& now,
                   const std::string& label, const std::string& detail) {
  DailyLogFile file;
  return file.append(logFolder, workingDate, now, label, detail);
}

}  // namespace erpsync::settings

namespace erpsync::settings {

void DailyLogFile::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  path_.clear();
}

// Support staff may delete or move a log while the program runs, and entries written to a removed
// file would be lost without a word. A deleted (or replaced) file is seen at the next entry; a moved
// one within a second, the entries of that second staying readable in the moved file. Other writers
// (the window beside the headless runner) need nothing: the file is opened for appending, so every
// write lands at its end.
bool DailyLogFile::stillCurrent() {
  if (heldFileDeleted(file_)) return false;
  const auto now = std::chrono::steady_clock::now();
  if (now - lookedAt_ < std::chrono::seconds(1)) return true;
  lookedAt_ = now;
  return heldFileIsAt(file_, path_);
}

bool DailyLogFile::append(const fs::path& logFolder, const db::DateTime& workingDate, const db::DateTime& now,
                          const std::string& label, const std::string& detail) {
  // Before the first connect there is no log folder; entries would otherwise land in whatever folder
  // the program was started from.
  if (logFolder.empty()) return true;
  if (datePath_.empty() || folder_ != logFolder || date_ != workingDate) {
    datePath_ = LogFilePath(logFolder, workingDate);
    folder_ = logFolder;
    date_ = workingDate;
  }
  const fs::path& path = datePath_;
  const std::string entry = "\r\n" + separatorLine() + "\r\n[" + logTimestamp(now) + "]\t" + label + "\t" + detail;
  // A write that fails on a file held open (the disk was full for a moment, the share went away) is
  // tried once more on a freshly opened file before the entry counts as lost.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (file_ && (path_ != path || !stillCurrent())) close();
    if (!file_) {
      file_ = openLogForAppend(path);
      if (!file_) return false;
      path_ = path;
      lookedAt_ = std::chrono::steady_clock::now();
    }
    if (std::fwrite(entry.data(), 1, entry.size(), file_) == entry.size() && std::fflush(file_) == 0) {
      if (!logStaysOpen()) close();
      return true;
    }
    close();
  }
  return false;
}

}  // namespace erpsync::settings

// The daily log: one text file per working date in the log folder, read by support staff.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "db/value.h"

namespace erpsync::settings {

// Program folder + "/" + first five characters of the branch company code + " " + month abbreviation
// + " " + four-digit year, of the given local date.
std::filesystem::path LogFolderFor(const std::filesystem::path& programFolder, const std::string& localDbCode,
                                   const db::DateTime& today);

// logFolder/DDMMYYYY.txt of the working date.
std::filesystem::path LogFilePath(const std::filesystem::path& logFolder, const db::DateTime& workingDate);

// The timestamp of a log entry: "dd/MM/yyyy HH:mm:ss", e.g. "07/12/2026 09:05:03" (24-hour clock).
// One fixed form on every workstation, so support staff read every branch's logs the same way.
std::string logTimestamp(const db::DateTime& t);

// Appends "[" + now as general date-time text + "]" TAB label TAB detail under a separator line
// (CR LF + separator + CR LF + entry, no line break after it). Nothing is written while logFolder is
// empty (before the first connect), and nothing when the folder does not exist. Returns false when the
// entry did not reach the file (an empty logFolder is no failure: there is no log yet).
bool WriteLogEntry(const std::filesystem::path& logFolder, const db::DateTime& workingDate, const db::DateTime& now,
                   const std::string& label, const std::string& detail);

// The daily log file kept open between entries: an upload writes several entries per voucher, and
// opening and closing the file for each of them costs more than the voucher's statements. Every entry
// is flushed as it is written, so a reader (or a crash) sees it at once; the file is reopened when the
// path changes (a new working date) and closed by close(), which an operation calls when it ends so
// that the file is not held between operations. On Windows, which refuses to delete a file held open,
// every entry opens and closes the file, so support staff can always clear a log away.
class DailyLogFile {
 public:
  DailyLogFile() = default;
  DailyLogFile(const DailyLogFile&) = delete;
  DailyLogFile& operator=(const DailyLogFile&) = delete;
  ~DailyLogFile() { close(); }

  // Appends one entry (under its separator line) as WriteLogEntry does; false when it did not reach
  // the file.
  bool append(const std::filesystem::path& logFolder, const db::DateTime& workingDate, const db::DateTime& now,
              const std::string& label, const std::string& detail);
  void close();

 private:
  // Whether the file held open is still the day's log on disk.
  bool stillCurrent();

  std::FILE* file_ = nullptr;
  std::filesystem::path path_;
  // The path of the last folder and working date asked for, built once for the entries that follow.
  std::filesystem::path folder_;
  db::DateTime date_;
  std::filesystem::path datePath_;
  std::chrono::steady_clock::time_point lookedAt_{};
};

}  // namespace erpsync::settings

// The daily log: one text file per working date, each entry under a separator line.
#include "settings/daily_log.h"

#include <cstdio>

#include "settings/settings_files.h"

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
  return programFolder / (localDbCode.substr(0, 5) + " " + month + " " + year);
}

fs::path LogFilePath(const fs::path& logFolder, const db::DateTime& workingDate) {
  char name[24];
  std::snprintf(name, sizeof name, "%02d%02d%04d.txt", workingDate.day, workingDate.month, workingDate.year);
  return logFolder / name;
}

bool WriteLogEntry(const fs::path& logFolder, const db::DateTime& workingDate, const db::DateTime& now,
                   const std::string& label, const std::string& detail) {
  // Before the first connect there is no log folder; entries would otherwise land in whatever folder
  // the program was started from.
  if (logFolder.empty()) return true;
  return appendTextEntry(LogFilePath(logFolder, workingDate), "[" + logTimestamp(now) + "]\t" + label + "\t" + detail);
}

}  // namespace erpsync::settings

// The daily log: one text file per working date in the log folder, read by support staff.
#pragma once

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

}  // namespace erpsync::settings

// How the daily log file is opened on this system: the one part of the log that differs between
// Windows and the others.
#pragma once

#include <cstdio>
#include <filesystem>

namespace erpsync::settings {

// The file opened for appending bytes as they are; nullptr when it cannot be opened.
std::FILE* openLogForAppend(const std::filesystem::path& path);

// Whether the log may stay open between entries. Where an open file can be deleted or moved (POSIX) it
// may: the next entry sees that the file on disk is no longer the one held and opens it afresh. Windows
// refuses to delete or move a file that is held open, and support staff must be able to clear away a
// log while the program runs, so there each entry opens, appends and closes.
bool logStaysOpen();

// Whether the file held open has lost its last name (deleted, or replaced by another file of that
// name). A look at the open file only, cheap enough for every entry.
bool heldFileDeleted(std::FILE* file);

// Whether the file held open is the one at `path` (not moved away). A look at the directory.
bool heldFileIsAt(std::FILE* file, const std::filesystem::path& path);

}  // namespace erpsync::settings

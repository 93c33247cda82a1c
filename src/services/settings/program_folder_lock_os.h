// How a lock file is held on this system: the one part of the program folder's lock that differs
// between Windows and the others.
#pragma once

#include <filesystem>
#include <string>

namespace erpsync::settings {

// An open lock file, held with an exclusive OS lock (nullptr: none). The lock goes with the process:
// a program that ends or crashes leaves no lock behind, only the file.
struct OsLockedFile;

// Opens path (creating it) and locks it without waiting. Returns nullptr when another open of the file
// holds the lock, in this process or another (heldElsewhere true), or when it cannot be opened.
OsLockedFile* lockFileNow(const std::filesystem::path& path, bool& heldElsewhere);

// Replaces what the locked file holds with text (read by the programs that find the lock taken).
bool writeLockedFile(OsLockedFile* file, const std::string& text);

// Unlocks and closes the file (the file itself stays).
void unlockFile(OsLockedFile* file);

// This process's id.
unsigned long currentProcessId();

}  // namespace erpsync::settings

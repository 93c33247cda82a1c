// File names and text. The program keeps every text, file names included, as UTF-8; a path made from
// a std::string (or turned back into one with string()) is read in the system's narrow encoding, which
// on Windows is the legacy ANSI code page, not UTF-8. Every conversion between a name and a path goes
// through these two, so a program folder, server folder or company code in any script names the same
// file on every system.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace erpsync::util {

// The path named by UTF-8 text. A byte sequence that is not UTF-8 becomes U+FFFD on Windows (whose
// file names are UTF-16) and stays as it is elsewhere; it never throws.
std::filesystem::path pathFromUtf8(std::string_view utf8);

// The path as UTF-8 text, for messages, logs, settings and SQLite. A Windows name that is not valid
// UTF-16 (a lone surrogate) gives U+FFFD in its place; it never throws.
std::string pathToUtf8(const std::filesystem::path& path);

}  // namespace erpsync::util

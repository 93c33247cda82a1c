// The settings files in the Resources folder and whole-file text access. The formats are shared with
// existing installations: one "key=value" per line, CR LF between lines, no line break after the last.
#pragma once

#include <filesystem>
#include <string>

namespace erpsync {
class Host;
}

namespace erpsync::settings {

// Paths of the four files under the program folder.
std::filesystem::path appSettingsPath(const std::filesystem::path& programFolder);   // Resources/Appsettings.ini
std::filesystem::path loopSettingsPath(const std::filesystem::path& programFolder);  // Resources/AppsettingsLoop.ini
std::filesystem::path serverNamePath(const std::filesystem::path& programFolder);    // Resources/ServerName.ini
std::filesystem::path timezonePath(const std::filesystem::path& programFolder);      // Resources/TIMEZONE.ini

// read: the whole file ("" on any failure). !read && !append: replace the file with exactly text
// (written to a temporary file and renamed, so a crash never leaves a half-written file).
// !read && append: append CR LF + separator line + CR LF + text. Never reports; failures give "".
std::string ReadWriteTextFile(const std::filesystem::path& path, bool read, const std::string& text, bool append);

// The append of ReadWriteTextFile (CR LF + separator line + CR LF + text), telling whether the text
// reached the file: false when the file cannot be opened (its folder is missing, it is read-only) or
// the write fails (disk full).
bool appendTextEntry(const std::filesystem::path& path, const std::string& text);

// Reads (write=false) or writes one key. On a read, value holds the default on entry and the value
// found on return; a missing key is appended with the default. A value to write that holds a line
// break or "=" is refused (nothing is written): it could not be read back as written. Errors show a message box
// (exclamation).
std::string ReadWriteSetting(Host& host, const std::filesystem::path& path, const std::string& key, std::string& value,
                             bool write);

// First line of Resources/ServerName.ini without CR/LF; "" when missing or empty.
std::string ReadLocalServerName(const std::filesystem::path& programFolder);

// Minutes added to the central server's UTC clock, from Resources/TIMEZONE.ini: the leading numeric
// part of the whole file, 0 when the file is missing or empty. Throws std::overflow_error("Overflow")
// when the number does not fit a 16-bit signed integer.
int ReadTimezoneMinutes(const std::filesystem::path& programFolder);

// Replaces the file with exactly text: written to a temporary file in the same folder, flushed to
// disk and renamed over the original. Returns false (leaving the original untouched and no
// temporary file behind) when any step fails.
bool replaceFileContents(const std::filesystem::path& path, const std::string& text);

// The separator line written before every appended entry: "*" + 100 "=" + "*".
const std::string& separatorLine();

}  // namespace erpsync::settings

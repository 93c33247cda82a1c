// The settings files in the Resources folder: whole-file text access and one-key settings access.
#include "settings/settings_files.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "db/value.h"
#include "form/host.h"
#include "util/text.h"
#include "util/utf8_path.h"

namespace erpsync::settings {

namespace fs = std::filesystem;

namespace {

const char* const kCrLf = "\r\n";

// Lines are separated by CR LF; a bare LF (a file edited with a Unix editor) also ends a line.
std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t lf = text.find('\n', start);
    std::string line = text.substr(start, lf == std::string::npos ? std::string::npos : lf - start);
    if (!line.empty() && line.back() == '\r' && lf != std::string::npos) line.pop_back();
    lines.push_back(std::move(line));
    if (lf == std::string::npos) break;
    start = lf + 1;
  }
  return lines;
}

std::string join(const std::vector<std::string>& lines) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) out += kCrLf;
    out += lines[i];
  }
  return out;
}

// Reads the whole file; false when it cannot be opened or read.
bool readWhole(const fs::path& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) return false;
  out = ss.str();
  return true;
}

// The failure shown to the operator by ReadWriteSetting.
struct SettingError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void failWrite(const fs::path& path) {
  std::error_code ec;
  if (!path.parent_path().empty() && !fs::is_directory(path.parent_path(), ec))
    throw SettingError("Path not found: " + util::pathToUtf8(path));
  throw SettingError("Permission denied: " + util::pathToUtf8(path));
}

}  // namespace

fs::path appSettingsPath(const fs::path& programFolder) {
  return programFolder / "Resources" / "Appsettings.ini";
}
fs::path loopSettingsPath(const fs::path& programFolder) {
  return programFolder / "Resources" / "AppsettingsLoop.ini";
}
fs::path serverNamePath(const fs::path& programFolder) {
  return programFolder / "Resources" / "ServerName.ini";
}
fs::path timezonePath(const fs::path& programFolder) {
  return programFolder / "Resources" / "TIMEZONE.ini";
}

const std::string& separatorLine() {
  static const std::string line = "*" + std::string(100, '=') + "*";
  return line;
}

std::string ReadWriteTextFile(const fs::path& path, bool read, const std::string& text, bool append) {
  try {
    if (read) {
      std::string content;
      return readWhole(path, content) ? content : std::string();
    }
    if (!append) {
      replaceFileContents(path, text);
      return {};
    }
    appendTextEntry(path, text);
  } catch (...) {
    // Whole-file access never reports: a failure simply yields nothing.
  }
  return {};
}

bool appendTextEntry(const fs::path& path, const std::string& text) {
  try {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) return false;
    out << kCrLf << separatorLine() << kCrLf << text;
    out.flush();
    return static_cast<bool>(out);
  } catch (...) {
    return false;
  }
}

std::string ReadWriteSetting(Host& host, const fs::path& path, const std::string& key, std::string& value, bool write) {
  std::string result;
  try {
    std::error_code ec;
    const std::string newLine = key + "=" + value;
    // One line per key, its value read up to the next "=": a value holding a line break would end up as
    // a line of its own, read later as another key (a server name pasted with "\r\nMaxActivityID=0"
    // would reset a high-water mark), and one holding "=" would be read back cut short.
    if (write && value.find_first_of("\r\n=") != std::string::npos)
      throw SettingError("The value of " + key + " holds a line break or \"=\" and is not saved: " + value);

    // A missing file is created holding the key with the value (for a read, the default).
    if (!fs::exists(path, ec)) {
      if (!replaceFileContents(path, newLine)) failWrite(path);
    }

    std::string text;
    // An existing file that cannot be read is not an empty file: rewriting it from nothing would
    // drop every other key, the high-water marks among them.
    if (!readWhole(path, text)) throw SettingError("Permission denied: " + util::pathToUtf8(path));

    // Blanks around keys, values and lines are spaces and tabs, so a line indented with a tab in an
    // editor still matches.
    const std::string wantedKey = text::trim(key);
    if (wantedKey.empty()) return {};

    if (text::trim(text).empty() && write) text = newLine;

    std::vector<std::string> lines;
    if (!text::trim(text).empty()) {
      lines = splitLines(text::trim(text));
      bool found = false;
      for (auto& line : lines) {
        if (text::trim(line).empty()) continue;
        std::size_t eq = line.find('=');
        if (text::trim(line.substr(0, eq)) != wantedKey) continue;
        found = true;
        if (write) {
          line = newLine;
        } else {
          // A matching line without "=" holds no value to read.
          if (eq == std::string::npos) throw SettingError("Subscript out of range");
          std::size_t eq2 = line.find('=', eq + 1);
          result = text::trim(line.substr(eq + 1, eq2 == std::string::npos ? std::string::npos : eq2 - eq - 1));
          value = result;
        }
        break;
      }
      if (!found) {
        if (!write) {
          result = value;
          write = true;
        }
        lines.push_back(newLine);
      }
    }

    std::vector<std::string> kept;
    for (const auto& line : lines) {
      std::string t = text::trim(line);
      if (!t.empty()) kept.push_back(std::move(t));
    }
    const std::string rebuilt = join(kept);

    if (write && !rebuilt.empty()) {
      if (!replaceFileContents(path, rebuilt)) failWrite(path);
    }
  } catch (const std::exception& e) {
    host.messageBox(e.what(), Buttons::OK, Icon::Exclamation);
  }
  return result;
}

std::string ReadLocalServerName(const fs::path& programFolder) {
  try {
    std::string text = ReadWriteTextFile(serverNamePath(programFolder), true, {}, false);
    // The first line only; a bare LF ends it as well as CR LF does.
    std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) text.resize(end);
    return text;
  } catch (...) {
    return {};
  }
}

int ReadTimezoneMinutes(const fs::path& programFolder) {
  std::string text = ReadWriteTextFile(timezonePath(programFolder), true, {}, false);
  double minutes = std::round(db::leadingNumber(text));
  if (minutes < -32768 || minutes > 32767) throw std::overflow_error("Overflow");
  return static_cast<int>(minutes);
}

}  // namespace erpsync::settings

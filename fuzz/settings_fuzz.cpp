// libFuzzer target: the settings files of the Resources folder. The input is split at its first two
// line feeds into a key, a value and the file's text. The file is read through every reader the
// program uses (one-key settings, the server name, the time-zone offset), and a key written and read
// back must give the value written whenever that value can stand on one line of the file. A reader may
// refuse the file with a message box; it never crashes, hangs or trips the sanitizers.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "form/host.h"
#include "settings/settings_files.h"
#include "util/text.h"

namespace {

namespace fs = std::filesystem;
using namespace erpsync;

class QuietHost : public Host {
 public:
  Answer messageBox(const std::string&, Buttons, Icon, const std::string&, Answer) override { return Answer::OK; }
  void showBalloon(const std::string&, const std::string&) override {}
  bool startNotifier(const fs::path&, const std::string&) override { return false; }
  void quit() override {}
};

fs::path scratchFolder() {
  static const fs::path folder = [] {
    // In memory where the system offers it: every write is flushed to disk, which a disk makes slow.
    std::error_code shm;
    char pattern[64] = "/dev/shm/erpsync_settings_fuzz_XXXXXX";
    if (!fs::is_directory("/dev/shm", shm)) std::snprintf(pattern, sizeof pattern, "/tmp/erpsync_settings_fuzz_XXXXXX");
    if (!mkdtemp(pattern)) std::abort();
    fs::create_directories(fs::path(pattern) / "Resources");
    return fs::path(pattern);
  }();
  return folder;
}

void put(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << text;
}

// A value survives a write and a read when it has no line break, no "=" and no blanks around it
// (the file format trims them and reads up to the next "=").
bool fitsOneLine(const std::string& v) {
  return v.find_first_of("\r\n=") == std::string::npos && text::trim(v) == v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 8192) return 0;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t a = input.find('\n');
  const std::size_t b = a == std::string::npos ? std::string::npos : input.find('\n', a + 1);
  const std::string key = a == std::string::npos ? input : input.substr(0, a);
  const std::string value = b == std::string::npos ? std::string() : input.substr(a + 1, b - a - 1);
  const std::string file = b == std::string::npos ? std::string() : input.substr(b + 1);

  const fs::path home = scratchFolder();
  const fs::path ini = settings::appSettingsPath(home);
  QuietHost host;

  put(ini, file);
  put(settings::serverNamePath(home), file);
  put(settings::timezonePath(home), file);
  (void)settings::ReadLocalServerName(home);
  try {
    (void)settings::ReadTimezoneMinutes(home);
  } catch (const std::overflow_error&) {
  }
  for (const char* k : {"SYNCSERVER", "LOCALDBCODE", "MaxActivityID"}) {
    std::string v = "0";
    settings::ReadWriteSetting(host, ini, k, v, false);
  }

  // Write the fuzzed key, then read it back: a key that can be found again must give the value.
  std::string v = value;
  settings::ReadWriteSetting(host, ini, key, v, true);
  std::string back = "default";
  settings::ReadWriteSetting(host, ini, key, back, false);
  const std::string k = text::trim(key);
  const bool plainKey = !k.empty() && k.find_first_of("\r\n=") == std::string::npos && k == key;
  if (plainKey && fitsOneLine(value) && back != value) std::abort();
  return 0;
}

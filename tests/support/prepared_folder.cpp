// Prepared program folders: a testbed made once and kept in a folder beside the tests, named after what
// made it (the program's file, its size and time, the day), then copied for each test.
#include "prepared_folder.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <stdexcept>
#include <system_error>

#include "db/embedded/embedded_server.h"
#include "test_support.h"

namespace erpsync::test {

namespace fs = std::filesystem;

namespace {

// The folder the prepared testbeds are kept in: ERPSYNC_TEST_CACHE when set (empty: none, every
// test program makes its own once), else the build's folder for them.
fs::path cacheRoot() {
  const char* env = std::getenv("ERPSYNC_TEST_CACHE");
  fs::path root = env ? fs::path(env) : fs::path(ERPSYNC_TEST_CACHE_DIR);
  if (root.empty()) return {};
  std::error_code ec;
  fs::create_directories(root, ec);
  return ec ? fs::path() : root;
}

// A file as it is now: its path, size and modification time. Empty when it cannot be read.
std::string fileIdentity(const fs::path& p) {
  std::error_code ec;
  const auto size = fs::file_size(p, ec);
  if (ec) return {};
  const auto time = fs::last_write_time(p, ec);
  if (ec) return {};
  return p.string() + "|" + std::to_string(size) + "|" + std::to_string(time.time_since_epoch().count());
}

// This test program's file; empty where the system does not tell it.
fs::path programFile() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : self;
}

std::string today() {
  std::time_t t = std::time(nullptr);
  char buf[16] = {};
  std::strftime(buf, sizeof buf, "%Y%m%d", std::localtime(&t));
  return buf;
}

std::string hex(std::uint64_t v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

std::uint64_t fnv1a(const std::string& s) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  return h;
}

// Removes earlier builds' folders of the same kind; ones touched in the last few minutes may still be
// copied by a test program of that build and are left.
void removeStale(const fs::path& root, const std::string& prefix, const std::string& keep) {
  std::error_code ec;
  const auto limit = fs::file_time_type::clock::now() - std::chrono::minutes(10);
  for (auto it = fs::directory_iterator(root, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string n = it->path().filename().string();
    const bool ours = n.rfind(prefix, 0) == 0 || n.rfind("." + prefix, 0) == 0;
    if (!ours || n == keep) continue;
    std::error_code e2;
    if (fs::last_write_time(it->path(), e2) < limit && !e2) fs::remove_all(it->path(), e2);
  }
}

// The prepared folder of a kind, made by `make` when this build has none yet. `maker` is the program
// whose code makes it; with no folder to keep them in (or no maker known), one per test process.
const fs::path& prepared(const std::string& kind, const fs::path& maker,
                         const std::function<void(const fs::path&)>& make) {
  static std::mutex lock;
  static std::map<std::string, fs::path> made;
  static std::vector<std::unique_ptr<TempDir>> ownFolders;
  std::lock_guard<std::mutex> hold(lock);
  if (auto it = made.find(kind); it != made.end()) return it->second;

  const fs::path root = cacheRoot();
  const std::string identity = maker.empty() ? std::string() : fileIdentity(maker);
  if (root.empty() || identity.empty()) {
    ownFolders.push_back(std::make_unique<TempDir>());
    make(ownFolders.back()->path());
    return made[kind] = ownFolders.back()->path();
  }
  const std::string prefix = kind + "-" + maker.filename().string() + "-";
  const std::string name = prefix + hex(fnv1a(kind + "\n" + identity + "\n" + today()));
  const fs::path folder = root / name;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    // Made under a name of its own, then renamed into place whole: a program that finds the folder
    // finds it complete; of two programs making it at once, the second one's copy is dropped.
    const fs::path partial = root / ("." + name + "-" + std::to_string(std::random_device{}()));
    fs::remove_all(partial, ec);
    try {
      make(partial);
    } catch (...) {
      fs::remove_all(partial, ec);
      throw;
    }
    fs::rename(partial, folder, ec);
    if (ec) fs::remove_all(partial, ec);
    if (!fs::is_directory(folder, ec)) throw std::runtime_error("cannot keep the prepared folder " + folder.string());
    removeStale(root, prefix, name);
  }
  return made[kind] = folder;
}

std::string shellQuoted(const fs::path& p) {
#ifdef _WIN32
  return "\"" + p.string() + "\"";
#else
  std::string out = "'";
  for (char c : p.string()) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
#endif
}

// Runs erpsync-cli with the arguments, with neither a shifted server clock nor planned faults from
// this process's environment; throws with its output when it fails.
void runCliStep(const std::string& args, const fs::path& log) {
#ifdef _WIN32
  const std::string prefix;
#else
  const std::string prefix = "env -u ERPSYNC_SERVER_CLOCK_OFFSET -u ERPSYNC_FAULT ";
#endif
  const std::string cmd = prefix + shellQuoted(cliPath()) + " " + args + " > " + shellQuoted(log) + " 2>&1";
  if (std::system(cmd.c_str()) != 0)
    throw std::runtime_error("erpsync-cli " + args + " failed: " + readFile(log));
}

}  // namespace

void copyProgramFolder(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (auto it = fs::recursive_directory_iterator(from); it != fs::recursive_directory_iterator(); ++it) {
    const fs::path target = to / fs::relative(it->path(), from);
    if (it->is_directory()) {
      fs::create_directories(target);
    } else {
      const std::string n = it->path().filename().string();
      if (n.size() > 4 && n.compare(n.size() - 4, 4, "-shm") == 0) continue;
      fs::copy_file(it->path(), target, fs::copy_options::overwrite_existing);
    }
  }
}

void copyTestbed(const fs::path& home, const TestbedRecipe& r) {
  const std::string kind = "testbed-" + std::to_string(r.items) + "-" + std::to_string(r.ledgers) +
                           (r.upgradedByCli ? "-upgraded" : "");
  const fs::path& folder = prepared(kind, fs::path(cliPath()), [&r](const fs::path& dir) {
    fs::create_directories(dir);
    const fs::path log = dir.string() + ".log";
    const std::string at = " --home " + shellQuoted(dir);
    runCliStep("testbed init" + at + " --items " + std::to_string(r.items) + " --ledgers " + std::to_string(r.ledgers),
               log);
    if (r.upgradedByCli) runCliStep("update-database --yes" + at, log);
    std::error_code ec;
    fs::remove(log, ec);
  });
  copyProgramFolder(folder, home);
}

void copyProgramMade(const fs::path& home, const std::string& name,
                     const std::function<void(const fs::path&)>& make) {
  const fs::path& folder = prepared(name, programFile(), [&make](const fs::path& dir) {
    fs::create_directories(dir);
    // Made on the server clock as it runs; the test that asked for it gets its own clock back.
    const long long offset = db::embedded::clockOffsetSeconds();
    db::embedded::setClockOffsetSeconds(0);
    try {
      make(dir);
    } catch (...) {
      db::embedded::setClockOffsetSeconds(offset);
      throw;
    }
    db::embedded::setClockOffsetSeconds(offset);
  });
  copyProgramFolder(folder, home);
}

}  // namespace erpsync::test

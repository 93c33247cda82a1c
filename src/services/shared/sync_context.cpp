// What every operation shares: the connections, the settings files, the daily log, the host, the clock, the
// run's working day, where progress is told, and the run-wide values.
#include "shared/sync_context.h"

#include <utility>

#include "notify/notice.h"
#include "settings/daily_log.h"
#include "settings/settings_files.h"
#include "util/utf8_path.h"

namespace erpsync {

namespace {

// Until a window (or the headless runner) binds its own: the day of this computer's clock, no cost
// centre, progress kept only as the last sentence, and passes off.
class UnboundStatus final : public StatusSink {
 public:
  void status(const std::string& sentence) override { last_ = sentence; }
  void stage(const std::string&) override {}
  void pushLock(const std::string&) override {}
  std::string currentStatus() const override { return last_; }

 private:
  std::string last_;
};

class UnboundPasses final : public PassSwitch {
 public:
  bool on() const override { return on_; }
  void set(bool on) override { on_ = on; }
  void setHidden(bool) override {}
  void tellState(const std::string&) override {}

 private:
  bool on_ = false;
};

}  // namespace

SyncContext::SyncContext(Host& h, Clock& c, std::filesystem::path folder)
    : host(h),
      clock(c),
      programFolder(std::move(folder)),
      unboundStatus_(std::make_unique<UnboundStatus>()),
      unboundPasses_(std::make_unique<UnboundPasses>()) {
  makeConnection = [this](const std::string& cs) { return db::makeConnection(cs, programFolder); };
  workingDaySource = [this] {
    WorkingDay today;
    today.date = clock.now().dateOnly();
    return today;
  };
  statusSink = unboundStatus_.get();
  passSwitch = unboundPasses_.get();
}

SyncContext::~SyncContext() = default;

std::string SyncContext::readSetting(const std::string& key, const std::string& defaultValue) {
  std::string value = defaultValue;
  return settings::ReadWriteSetting(host, settings::appSettingsPath(programFolder), key, value, false);
}

void SyncContext::writeSetting(const std::string& key, const std::string& value) {
  std::string v = value;
  settings::ReadWriteSetting(host, settings::appSettingsPath(programFolder), key, v, true);
}

std::string SyncContext::readLoopSetting(const std::string& key, const std::string& defaultValue) {
  std::string value = defaultValue;
  return settings::ReadWriteSetting(host, settings::loopSettingsPath(programFolder), key, value, false);
}

void SyncContext::writeLoopSetting(const std::string& key, const std::string& value) {
  std::string v = value;
  settings::ReadWriteSetting(host, settings::loopSettingsPath(programFolder), key, v, true);
}

void SyncContext::log(const std::string& label, const std::string& detail) {
  if (LogFolder.empty()) return;
  if (holdingLog_) {
    heldLog_.push_back({clock.now(), label, detail});
    if (heldLog_.size() >= kHeldLogEntries) releaseLog(true);
    return;
  }
  writeLog(clock.now(), label, detail);
}

void SyncContext::holdLog() {
  holdingLog_ = true;
}

void SyncContext::releaseLog(bool write) {
  holdingLog_ = false;
  std::vector<HeldEntry> held;
  held.swap(heldLog_);
  if (write)
    for (const auto& e : held) writeLog(e.at, e.label, e.detail);
}

void SyncContext::writeLog(const db::DateTime& at, const std::string& label, const std::string& detail) {
  if (LogFolder.empty()) return;
  if (logFile_.append(LogFolder, day().date, at, label,
                      withoutSecret(withoutSecret(detail, sqlLogin.password), saPassword))) {
    logFailureTold_ = false;
    return;
  }
  // Told once, not once per entry: a pass writes dozens of entries. The flag is set before the notice,
  // since a notice is itself logged where the host logs notices.
  if (logFailureTold_) return;
  logFailureTold_ = true;
  notice("The daily log cannot be written: " + util::pathToUtf8(settings::LogFilePath(LogFolder, day().date)) +
         ". Its entries are lost until it can be written again.");
}

void SyncContext::notice(const std::string& text) {
  ++noticesShown;
  notify::ShowNotice(host, programFolder, withoutSecret(withoutSecret(text, sqlLogin.password), saPassword));
}

namespace {
db::Connection& need(std::unique_ptr<db::Connection>& c, const char* what) {
  if (!c) throw db::DbError(std::string(what) + " is not connected", "08003");
  return *c;
}
}  // namespace

db::Connection& SyncContext::local() {
  return need(LocalConnection, "The branch company database");
}
db::Connection& SyncContext::web() {
  return need(WebConnection, "The central company database");
}
db::Connection& SyncContext::startup() {
  return need(StartupConnection, "The startup catalog");
}

std::string SyncContext::centralTable(const std::string& table) const {
  return db::sqlBracket(SyncServerName) + "." + db::sqlBracket(WebDbCode) + ".dbo." + table;
}

}  // namespace erpsync

#include "shared/sync_context.h"

#include <cmath>
#include <utility>

#include "form/main_form.h"
#include "notify/notice.h"
#include "settings/daily_log.h"
#include "settings/settings_files.h"
#include "shared/val.h"
#include "util/utf8_path.h"

namespace erpsync {

namespace {

// The status labels of the main window as the operations' status sink.
class FormStatusSink final : public StatusSink {
 public:
  explicit FormStatusSink(MainForm& f) : form_(f) {}
  void status(const std::string& sentence) override { form_.lblStatus.setCaption(sentence); }
  void stage(const std::string& what) override { form_.lblStatusMain.setCaption(what); }
  void pushLock(const std::string& state) override { form_.lblserverStat.setCaption(state); }
  std::string currentStatus() const override { return form_.lblStatus.caption(); }

 private:
  MainForm& form_;
};

// The AutoSynch box and the timer of the main window as the operations' pass switch.
class FormPassSwitch final : public PassSwitch {
 public:
  explicit FormPassSwitch(MainForm& f) : form_(f) {}
  bool on() const override { return form_.ChkAutoSynch.value() == 1; }
  void set(bool on) override {
    // Not the operator's click: the box's handler is not raised.
    auto handler = std::exchange(form_.ChkAutoSynch.onClick, nullptr);
    form_.ChkAutoSynch.setValue(on ? 1 : 0);
    form_.ChkAutoSynch.onClick = std::move(handler);
    form_.timertrigger.setEnabled(on);
  }
  void setHidden(bool hidden) override { form_.ChkAutoSynch.setVisible(!hidden); }
  void tellState(const std::string& sentence) override { form_.lblAutoSynchState.setCaption(sentence); }
  std::string stateText() const override { return form_.lblAutoSynchState.caption(); }

 private:
  MainForm& form_;
};

// A number typed or stored as text, as a whole number; 0 when it is none (out of range, negative).
long long wholeOrZero(double v) {
  return v >= 0 && v <= 2147483647.0 ? std::llround(v) : 0;
}

// The working day as the main window shows it: the date picker, the cost centre label (id in the tag,
// name in the caption), the interval box ("2 Minutes") and the selected entries of the voucher-type list.
WorkingDay workingDayOfForm(const MainForm& f) {
  WorkingDay d;
  d.date = f.dtpdate.value().dateOnly();
  d.costCentreId = wholeOrZero(Val(f.lblCostcentre.tag()));
  d.costCentreName = f.lblCostcentre.caption();
  d.intervalMinutes = wholeOrZero(Val(f.cbointerval.text()));
  for (const auto& item : f.lstVchtypes.items())
    if (item.selected)
      d.selectedVoucherTypeIds += (d.selectedVoucherTypeIds.empty() ? "" : ",") + std::to_string(item.itemData);
  return d;
}

}  // namespace

SyncContext::SyncContext(Host& h, Clock& c, MainForm& f, std::filesystem::path folder)
    : host(h), clock(c), form(f), programFolder(std::move(folder)), formStatus_(std::make_unique<FormStatusSink>(f)),
      formPasses_(std::make_unique<FormPassSwitch>(f)) {
  makeConnection = [this](const std::string& cs) { return db::makeConnection(cs, programFolder); };
  workingDaySource = [&f] { return workingDayOfForm(f); };
  statusSink = formStatus_.get();
  passSwitch = formPasses_.get();
}

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
  notice(
      "The daily log cannot be written: " + util::pathToUtf8(settings::LogFilePath(LogFolder, day().date)) +
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

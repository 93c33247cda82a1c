// The main window's controller: start-up, connect, page switches and closing.
#include "app/frm_synch.h"

#include <filesystem>
#include <system_error>

#include "app/daycycle_view.h"
#include "app/form_binding.h"
#include "app/voucher_types.h"
#include "capture/update_database.h"
#include "daycycle/auto_sync_switch.h"
#include "form/main_form.h"
#include "settings/daily_log.h"
#include "settings/log_view.h"
#include "settings/settings_files.h"
#include "shared/connections.h"
#include "shared/date_text.h"
#include "shared/erp_settings.h"
#include "shared/val.h"
#include "util/text.h"
#include "util/utf8_path.h"

namespace erpsync {

std::string exitQuestionText() {
  const std::string crlf = "\r\n";
  return "Do you Want to Exit Halvex ERP Sync" + crlf + " " + crlf + "Click [Yes] to exit " + crlf + " " + crlf +
         "[Cancel] to change login " + crlf + " " + crlf + "[No] to stay with the application";
}

FrmSynch::FrmSynch(WindowContext& c)
    : ctx(c), form(c.form), session(c, "erpsync window"), settingsWizard(c) {
  bindForm(ctx);
  session.onBusyChange = [this](bool running) {
    for (auto* b : operationButtons_) b->setHeld(running);
  };
  wireButton(form.cmdConnect, "Connect", [this] { connect(); });
  form.CmdSettings.onClick = [this] { openSettingsWizard(); };
  form.onKeyDown = [this](int key) { keyDown(key); };
  form.SSTab1.onClick = [this](int previous) { mainPageChosen(previous); };
  form.SSTab2.onClick = [this](int previous) { statusPageChosen(previous); };
  form.onClose = [this] { return close(); };
  form.ChkAutoSynch.onClick = [this] { autoSynchClicked(); };
  form.cbointerval.onChange = [this] { intervalChanged(); };
  form.timertrigger.onTimer = [this] {
    if (auto pass = hooks.pass) runOperation("Auto Synch", pass, WhenBusy::Skip);
  };
  form.lstVchtypes.onClick = [this] { onVoucherTypesClicked(ctx); };
  form.lstVchtypes_MouseDown = [this](int button) { ToggleAllOnRightClick(ctx, button, form.lstVchtypes); };
  form.lstMasterSettings_MouseDown = [this](int button) { ToggleAllOnRightClick(ctx, button, form.lstMasterSettings); };
  hooks.SSTab1Pages[4] = [this] { showLogFile(); };
  form.cmdLogRefresh.onClick = [this] { showLogFile(); };
  wireOperations(*this);
}

void FrmSynch::wireButton(form::Button& button, std::string name, std::function<void()> handler) {
  operationButtons_.push_back(&button);
  const bool needsPrepared = &button != &form.cmdUpdateDataBase && &button != &form.cmdConnect;
  button.onClick = [this, name = std::move(name), handler = std::move(handler), needsPrepared] {
    runOperation(name, handler, WhenBusy::Tell, needsPrepared);
  };
}

void FrmSynch::showDayRows() {
  if (session.databasesPrepared) readAndShowDayRow(ctx);
}

void FrmSynch::updateDatabase() {
  capture::updateDatabase(ctx);
  if (!session.databasesPrepared && session.checkDatabasesPrepared(false)) readAndShowDayRow(ctx);
}

void FrmSynch::repaint() {
  ctx.host.doEvents();
}

bool FrmSynch::load() {
  loadEndedProgram = false;
  form.Picture1.setVisible(true);
  try {
    if (hooks.AddTrayIcon) hooks.AddTrayIcon();
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  form.SSTab1.setTabVisible(1, false);
  // The server names are shown before the catalogs are opened, so a slow open shows where it goes.
  bool shown = false;
  auto step = [this, &shown](const std::string& caption) {
    if (!shown) {
      form.window.setVisible(true);
      form.cmdConnect.setVisible(false);
      ctx.host.setBusy(true);
      shown = true;
    }
    form.lblFirststatus.setCaption(caption);
    repaint();
  };
  const session::LoadOutcome out = session.load(step);
  tellFailures(ctx, out.failures);
  form.lblOnlineIP.setCaption(ctx.SyncServerName);
  form.lblOnlineIP1.setCaption(ctx.SyncServerName);
  form.lblDesktopIP.setCaption(ctx.LocalServerName);
  form.lblDesktopIP1.setCaption(ctx.LocalServerName);
  if (out.endProgram) {
    ctx.host.messageBox("Please check  Server Name to continue ( servername.ini). ", Buttons::OK, Icon::Critical);
    loadEndedProgram = true;
    ctx.host.quit();
    return false;
  }
  if (out.centralNameMissing) {
    ctx.host.messageBox("Please goto settings  SYNCSERVER Name is missing Appsettings.ini", Buttons::OK,
                        Icon::Critical);
    form.window.setVisible(true);
    return true;
  }
  if (!out.centralStartupOpen) ctx.host.messageBox(ctx.SyncServerName + " Not connected ", Buttons::OK);
  form.cmdConnect.setVisible(true);
  ctx.host.setBusy(false);
  return true;
}

void FrmSynch::showConnection(const session::ConnectOutcome& c) {
  form.lblTimerStatus.setCaption(generalDateTime(ctx.clock.now()));
  form.lblDesktopCompany.setCaption(ctx.LocalDbCode);
  form.lblSynchCompany.setCaption(ctx.WebDbCode);
  form.lblCostcentre.setTag(c.costCentreTag);
  if (!c.costCentreName.empty()) form.lblCostcentre.setCaption(c.costCentreName);
  showVoucherTypes(form, c.voucherTypes);
  form.CmdSettings.setEnabled(false);
  form.dtpdate.setValue(c.serverDate.date);
  form.SSTab1.setTab(0);
  form.ChkAutoSynch.setValue(c.autoSyncOn ? 1 : 0);
  form.timertrigger.setEnabled(form.ChkAutoSynch.value() == 1);
  daycycle::tellAutoSyncState(ctx);
  form.cbointerval.setText(c.interval);
  if (c.dayRow) showDayRow(form, c.serverDate.date, *c.dayRow);
  form.dtpdate.setVisible(true);
  form.SSTab2.setVisible(true);
  form.lblFirststatus.setCaption("Connection .Done.... ");
  repaint();
  form.Picture1.setVisible(false);
  form.SSTab1.setTab(2);
  form.SSTab2.setTab(1);
  form.cmdDayStart.setVisible(c.showDayButtons);
  form.cmdDayEnd.setVisible(c.showDayButtons);
}

void FrmSynch::connect() {
  form.cmdConnect.setEnabled(false);
  ctx.host.setBusy(true);
  form.msgInterimItems.setVisible(false);
  const session::ConnectOutcome& c = session.connect(tellUnpreparedDatabases, [this](const std::string& caption) {
    form.lblFirststatus.setCaption(caption);
    repaint();
  });
  if (c.completed) showConnection(c);
  for (const auto& f : c.failures) ctx.notice(f.text + f.step);
  form.cmdConnect.setEnabled(true);
  ctx.host.setBusy(false);
}

void FrmSynch::openSettingsWizard() {
  // A wizard already open keeps its page and what the operator has typed; it only comes to the front.
  if (!form.frmsettings.window.visible()) settingsWizard.load();
  form.frmsettings.window.setVisible(true);
  ctx.host.openSettingsWizard();
}

void FrmSynch::keyDown(int keyCode) {
  if (keyCode == 45) form.SSTab1.setTabVisible(1, true);
}

void FrmSynch::showLogFile() {
  if (ctx.LogFolder.empty()) {
    form.txtLog.setText("");
    return;
  }
  form.txtLog.setText(settings::LogEntriesNewestFirst(
      settings::ReadWriteTextFile(settings::LogFilePath(ctx.LogFolder, form.dtpdate.value()), true, "", false),
      form.txtLogFilter.text()));
}

void FrmSynch::mainPageChosen(int /*previousTab*/) {
  try {
    ctx.host.setBusy(true);
    form.msgInterimItems.setVisible(false);
    auto it = hooks.SSTab1Pages.find(form.SSTab1.tab());
    if (it != hooks.SSTab1Pages.end() && it->second) it->second();
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  ctx.host.setBusy(false);
}

void FrmSynch::statusPageChosen(int /*previousTab*/) {
  try {
    ctx.host.setBusy(true);
    auto it = hooks.SSTab2Pages.find(form.SSTab2.tab());
    if (it != hooks.SSTab2Pages.end() && it->second) it->second();
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  ctx.host.setBusy(false);
}

void FrmSynch::removeTrayIcon() {
  if (hooks.RemoveTrayIcon) hooks.RemoveTrayIcon();
}

bool FrmSynch::askToExit() {
  const Answer a =
      ctx.host.messageBox(exitQuestionText(), Buttons::YesNoCancel, Icon::Question, kExitQuestionTitle, Answer::No);
  if (a != Answer::Yes) return false;
  ctx.host.quit();
  return true;
}

bool FrmSynch::close() {
  removeTrayIcon();
  return askToExit();
}

void FrmSynch::autoSynchClicked() {
  try {
    form.timertrigger.setEnabled(form.ChkAutoSynch.value() == 1);
    daycycle::tellAutoSyncState(ctx);
  } catch (const std::exception& e) {
    ctx.notice(std::string(e.what()) + "Auto Synch");
  }
}

void FrmSynch::intervalChanged() {
  // Choosing the first entry below raises this handler again; the outer call does the writing.
  if (inIntervalChange_) return;
  inIntervalChange_ = true;
  try {
    if (form.cbointerval.listIndex() < 0) form.cbointerval.setListIndex(0);
    ctx.writeSetting("SYNCINTERVAL", text::trim(form.cbointerval.text()));
  } catch (const std::exception& e) {
    ctx.notice(std::string(e.what()) + "Interval Change");
  }
  inIntervalChange_ = false;
}

void FrmSynch::fillVoucherTypes() {
  erpsync::fillVoucherTypes(ctx);
}
std::string FrmSynch::voucherTypeFilter() {
  return erpsync::voucherTypeFilter(ctx);
}

}  // namespace erpsync

// The main window's controller: start-up, connect, page switches and closing.
#include "app/frm_synch.h"

#include <filesystem>
#include <system_error>

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

// The busy mark of one operation: taken only when no other operation runs, and given back, with the
// operation buttons released, however the operation ends.
class FrmSynch::OperationGuard {
 public:
  OperationGuard(FrmSynch& frm, const std::string& name) : frm_(frm) {
    if (!frm_.running_.empty()) return;
    if (!frm_.folderLock_.take(frm_.programName)) return;
    acquired_ = true;
    frm_.running_ = name.empty() ? "An operation" : name;
    for (auto* b : frm_.operationButtons_) b->setHeld(true);
  }
  ~OperationGuard() {
    if (!acquired_) return;
    for (auto* b : frm_.operationButtons_) b->setHeld(false);
    frm_.running_.clear();
    frm_.folderLock_.release();
    frm_.ctx.closeLog();
  }
  OperationGuard(const OperationGuard&) = delete;
  OperationGuard& operator=(const OperationGuard&) = delete;
  bool acquired() const { return acquired_; }

 private:
  FrmSynch& frm_;
  bool acquired_ = false;
};

FrmSynch::FrmSynch(SyncContext& c) : ctx(c), form(c.form), settingsWizard(c), folderLock_(c.programFolder) {
  bindForm(ctx);
  wireButton(form.cmdConnect, "Connect", [this] { cmdConnect_Click(); });
  form.CmdSettings.onClick = [this] { CmdSettings_Click(); };
  form.onKeyDown = [this](int key) { Form_KeyDown(key); };
  form.SSTab1.onClick = [this](int previous) { SSTab1_Click(previous); };
  form.SSTab2.onClick = [this](int previous) { SSTab2_Click(previous); };
  form.onClose = [this] { return close(); };
  form.ChkAutoSynch.onClick = [this] { ChkAutoSynch_Click(); };
  form.cbointerval.onChange = [this] { cbointerval_Change(); };
  form.timertrigger.onTimer = [this] {
    if (auto pass = hooks.timertrigger_Timer) runOperation("Auto Synch", pass, WhenBusy::Skip);
  };
  form.lstVchtypes.onClick = [this] { lstVchtypes_Click(ctx); };
  form.lstVchtypes_MouseDown = [this](int button) { ToggleAllOnRightClick(ctx, button, form.lstVchtypes); };
  form.lstMasterSettings_MouseDown = [this](int button) { ToggleAllOnRightClick(ctx, button, form.lstMasterSettings); };
  hooks.SSTab1Pages[4] = [this] { showLogFile(); };
  form.cmdLogRefresh.onClick = [this] { showLogFile(); };
  wireOperations(*this);
}

bool FrmSynch::runOperation(const std::string& name, const std::function<void()>& op, WhenBusy whenBusy,
                            bool needsPreparedDatabases) {
  if (needsPreparedDatabases && !databasesPrepared && !checkDatabasesPrepared(false)) {
    ctx.host.messageBox(name +
                            " was not started: the databases are not yet prepared for synchronisation. Run "
                            "Update Database first (press Insert for the maintenance page; headless: erpsync-cli "
                            "update-database).",
                        Buttons::OK, Icon::Exclamation);
    return false;
  }
  OperationGuard guard(*this, name);
  if (!guard.acquired()) {
    const std::string why =
        name + " was not started: " +
        (running_.empty() ? folderLock_.holder() + " is working in this program folder (" +
                                util::pathToUtf8(ctx.programFolder) + "); try again when it has finished."
                          : running_ + " is still running.");
    if (whenBusy == WhenBusy::Tell)
      ctx.host.messageBox(why, Buttons::OK, Icon::Exclamation);
    else if (why != lastRefusal_)
      ctx.log(name, why);  // a timer pass waits for its next tick; a long wait is logged once
    lastRefusal_ = why;
    return false;
  }
  lastRefusal_.clear();
  op();
  return true;
}

bool FrmSynch::pauseProgramFolderLock(const std::function<void()>& wait, std::string& holder) {
  folderLock_.release();
  wait();
  // Outside an operation the lock is not wanted back.
  if (running_.empty() || folderLock_.take(programName)) return true;
  holder = folderLock_.holder();
  return false;
}

void FrmSynch::wireButton(form::Button& button, std::string name, std::function<void()> handler) {
  operationButtons_.push_back(&button);
  const bool needsPrepared = &button != &form.cmdUpdateDataBase && &button != &form.cmdConnect;
  button.onClick = [this, name = std::move(name), handler = std::move(handler), needsPrepared] {
    runOperation(name, handler, WhenBusy::Tell, needsPrepared);
  };
}

bool FrmSynch::checkDatabasesPrepared(bool tell) {
  std::vector<std::string> missing;
  auto look = [&missing](std::unique_ptr<db::Connection>& c, const std::string& code, const char* side) {
    if (!db::isOpen(c)) return;  // a closed connection is reported by whatever uses it
    try {
      c->query("SELECT TOP 1 ID FROM tblDayActivity");
    } catch (const db::DbError& e) {
      if (e.description().find("Invalid object name") != std::string::npos) missing.push_back(code + " (" + side + ")");
    }
  };
  look(ctx.LocalConnection, ctx.LocalDbCode, "branch");
  look(ctx.WebConnection, ctx.WebDbCode, "central");
  databasesPrepared = missing.empty();
  if (!databasesPrepared && tell) {
    const std::string which = missing.size() == 1 ? missing[0] + " has" : missing[0] + " and " + missing[1] + " have";
    ctx.host.messageBox("The databases are not yet prepared for synchronisation: " + which +
                            " no tblDayActivity. Update Database prepares them, once: press Insert for the "
                            "maintenance page, then Update Database (headless: erpsync-cli update-database).",
                        Buttons::OK, Icon::Exclamation);
  }
  return databasesPrepared;
}

void FrmSynch::cmdUpdateDataBase_Click() {
  capture::cmdUpdateDataBase_Click(ctx);
  if (!databasesPrepared && checkDatabasesPrepared(false) && ctx.hooks.setdatstartDet) ctx.hooks.setdatstartDet(ctx);
}

void FrmSynch::repaint() {
  ctx.host.doEvents();
}

// A load step: its error becomes a notice and load goes on with the next step.
template <class F>
void FrmSynch::loadStep(F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    ctx.notice(e.what());
    ctx.host.setBusy(false);
    form.cmdConnect.setVisible(true);
  }
}

bool FrmSynch::Form_Load() {
  loadEndedProgram = false;
  loadStep([&] { form.Picture1.setVisible(true); });
  loadStep([&] {
    SqlLoginResult login = loadSqlLogin(ctx.programFolder);
    ctx.sqlLogin = login.login;
    if (!login.problem.empty()) ctx.host.messageBox(login.problem, Buttons::OK, Icon::Exclamation);
  });
  ctx.saPassword = ctx.sqlLogin.password;
  loadStep([&] {
    if (hooks.AddTrayIcon) hooks.AddTrayIcon();
  });
  form.SSTab1.setTabVisible(1, false);
  loadStep([&] { ctx.LocalServerName = settings::ReadLocalServerName(ctx.programFolder); });
  loadStep([&] { ctx.SyncServerName = ctx.readSetting("SYNCSERVER", ""); });
  form.lblOnlineIP.setCaption(ctx.SyncServerName);
  form.lblOnlineIP1.setCaption(ctx.SyncServerName);
  form.lblDesktopIP.setCaption(ctx.LocalServerName);
  form.lblDesktopIP1.setCaption(ctx.LocalServerName);

  if (ctx.LocalServerName.empty()) {
    ctx.host.messageBox("Please check  Server Name to continue ( servername.ini). ", Buttons::OK, Icon::Critical);
    loadEndedProgram = true;
    ctx.host.quit();
    return false;
  }
  if (ctx.SyncServerName.empty()) {
    ctx.host.messageBox("Please goto settings  SYNCSERVER Name is missing Appsettings.ini", Buttons::OK,
                        Icon::Critical);
    form.window.setVisible(true);
    return true;
  }

  form.window.setVisible(true);
  form.cmdConnect.setVisible(false);
  ctx.host.setBusy(true);
  form.lblFirststatus.setCaption("Starting up the application.... ");
  repaint();
  form.lblFirststatus.setCaption("Connection establishing..... ");
  repaint();

  // Every open of the startup catalog sets its 10-second command time-out (OpenStartupConnection).
  loadStep([&] { OpenStartupConnection(ctx, ctx.LocalServerName); });
  form.lblFirststatus.setCaption("Connection establishing.Done.... ");
  repaint();
  form.lblFirststatus.setCaption("Online Connection and companies.... ");
  repaint();

  loadStep([&] { OpenStartupConnection(ctx, ctx.SyncServerName); });
  if (!db::isOpen(ctx.StartupConnection)) ctx.host.messageBox(ctx.SyncServerName + " Not connected ", Buttons::OK);

  loadStep([&] { ctx.MaxActivityID = static_cast<long long>(Val(ctx.readLoopSetting("MaxActivityID", "0"))); });
  loadStep(
      [&] { ctx.MaxActivityIDTrans = static_cast<long long>(Val(ctx.readLoopSetting("MaxActivityIDTrans", "0"))); });

  form.lblFirststatus.setCaption("Loading Over....Click Connect to proceed.. ");
  repaint();
  form.cmdConnect.setVisible(true);
  ctx.host.setBusy(false);
  return true;
}

void FrmSynch::cmdConnect_Click() {
  connected = false;
  try {
    form.cmdConnect.setEnabled(false);
    ctx.host.setBusy(true);
    for (auto* c : {&ctx.LocalConnection, &ctx.WebConnection})
      if (db::isOpen(*c)) (*c)->close();
    form.lblFirststatus.setCaption("Starting connection");
    form.msgInterimItems.setVisible(false);
    ctx.LocalDbCode = ctx.readSetting("LOCALDBCODE", "");
    ctx.WebDbCode = ctx.readSetting("WEBDBCODE", "");

    form.lblFirststatus.setCaption("Starting Db connection");
    repaint();
    OpenCompanyConnections(ctx);
    form.lblFirststatus.setCaption("Db connection Done");
    repaint();

    if (db::isOpen(ctx.WebConnection)) ConfigureLinkedServer(ctx, ctx.SyncServerName);
    form.lblFirststatus.setCaption("linked Server configured");
    // Before the first Update Database the day-row displays below would each fail on the missing
    // tables; the operator gets one message that says what to do instead.
    checkDatabasesPrepared(tellUnpreparedDatabases);

    form.lblTimerStatus.setCaption(generalDateTime(ctx.clock.now()));
    form.lblDesktopCompany.setCaption(ctx.LocalDbCode);
    form.lblSynchCompany.setCaption(ctx.WebDbCode);

    // The branch's cost centre: its id in the tag, its name in the caption.
    form.lblCostcentre.setTag(ctx.readSetting("DEFCOSTCENTREID", ""));
    db::Recordset cc = ctx.local().query("Select * from tblCostCentre where ccID=" + valText(form.lblCostcentre.tag()));
    if (!cc.empty()) {
      form.lblCostcentre.setTag(cc.at(0, "CCID").toString());
      form.lblCostcentre.setCaption(cc.at(0, "CCNAME").toString());
    }

    FillSyncVchTypes();
    form.lblFirststatus.setCaption("Cost centers loaded");
    repaint();

    std::string erpError;
    if (!LoadErpSettings(ctx.LocalConnection.get(), ctx.erpSettings, &erpError)) ctx.log("LoadErpSettings", erpError);
    form.lblFirststatus.setCaption("settings Fixed");
    repaint();

    form.CmdSettings.setEnabled(false);

    const bool logWasOpen = !ctx.LogFolder.empty();
    const ServerDateTime serverDate = GetServerDateTime(ctx);
    form.dtpdate.setValue(serverDate.date);

    FillSyncVchTypes();
    form.SSTab1.setTab(0);
    form.lblFirststatus.setCaption("Voucher types Loaded");
    repaint();

    ctx.AutoSyncOn = Val(ctx.readSetting("KEEPAUTOSYNCHON", "0")) != 0;
    form.ChkAutoSynch.setValue(ctx.AutoSyncOn ? 1 : 0);
    form.timertrigger.setEnabled(form.ChkAutoSynch.value() == 1);
    daycycle::tellAutoSyncState(ctx);

    form.cbointerval.setText(text::trim(ctx.readSetting("SYNCINTERVAL", "2 Minutes")));

    form.lblFirststatus.setCaption("day start setting");
    repaint();
    if (ctx.hooks.setdatstartDet) ctx.hooks.setdatstartDet(ctx);

    const std::filesystem::path folder =
        settings::LogFolderFor(ctx.programFolder, form.lblDesktopCompany.caption(), ctx.clock.now());
    // A folder that cannot be created ends the connect with its error: a log folder that does not exist
    // would drop every entry of the day without a word.
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) std::filesystem::create_directories(folder);
    ctx.LogFolder = folder;
    // The working date taken from this computer could not be logged before the first log folder existed.
    if (serverDate.fromWorkstation && !logWasOpen) ctx.log("GetServerDateTime", form.lblStatus.caption());

    form.dtpdate.setVisible(true);
    form.cmdDayStart.setVisible(true);
    form.cmdDayEnd.setVisible(true);
    form.SSTab2.setVisible(true);

    form.lblFirststatus.setCaption("Connection .Done.... ");
    repaint();
    form.Picture1.setVisible(false);
    form.cmdConnect.setEnabled(true);

    form.SSTab1.setTab(2);
    form.SSTab2.setTab(1);

    const bool showDayButtons = Val(ctx.readSetting("BLNSHOWDAYSTARTEND", "1")) == 1;
    form.cmdDayStart.setVisible(showDayButtons);
    form.cmdDayEnd.setVisible(showDayButtons);
    ctx.host.setBusy(false);
    connected = true;
  } catch (const std::exception& e) {
    ctx.notice(std::string(e.what()) + "Connect");
    form.cmdConnect.setEnabled(true);
    ctx.host.setBusy(false);
  }
}

void FrmSynch::CmdSettings_Click() {
  // A wizard already open keeps its page and what the operator has typed; it only comes to the front.
  if (!form.frmsettings.window.visible()) settingsWizard.Form_Load();
  form.frmsettings.window.setVisible(true);
  ctx.host.openSettingsWizard();
}

void FrmSynch::Form_KeyDown(int keyCode) {
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

void FrmSynch::SSTab1_Click(int /*previousTab*/) {
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

void FrmSynch::SSTab2_Click(int /*previousTab*/) {
  try {
    ctx.host.setBusy(true);
    auto it = hooks.SSTab2Pages.find(form.SSTab2.tab());
    if (it != hooks.SSTab2Pages.end() && it->second) it->second();
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  ctx.host.setBusy(false);
}

void FrmSynch::Form_QueryUnload() {
  if (hooks.RemoveTrayIcon) hooks.RemoveTrayIcon();
}

bool FrmSynch::Form_Unload() {
  const Answer a =
      ctx.host.messageBox(exitQuestionText(), Buttons::YesNoCancel, Icon::Question, kExitQuestionTitle, Answer::No);
  if (a != Answer::Yes) return false;
  ctx.host.quit();
  return true;
}

bool FrmSynch::close() {
  Form_QueryUnload();
  return Form_Unload();
}

void FrmSynch::ChkAutoSynch_Click() {
  try {
    form.timertrigger.setEnabled(form.ChkAutoSynch.value() == 1);
    daycycle::tellAutoSyncState(ctx);
  } catch (const std::exception& e) {
    ctx.notice(std::string(e.what()) + "Auto Synch");
  }
}

void FrmSynch::cbointerval_Change() {
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

void FrmSynch::FillSyncVchTypes() {
  erpsync::FillSyncVchTypes(ctx);
}
std::string FrmSynch::CREateSelVchTypeIDQry() {
  return erpsync::CREateSelVchTypeIDQry(ctx);
}

}  // namespace erpsync

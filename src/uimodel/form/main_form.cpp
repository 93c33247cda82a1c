// The main window frmSynch and the settings wizard frmsettings as plain C++ models.
#include "form/main_form.h"

namespace erpsync {

form::Control* ControlSet::find(std::string_view name) const {
  for (auto* c : controls_)
    if (c->name() == name) return c;
  return nullptr;
}

void ControlSet::forEach(const std::function<void(form::Control&)>& f) const {
  for (auto* c : controls_) f(*c);
}

const std::vector<std::string>& syncIntervalEntries() {
  static const std::vector<std::string> entries{"2 Minutes",  "3 Minutes",  "5 MInutes", "10 MInutes",
                                                "15 MInutes", "30 MInutes", "60 MInutes"};
  return entries;
}

SettingsForm::SettingsForm() {
  add({&window, &fraIP, &TXTSQLServerName, &TXTsYNCsqlSERVERname, &CMDshowcompany, &fraCompanies, &cboLocalCompany,
       &cboOnlineCompany, &chkKeepAlwaysON, &chkShowDaystartEND, &cmdshowCostCentres, &fraCostcentre, &cboCostCentre,
       &cmdSave, &fraFinished, &txtFinish, &cmdBack, &lblFirststatus});
  window.setVisible(false);
  showPage(1);
}

int SettingsForm::visiblePage() const {
  if (fraIP.visible()) return 1;
  if (fraCompanies.visible()) return 2;
  if (fraCostcentre.visible()) return 3;
  if (fraFinished.visible()) return 4;
  return 0;
}

void SettingsForm::showPage(int page) {
  fraIP.setVisible(page == 1);
  CMDshowcompany.setVisible(page == 1);
  fraCompanies.setVisible(page == 2);
  cmdshowCostCentres.setVisible(page == 2);
  fraCostcentre.setVisible(page == 3);
  cmdSave.setVisible(page == 3);
  fraFinished.setVisible(page == 4);
}

MainForm::MainForm() {
  add({&window,
       &lblDesktopIP,
       &lblDesktopIP1,
       &lblOnlineIP,
       &lblOnlineIP1,
       &Label13,
       &lblDesktopCompany,
       &Label14,
       &lblSynchCompany,
       &Label5,
       &lblCostcentre,
       &lblFirststatus,
       &lblTimerStatus,
       &lblStatus,
       &lblStatusMain,
       &lblBranchStatus,
       &txtTime,
       &lblDaystart,
       &lblDaystartTime,
       &lblDayState,
       &lblAutoSynchState,
       &cmdConnect,
       &cmdDayStart,
       &cmdDayEnd,
       &dtpdate,
       &ChkAutoSynch,
       &timertrigger,
       &Picture1,
       &Label6,
       &Label7,
       &Label8,
       &Label9,
       &CmdSettings,
       &SSTab1,
       &Label3,
       &cmdSettingsSynch,
       &Label4,
       &cmdFullSync,
       &cmdMasterSynchDetail,
       &lstMasterSettings,
       &chkBulkInsert,
       &lblMaxIDS,
       &cmdFreeServer,
       &Command1,
       &cmdUpdateDataBase,
       &Label10,
       &lstVchtypes,
       &Label11,
       &cbointerval,
       &lblserverStat,
       &cmdManualSynch,
       &msgDataCount,
       &cmdMIgrateMismatchedItemsonly,
       &txtLog,
       &txtLogFilter,
       &cmdLogRefresh,
       &chkAutoSynchInterimStockTransfer,
       &cmdImportInterimtransfers,
       &cboInterimTransferVchtype,
       &lstTransfer,
       &msgInterimItems,
       &SSTab2,
       &msgTransGrid,
       &msgActivity,
       &cmdClearActivity,
       &msgMisMatch,
       &msgVerify,
       &msgCompare,
       &frmInitialize});

  // Design-time state of the window.
  window.setVisible(false);
  timertrigger.setInterval(5000);
  timertrigger.setEnabled(false);
  for (const auto& e : syncIntervalEntries()) cbointerval.addItem(e);
  dtpdate.setVisible(false);
  cmdDayStart.setVisible(false);
  cmdDayEnd.setVisible(false);
  SSTab2.setVisible(false);
  lstMasterSettings.setVisible(false);
}

}  // namespace erpsync

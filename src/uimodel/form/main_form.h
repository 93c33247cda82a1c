// The main window frmSynch and the settings wizard frmsettings as plain C++ models. One member per
// control, named as the window's controls are named, so operations write `form.lblStatus` and the Qt
// view binds its widgets by objectName through find()/forEach().
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "form/controls.h"
#include "form/progress_form.h"

namespace erpsync {

// A window's controls, enumerable by name.
class ControlSet {
 public:
  ControlSet() = default;
  ControlSet(const ControlSet&) = delete;
  ControlSet& operator=(const ControlSet&) = delete;

  // The control with that name, or nullptr.
  form::Control* find(std::string_view name) const;
  // Every control, in the order the window declares them.
  void forEach(const std::function<void(form::Control&)>& f) const;
  const std::vector<form::Control*>& controls() const { return controls_; }

 protected:
  void add(std::initializer_list<form::Control*> cs) { controls_.insert(controls_.end(), cs); }

 private:
  std::vector<form::Control*> controls_;
};

// The settings wizard: four pages (frames), one visible at a time.
class SettingsForm : public ControlSet {
 public:
  SettingsForm();

  // The window itself: caption and whether it is shown.
  form::Label window{"frmsettings", "Settings"};

  // Page 1
  form::Label fraIP{"fraIP", "Ip Settings"};
  form::TextBox TXTSQLServerName{"TXTSQLServerName"};
  form::TextBox TXTsYNCsqlSERVERname{"TXTsYNCsqlSERVERname"};
  form::Button CMDshowcompany{"CMDshowcompany", "Next  >>"};
  // Page 2
  form::Label fraCompanies{"fraCompanies", "Companies"};
  form::ComboBox cboLocalCompany{"cboLocalCompany"};
  form::ComboBox cboOnlineCompany{"cboOnlineCompany"};
  form::CheckBox chkKeepAlwaysON{"chkKeepAlwaysON", "Keep AutoSynch Always On"};
  form::CheckBox chkShowDaystartEND{"chkShowDaystartEND", "Show Day Start Day END"};
  form::Button cmdshowCostCentres{"cmdshowCostCentres", "Next  >>"};
  // Page 3
  form::Label fraCostcentre{"fraCostcentre", "CostCentre"};
  form::ComboBox cboCostCentre{"cboCostCentre"};
  form::Button cmdSave{"cmdSave", "Finish"};
  // Page 4
  form::Label fraFinished{"fraFinished", "Finished"};
  form::TextBox txtFinish{"txtFinish"};  // multi-line summary
  int txtFinishFontSize = 8;
  // On every page
  form::Button cmdBack{"cmdBack", "<< Back"};
  form::Label lblFirststatus{"lblFirststatus"};

  // 1..4: the page whose frame is visible (0 when none is).
  int visiblePage() const;
  // Shows one page (its frame and forward button) and hides the others.
  void showPage(int page);
};

// The main window.
class MainForm : public ControlSet {
 public:
  MainForm();

  // The window itself: caption "Synchronisation"; visible once load has shown it.
  form::Label window{"frmSynch", "Synchronisation"};

  // Header labels
  form::Label lblDesktopIP{"lblDesktopIP"};
  form::Label lblDesktopIP1{"lblDesktopIP1"};
  form::Label lblOnlineIP{"lblOnlineIP"};
  form::Label lblOnlineIP1{"lblOnlineIP1"};
  form::Label Label13{"Label13", "DesktopCompany"};
  form::Label lblDesktopCompany{"lblDesktopCompany"};
  form::Label Label14{"Label14", "OnlineCompany"};
  form::Label lblSynchCompany{"lblSynchCompany"};
  form::Label Label5{"Label5", "Cost centre:"};
  form::Label lblCostcentre{"lblCostcentre"};  // caption: cost-centre name; tag: its id

  // Status
  form::Label lblFirststatus{"lblFirststatus"};
  form::Label lblTimerStatus{"lblTimerStatus"};
  form::Label lblStatus{"lblStatus"};
  form::Label lblStatusMain{"lblStatusMain"};
  // The branch at a glance, written after every pass: last good pass, what waits and how old, what went
  // up and came down today, head office reachable or not (since when), the push lock's holder.
  form::Label lblBranchStatus{"lblBranchStatus"};
  form::TextBox txtTime{"txtTime"};
  form::Label lblDaystart{"lblDaystart"};
  form::Label lblDaystartTime{"lblDaystartTime"};
  // The working date's day in words: open (since when), closed, or not started.
  form::Label lblDayState{"lblDayState"};
  // Says when AutoSynch is off while vouchers wait to go up (empty while it is ticked).
  form::Label lblAutoSynchState{"lblAutoSynchState"};

  // Outside the tabs
  form::Button cmdConnect{"cmdConnect"};
  form::Button cmdDayStart{"cmdDayStart", "Day Start"};
  form::Button cmdDayEnd{"cmdDayEnd", "Day End"};
  form::DatePicker dtpdate{"dtpdate"};  // the working date
  form::CheckBox ChkAutoSynch{"ChkAutoSynch", "AutoSynch"};
  form::Timer timertrigger{"timertrigger"};  // 5000 ms, disabled until AutoSynch is ticked

  // Welcome panel
  form::Control Picture1{"Picture1"};
  form::Label Label6{"Label6",
                     "Settings Synchronization ( for first time only), Master Synchronization ( When new masters are "
                     "prone to create), Stock /Accounts  Synchronization ( To be done before starting the billing) "};
  form::Label Label7{"Label7", "Start Billing in Halvex ERP in the client Sytem"};
  form::Label Label8{"Label8", "Software will upload the data to Server when internet is available"};
  form::Label Label9{"Label9", "Start Step 1 After   all data is uploaded to server"};
  form::Button CmdSettings{"CmdSettings"};

  // Upper page set
  form::TabSet SSTab1{"SSTab1",
                      {"Download From Server", "Maintenance", "Settings", "Data Status", "LogFile", "Stock Transfer"}};
  // page 0 "Download From Server"
  form::Label Label3{"Label3", "Settings Synchronization ( for first time only)"};
  form::Button cmdSettingsSynch{"cmdSettingsSynch", "Settings Synchronisation"};
  form::Label Label4{"Label4", "Master Synchronization ( When new master Creation Expects )"};
  form::Button cmdFullSync{"cmdFullSync", "Master Synchronisation"};
  form::Button cmdMasterSynchDetail{"cmdMasterSynchDetail", "::"};
  form::ListBox lstMasterSettings{"lstMasterSettings", true};
  form::CheckBox chkBulkInsert{"chkBulkInsert", "Bulk Insert Instead of Individual insert (masters)"};
  form::Label lblMaxIDS{"lblMaxIDS"};
  // page 1, maintenance (hidden until the Insert key is pressed)
  form::Button cmdFreeServer{"cmdFreeServer", "Free Server"};
  form::Button Command1{"Command1", "TEmporary Sales Deleter"};
  form::Button cmdUpdateDataBase{"cmdUpdateDataBase", "Update Database"};
  // page 2 "Settings"
  form::Label Label10{"Label10", "Synchronisation VchTypes"};
  form::ListBox lstVchtypes{"lstVchtypes", true};
  form::Label Label11{"Label11", "Synchronisation Interval:"};
  form::ComboBox cbointerval{"cbointerval"};
  form::Label lblserverStat{"lblserverStat", "LOCK"};
  form::Button cmdManualSynch{"cmdManualSynch", "Manual Synch"};
  // page 3 "Data Status"
  form::Grid msgDataCount{"msgDataCount"};
  form::Button cmdMIgrateMismatchedItemsonly{"cmdMIgrateMismatchedItemsonly", "Migrate Mismatch (red) Items"};
  // page 4 "LogFile": the working date's log, newest entry first; Refresh reads it again, with only the
  // entries holding the filter's text when one is typed.
  form::TextBox txtLog{"txtLog"};
  form::TextBox txtLogFilter{"txtLogFilter"};
  form::Button cmdLogRefresh{"cmdLogRefresh", "Refresh"};
  // page 5 "Stock Transfer"
  form::CheckBox chkAutoSynchInterimStockTransfer{"chkAutoSynchInterimStockTransfer",
                                                  "Auto Synch Interim Stock Transfer"};
  form::Button cmdImportInterimtransfers{"cmdImportInterimtransfers", "Import"};
  form::ComboBox cboInterimTransferVchtype{"cboInterimTransferVchtype"};
  form::ListBox lstTransfer{"lstTransfer"};
  form::Grid msgInterimItems{"msgInterimItems"};

  // Lower page set (hidden until connected)
  form::TabSet SSTab2{"SSTab2", {"UpdateStatus", "Activity", "Mismatch", "Compare"}};
  form::Grid msgTransGrid{"msgTransGrid"};
  form::Grid msgActivity{"msgActivity"};
  form::Button cmdClearActivity{"cmdClearActivity", "Clear Activity"};
  form::Grid msgMisMatch{"msgMisMatch"};
  form::Grid msgVerify{"msgVerify"};  // page "Mismatch": the day's vouchers whose contents differ
  form::Grid msgCompare{"msgCompare"};

  // The settings wizard window.
  SettingsForm frmsettings;
  // The progress window the list and grid fill shows ("Easy Progress").
  form::ProgressForm frmInitialize;

  // The control that has the focus. The view sets it while the operator works a control (a click on
  // lstVchtypes makes lstVchtypes active), so handlers can tell the operator's clicks from changes
  // made by code. nullptr when no control of this window has the focus.
  const form::Control* activeControl = nullptr;

  // Window-level events the view forwards (set by the controller; empty means not handled).
  std::function<void(int keyCode)> onKeyDown;
  // Mouse-down on a list; button 1 left, 2 right.
  std::function<void(int button)> lstVchtypes_MouseDown;
  std::function<void(int button)> lstMasterSettings_MouseDown;
  std::function<void()> onActivityMarksClicked;
  // The operator asks to close the window: returns true when the window may close.
  std::function<bool()> onClose;
};

// The entries of the interval box, in order.
const std::vector<std::string>& syncIntervalEntries();

}  // namespace erpsync

// The main window's controller: load, connect, the settings button, keys, page switches and closing.
// It wires the window's events to the operations; the operations themselves live in their own files.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "app/frm_settings.h"
#include "shared/sync_context.h"

namespace erpsync {

class MainForm;

class FrmSynch {
 public:
  // Wires the window's events (form's handlers) to this controller and to the operations.
  explicit FrmSynch(SyncContext& ctx);
  FrmSynch(const FrmSynch&) = delete;
  FrmSynch& operator=(const FrmSynch&) = delete;

  SyncContext& ctx;
  MainForm& form;
  // The settings wizard's controller (its window is form.frmsettings).
  FrmSettings settingsWizard;

  // --- events of the window -------------------------------------------------------------------
  // Load: server names, startup catalog on both servers, the high-water marks. Returns false when the
  // program is to end (no local server name).
  bool Form_Load();
  // Connect: company connections, linked server, cost centre, voucher types, ERP settings, working
  // date, interval and auto-sync switch, log folder.
  void cmdConnect_Click();
  // Opens the settings wizard (loaded, shown; only possible before connecting).
  void CmdSettings_Click();
  // Insert (45) shows the maintenance page.
  void Form_KeyDown(int keyCode);
  void SSTab1_Click(int previousTab);
  void SSTab2_Click(int previousTab);
  // Closing: removes the tray icon, then asks. Returns true when the program ends (Host::quit called).
  void Form_QueryUnload();
  bool Form_Unload();
  // Both, as the window's close does.
  bool close();

  // Auto-sync switch and interval box.
  void ChkAutoSynch_Click();
  void cbointerval_Change();

  // Voucher-type selection (see app/voucher_types.h).
  void FillSyncVchTypes();
  std::string CREateSelVchTypeIDQry();

  // --- hooks filled by the operations' wiring (app/wire_operations.cpp); empty ones are skipped ---
  struct Hooks {
    std::function<void()> AddTrayIcon;         // set by the view (tray icon)
    std::function<void()> RemoveTrayIcon;      // set by the view
    std::function<void()> timertrigger_Timer;  // one auto-sync pass
    // Page handlers of the two page sets, by page index.
    std::map<int, std::function<void()>> SSTab1Pages;
    std::map<int, std::function<void()>> SSTab2Pages;
  } hooks;

  // Set when load ended the program (no local server name).
  bool loadEndedProgram = false;
  // Set when the last Connect ran every step; an error part-way leaves it false.
  bool connected = false;

 private:
  template <class F>
  void loadStep(F&& f);
  void repaint();
  void showLogFile();
  bool inIntervalChange_ = false;
};

// The exit question and its title.
std::string exitQuestionText();
inline constexpr const char* kExitQuestionTitle = "Halvex ERp Sync ";

// Wires the operations of the rest of the program into the controller (one line per operation).
void wireOperations(FrmSynch& frm);

}  // namespace erpsync

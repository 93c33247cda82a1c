// The main window's controller: load, connect, the settings button, keys, page switches and closing.
// It wires the window's events to the operations; the operations themselves live in their own files.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/auto_sync_pass.h"
#include "app/frm_settings.h"
#include "form/controls.h"
#include "settings/program_folder_lock.h"
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

  // Update Database (the schema upgrade), then the look for the synchroniser's tables again, so the
  // day rows show without another connect.
  void cmdUpdateDataBase_Click();

  // --- one operation at a time -------------------------------------------------------------------
  // Operations let the window process events while they work (Host::doEvents), so a click or a timer
  // tick can arrive in the middle of another operation's transaction. Every button, verb of the
  // headless runner and timer pass comes in through runOperation; while one runs, the others are
  // refused and the operation buttons are held (shown disabled).
  enum class WhenBusy {
    Tell,  // the operator or a script asked: a message box says why nothing happens
    Skip,  // a timer pass: skipped, with a log entry; the next tick tries again
  };
  // Runs op as the operation name unless another operation is running; returns whether it ran. An
  // error escaping op still ends the operation (the buttons come back) and goes on to the caller.
  // With needsPreparedDatabases, an operation on databases Update Database has not yet prepared is
  // refused with a box that says so (it would fail half-way on the missing tables, or worse, lock the
  // day's vouchers without a day row).
  bool runOperation(const std::string& name, const std::function<void()>& op, WhenBusy whenBusy = WhenBusy::Tell,
                    bool needsPreparedDatabases = false);
  // Makes button an operation: its click runs handler through runOperation as name, and the button is
  // held while any operation runs.
  // Every button but Connect and Update Database needs prepared databases.
  void wireButton(form::Button& button, std::string name, std::function<void()> handler);
  // Set by a headless verb whose operation did not do what was asked though no box called it a
  // failure (a day end refused while vouchers wait; not one the operator declined): the runner then
  // exits with an error, so a script does not take the day for closed.
  bool verbRefused = false;
  // The operation running now; empty when none.
  const std::string& runningOperation() const { return running_; }

  // The program as the program folder's lock names it to others ("erpsync window", "erpsync-cli run").
  // An operation also needs the program folder's lock: while another process (a service, a second
  // window) holds it, the operation is refused as it is while one of this window's own runs.
  std::string programName = "erpsync";
  // Gives the program folder's lock back while wait runs (the headless runner's pause between two
  // passes, so the window or another runner may work in between), then takes it again. False when
  // another process holds it by then; holder says who.
  bool pauseProgramFolderLock(const std::function<void()>& wait, std::string& holder);

  // Whether both company databases hold the synchroniser's tables (tblDayActivity), as found at the
  // last connect or Update Database. While they do not, the day-row display is skipped: it could only
  // show "Invalid object name" again and again.
  bool databasesPrepared = true;
  // Looks for tblDayActivity on the open company connections and sets databasesPrepared. With tell,
  // a missing table is told in one message box that names Update Database as the way to prepare them.
  bool checkDatabasesPrepared(bool tell);
  // Whether connect tells the operator about unprepared databases (not when Update Database follows).
  bool tellUnpreparedDatabases = true;

  // --- hooks filled by the operations' wiring (app/wire_operations.cpp); empty ones are skipped ---
  struct Hooks {
    std::function<void()> AddTrayIcon;         // set by the view (tray icon)
    std::function<void()> RemoveTrayIcon;      // set by the view
    std::function<void()> timertrigger_Timer;  // one auto-sync pass
    // Page handlers of the two page sets, by page index.
    std::map<int, std::function<void()>> SSTab1Pages;
    std::map<int, std::function<void()>> SSTab2Pages;
  } hooks;

  // What the last automatic pass did (for the headless runner's report).
  PassOutcome lastPass;

  // Set when load ended the program (no local server name).
  bool loadEndedProgram = false;
  // Set when the last Connect ran every step; an error part-way leaves it false.
  bool connected = false;

 private:
  template <class F>
  void loadStep(F&& f);
  void repaint();
  void showLogFile();
  class OperationGuard;
  bool inIntervalChange_ = false;
  std::string running_;
  settings::ProgramFolderLock folderLock_;
  std::string lastRefusal_;  // the last timer pass refusal logged, so a long wait is logged once
  std::vector<form::Button*> operationButtons_;
};

// The exit question and its title.
std::string exitQuestionText();
inline constexpr const char* kExitQuestionTitle = "Halvex ERp Sync ";

// Wires the operations of the rest of the program into the controller (one line per operation).
void wireOperations(FrmSynch& frm);

}  // namespace erpsync

// The main window's controller: load, connect, the settings button, keys, page switches and closing.
// It wires the window's events to the operations; the operations themselves live in their own files.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/frm_settings.h"
#include "app/window_context.h"
#include "form/controls.h"
#include "session/session.h"

namespace erpsync {

class MainForm;

class FrmSynch {
 public:
  // Wires the window's events (form's handlers) to this controller and to the operations.
  explicit FrmSynch(WindowContext& ctx);
  FrmSynch(const FrmSynch&) = delete;
  FrmSynch& operator=(const FrmSynch&) = delete;

  WindowContext& ctx;
  MainForm& form;
  // The run the window drives and shows: connect, the operation door, the passes.
  session::Session session;
  // The settings wizard's controller (its window is form.frmsettings).
  FrmSettings settingsWizard;

  // --- events of the window -------------------------------------------------------------------
  // Load: server names, startup catalog on both servers, the high-water marks. Returns false when the
  // program is to end (no local server name).
  bool load();
  // Connect: company connections, linked server, cost centre, voucher types, ERP settings, working
  // date, interval and auto-sync switch, log folder.
  void connect();
  // Opens the settings wizard (loaded, shown; only possible before connecting).
  void openSettingsWizard();
  // Insert (45) shows the maintenance page.
  void keyDown(int keyCode);
  void mainPageChosen(int previousTab);
  void statusPageChosen(int previousTab);
  // Closing: removes the tray icon, then asks. Returns true when the program ends (Host::quit called).
  void removeTrayIcon();
  bool askToExit();
  // Both, as the window's close does.
  bool close();

  // Auto-sync switch and interval box.
  void autoSynchClicked();
  void intervalChanged();

  // Voucher-type selection (see app/voucher_types.h).
  void fillVoucherTypes();
  std::string voucherTypeFilter();

  // Update Database (the schema upgrade), then the look for the synchroniser's tables again, so the
  // day rows show without another connect.
  void updateDatabase();

  // --- one operation at a time (the session's door; see session::Session::runOperation) ----------
  using WhenBusy = session::Session::WhenBusy;
  bool runOperation(const std::string& name, const std::function<void()>& op, WhenBusy whenBusy = WhenBusy::Tell,
                    bool needsPreparedDatabases = false) {
    return session.runOperation(name, op, whenBusy, needsPreparedDatabases);
  }
  // Makes button an operation: its click runs handler through runOperation as name, and the button is
  // held while any operation runs. Every button but Connect and Update Database needs prepared databases.
  void wireButton(form::Button& button, std::string name, std::function<void()> handler);
  const std::string& runningOperation() const { return session.runningOperation(); }
  // Whether both company databases hold the synchroniser's tables, as last looked at; checkDatabasesPrepared
  // looks again (with tell, one box names Update Database).
  bool databasesPrepared() const { return session.databasesPrepared; }
  bool checkDatabasesPrepared(bool tell) { return session.checkDatabasesPrepared(tell); }
  // Whether connect tells the operator about unprepared databases.
  bool tellUnpreparedDatabases = true;
  // The cost centre's latest day row in the day labels, once the databases are prepared.
  void showDayRows();

  // --- hooks filled by the operations' wiring (app/wire_operations.cpp); empty ones are skipped ---
  struct Hooks {
    std::function<void()> AddTrayIcon;         // set by the view (tray icon)
    std::function<void()> RemoveTrayIcon;      // set by the view
    std::function<void()> pass;  // one automatic pass, shown
    // Page handlers of the two page sets, by page index.
    std::map<int, std::function<void()>> SSTab1Pages;
    std::map<int, std::function<void()>> SSTab2Pages;
  } hooks;

  // What the last automatic pass did.
  const session::PassOutcome& lastPass() const { return session.lastPass; }

  // Set when load ended the program (no local server name).
  bool loadEndedProgram = false;
  // Whether the last Connect ran every step; an error part-way leaves it false.
  bool connected() const { return session.connected(); }

 private:
  void repaint();
  void showLogFile();
  void showConnection(const session::ConnectOutcome& c);
  bool inIntervalChange_ = false;
  std::vector<form::Button*> operationButtons_;
};

// The exit question and its title.
std::string exitQuestionText();
inline constexpr const char* kExitQuestionTitle = "Halvex ERp Sync ";

// Wires the operations of the rest of the program into the controller (one line per operation).
void wireOperations(FrmSynch& frm);

}  // namespace erpsync

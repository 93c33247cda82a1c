// The program's run, with or without a window: one SyncContext, the one-operation-at-a-time door
// (the program folder's lock and the name of the operation running), whether the databases are
// prepared, and what connect and the last pass found. The window's controller and the headless runner
// both drive it and show what it returns.
#pragma once

#include <functional>
#include <string>

#include "session/connect_session.h"
#include "session/run_pass.h"
#include "settings/program_folder_lock.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::session {

class Session {
 public:
  // program: who this is to others that find the program folder taken ("erpsync window").
  Session(SyncContext& ctx, std::string program);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  SyncContext& ctx;
  std::string programName;

  LoadOutcome load(const StepSink& step = {});
  // Connect; the outcome is kept (connection()). With tellUnprepared, unprepared databases are told in
  // one box.
  const ConnectOutcome& connect(bool tellUnprepared, const StepSink& step = {});
  const ConnectOutcome& connection() const { return connection_; }
  bool connected() const { return connection_.completed; }

  // --- one operation at a time ------------------------------------------------------------------
  // Operations let the window process events while they work, so a click or a timer tick can arrive in
  // the middle of another operation's transaction; and a service and a window may share one program
  // folder. Every button, verb and timer pass comes in here; while one runs, the others are refused.
  enum class WhenBusy {
    Tell,  // the operator or a script asked: a message box says why nothing happens
    Skip,  // a timer pass: skipped, with a log entry; the next tick tries again
  };
  // Runs op as the operation name unless another operation runs here or in another process on this
  // program folder; returns whether it ran. With needsPreparedDatabases, an operation on databases
  // Update Database has not yet prepared is refused with a box that says so. An error escaping op ends
  // the operation and goes on to the caller.
  bool runOperation(const std::string& name, const std::function<void()>& op, WhenBusy whenBusy = WhenBusy::Tell,
                    bool needsPreparedDatabases = false);
  const std::string& runningOperation() const { return running_; }
  // Told when an operation starts (true) and ends (false): the window holds its buttons meanwhile.
  std::function<void(bool running)> onBusyChange;
  // Gives the program folder's lock back while wait runs (the pause between two headless passes),
  // then takes it again; false when another process holds it by then (holder says who).
  bool pauseProgramFolderLock(const std::function<void()>& wait, std::string& holder);

  // Whether both company databases hold the synchroniser's tables, as last looked at.
  bool databasesPrepared = true;
  // Looks again; with tell, a missing table is told in one box naming Update Database.
  bool checkDatabasesPrepared(bool tell);

  // One automatic pass for the working day now; before Update Database it waits (unprepared).
  PassOutcome pass(const PassOptions& options);
  PassOutcome lastPass;

 private:
  class Guard;
  ConnectOutcome connection_;
  std::string running_;
  std::string lastRefusal_;
  settings::ProgramFolderLock folderLock_;
};

}  // namespace erpsync::session

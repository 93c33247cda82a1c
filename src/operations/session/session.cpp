// The program's run without a window: the operation door, connect and the passes (see session.h).
#include "session/session.h"

#include <utility>

#include "shared/sync_context.h"
#include "util/utf8_path.h"

namespace erpsync::session {

// The busy mark of one operation: taken only when no other operation runs here and the program folder
// is free, and given back however the operation ends.
class Session::Guard {
 public:
  Guard(Session& s, const std::string& name) : s_(s) {
    if (!s_.running_.empty()) return;
    if (!s_.folderLock_.take(s_.programName)) return;
    acquired_ = true;
    s_.running_ = name.empty() ? "An operation" : name;
    if (s_.onBusyChange) s_.onBusyChange(true);
  }
  ~Guard() {
    if (!acquired_) return;
    s_.running_.clear();
    if (s_.onBusyChange) s_.onBusyChange(false);
    s_.folderLock_.release();
    s_.ctx.closeLog();
  }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;
  bool acquired() const { return acquired_; }

 private:
  Session& s_;
  bool acquired_ = false;
};

Session::Session(SyncContext& c, std::string program)
    : ctx(c), programName(std::move(program)), folderLock_(c.programFolder) {}

LoadOutcome Session::load(const StepSink& step) {
  return loadSession(ctx, step);
}

const ConnectOutcome& Session::connect(bool tellUnprepared, const StepSink& step) {
  connection_ = connectSession(ctx, tellUnprepared, step);
  databasesPrepared = connection_.unprepared.empty();
  return connection_;
}

bool Session::runOperation(const std::string& name, const std::function<void()>& op, WhenBusy whenBusy,
                           bool needsPreparedDatabases) {
  if (needsPreparedDatabases && !databasesPrepared && !checkDatabasesPrepared(false)) {
    ctx.host.messageBox(name +
                            " was not started: the databases are not yet prepared for synchronisation. Run "
                            "Update Database first (press Insert for the maintenance page; headless: erpsync-cli "
                            "update-database).",
                        Buttons::OK, Icon::Exclamation);
    return false;
  }
  Guard guard(*this, name);
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

bool Session::pauseProgramFolderLock(const std::function<void()>& wait, std::string& holder) {
  folderLock_.release();
  wait();
  // Outside an operation the lock is not wanted back.
  if (running_.empty() || folderLock_.take(programName)) return true;
  holder = folderLock_.holder();
  return false;
}

bool Session::checkDatabasesPrepared(bool tell) {
  const auto missing = unpreparedDatabases(ctx);
  databasesPrepared = missing.empty();
  if (tell) tellUnpreparedDatabases(ctx, missing);
  return databasesPrepared;
}

PassOutcome Session::pass(const PassOptions& options) {
  // Before the first Update Database a pass could only fail on the missing tables, at every tick: it
  // waits. An Update Database run meanwhile (here or by another program) is seen at the next pass.
  if (!databasesPrepared && !checkDatabasesPrepared(false)) {
    lastPass = PassOutcome{};
    lastPass.unprepared = true;
    return lastPass;
  }
  lastPass = runPass(ctx, ctx.day(), options);
  return lastPass;
}

}  // namespace erpsync::session

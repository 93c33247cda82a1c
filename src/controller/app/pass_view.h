// The window's side of the automatic pass: what the operator sees before, during and after one. The
// pass itself is an engine call (session::runPass) that needs no window.
#pragma once

#include "session/run_pass.h"

namespace erpsync {

struct WindowContext;
class MainForm;

// The pass's options as the window has them: its "Auto Synch Interim Stock Transfer" box and the day
// start its labels show.
session::PassOptions passOptionsOf(const MainForm& form);

// The labels a pass sets as it starts (the time, the marks) and the buttons held while it runs.
void showPassStarting(WindowContext& ctx);

// After a pass: the buttons back, the status box and line (head office away or back), the push-lock box,
// the Activity grid (the rows of the last pass that had any), the day's voucher counts when taken, the
// transfers taken up, and the status line read after it.
void showPass(WindowContext& ctx, const session::PassOutcome& out);

// One pass as the window's timer runs it: starting, the engine's pass for the working day the window
// shows, and what it did. The databases are taken as prepared (the controller checks that first).
session::PassOutcome runWindowPass(WindowContext& ctx);

// The window's status line (lblBranchStatus) read afresh; askHeadOffice adds the one call to head
// office for the master counts and the push lock.
void showBranchStatus(WindowContext& ctx, bool askHeadOffice);

}  // namespace erpsync

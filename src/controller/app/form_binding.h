// Where the run meets the window: the working day is read from the date picker, the cost centre label,
// the interval box and the voucher-type list; progress goes to the status labels and the lock box; the
// AutoSynch switch is the box and the timer. The controller binds a context once, before any operation
// runs; operations see only the working day, the sink and the switch.
#pragma once

namespace erpsync {

struct WindowContext;

// Binds ctx's working day, status sink and pass switch to ctx.form.
void bindForm(WindowContext& ctx);

}  // namespace erpsync

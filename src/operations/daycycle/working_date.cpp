// The working date against head office's date: a day tool that would work on a date far from it (a date
// picker left on last month, a workstation clock gone wrong) asks first.
#include "daycycle/working_date.h"

#include <cstdlib>

#include "shared/connections.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"

namespace erpsync::daycycle {

bool confirmWorkingDate(SyncContext& ctx, const db::DateTime& workingDate, const std::string& what) {
  const db::DateTime working = workingDate.dateOnly();
  const ServerDateTime headOffice = GetServerDateTime(ctx);
  // Without head office's date there is nothing to compare with; the tool itself tells what it cannot reach.
  if (headOffice.fromWorkstation) return true;
  const long long days = working.dayNumber() - headOffice.date.dayNumber();
  if (std::llabs(days) <= kWorkingDateTolerance) return true;
  const std::string n = std::to_string(std::llabs(days)) + (std::llabs(days) == 1 ? " day " : " days ");
  const std::string question = "The working date " + ddMMMyyyy(working) + " is " + n + (days < 0 ? "before" : "after") +
                               " head office's date " + headOffice.dateText + ".\r\nRun " + what + " for " +
                               ddMMMyyyy(working) +
                               " all the same?\r\n[No] leaves everything as it is; set the working date and try again.";
  const bool yes = ctx.host.messageBox(question, Buttons::YesNo, Icon::Question, what, Answer::No) == Answer::Yes;
  ctx.log(what, "Working date " + ddMMMyyyy(working) + ", head office's date " + headOffice.dateText +
                    (yes ? ": used as the operator confirmed" : ": not used"));
  return yes;
}

}  // namespace erpsync::daycycle

// A failure as operations return it: the step that failed, the server's error number when it gave one,
// and the text. Views show it (a notice in the window, a line on the console); exit codes come from it.
#pragma once

#include <exception>
#include <string>
#include <vector>

namespace erpsync {

struct Failure {
  std::string step;    // what was being done ("Open head office", "Master download")
  int number = 0;      // the server's native error number; 0 when there is none
  std::string text;    // the error as the server or the program worded it
};

// The failure of step from a caught exception (a db::DbError gives its number and description).
Failure failureOf(const std::string& step, const std::exception& e);

// Tells each failure once as the operator's notice, worded as it always was ("<text><step>" where the
// step is a handler's name, or the text alone).
struct SyncContext;
void tellFailures(SyncContext& ctx, const std::vector<Failure>& failures);

}  // namespace erpsync

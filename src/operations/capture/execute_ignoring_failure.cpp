// Runs one statement of a re-runnable script: a statement whose change is already in place fails, and that
// failure is expected, so it is dropped here and the script goes on with its next statement.
#include "capture/execute_ignoring_failure.h"

namespace erpsync::capture {

bool executeIgnoringFailure(db::Connection* connection, const std::string& sql) {
  if (!connection || !connection->isOpen()) return false;
  try {
    connection->execute(sql);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace erpsync::capture

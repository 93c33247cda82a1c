// Runs one statement of a re-runnable script: a statement whose change is already in place fails, and
// that failure is expected, so it is dropped here and the script goes on with its next statement.
#pragma once

#include <string>

#include "db/connection.h"

namespace erpsync::capture {

// True when the statement ran. A missing or closed connection counts as a failed statement.
bool executeIgnoringFailure(db::Connection* connection, const std::string& sql);

}  // namespace erpsync::capture

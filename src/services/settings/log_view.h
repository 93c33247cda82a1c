// The daily log as the LogFile page shows it: entries newest first, optionally only those holding a
// text (support staff look for a label, a voucher number, an error).
#pragma once

#include <string>

namespace erpsync::settings {

// The entries of a daily log's text (each written under a separator line) in reverse order, those
// that contain filter (ignoring case) only when filter is not empty, one entry a line, CR LF between.
std::string LogEntriesNewestFirst(const std::string& logText, const std::string& filter);

}  // namespace erpsync::settings

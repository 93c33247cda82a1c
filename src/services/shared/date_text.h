// The date and time texts the window shows and the statements carry.
#pragma once

#include <string>

#include "db/value.h"

namespace erpsync {

// "05/Mar/2026" (day/abbreviated month/year), the form dates take in statements and labels.
std::string ddMMMyyyy(const db::DateTime& d);
// "08:05:03 PM": 12-hour time to the second with the AM/PM marker.
std::string timeAmPm(const db::DateTime& d);
// "05/Mar/2026 08:05:03 PM": the general date-time text the status labels show.
std::string generalDateTime(const db::DateTime& d);
// Three-letter English month abbreviation, 1..12 ("Jan".."Dec").
std::string monthAbbreviation(int month);

}  // namespace erpsync

// How stock and voucher posting write numbers and dates into their statements: numbers with a decimal
// point and dates in a form SQL Server reads alike under every language and DATEFORMAT, whatever
// regional settings the workstation (or the process locale) has.
#pragma once

#include <string>

#include "util/date_time.h"

namespace erpsync::stock {

// A number as a statement literal: the shortest text that reads back to the same double.
std::string num(double value);
inline std::string num(long long value) {
  return std::to_string(value);
}
// A date-time as a quoted statement literal ('yyyy-mm-ddThh:mm:ss.mmm').
std::string dateLit(const DateTime& value);
// value rounded half away from zero to places decimals, as a display format "#0.00" rounds it and the
// text reads back.
double roundTo(double value, int places);
// value rounded that way, as text with exactly places decimals ("12.50").
std::string fixedText(double value, int places);

}  // namespace erpsync::stock

// The date and time texts the window shows and the statements carry.
#include "shared/date_text.h"

#include <fmt/format.h>

namespace erpsync {

std::string monthAbbreviation(int month) {
  static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return month >= 1 && month <= 12 ? names[month - 1] : "";
}

std::string ddMMMyyyy(const db::DateTime& d) {
  return fmt::format("{:02}/{}/{:04}", d.day, monthAbbreviation(d.month), d.year);
}

std::string timeAmPm(const db::DateTime& d) {
  int h12 = d.hour % 12 == 0 ? 12 : d.hour % 12;
  return fmt::format("{:02}:{:02}:{:02} {}", h12, d.minute, d.second, d.hour < 12 ? "AM" : "PM");
}

std::string generalDateTime(const db::DateTime& d) {
  return ddMMMyyyy(d) + " " + timeAmPm(d);
}

}  // namespace erpsync

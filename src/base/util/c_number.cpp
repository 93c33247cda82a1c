// Numbers read and written in the C locale's form ("12.5", "1e+20") whatever locale the process runs in.
#include "util/c_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace erpsync::util {

double cNumber(std::string_view s, std::size_t* used) {
  if (used) *used = 0;
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  // from_chars takes no sign of its own here: the one read above is applied below.
  if (i >= s.size() || s[i] == '+' || s[i] == '-') return 0;
  const char* begin = s.data() + i;
  double d = 0;
  const auto [end, ec] = std::from_chars(begin, s.data() + s.size(), d, std::chars_format::general);
  if (ec == std::errc::invalid_argument) return 0;
  if (ec == std::errc::result_out_of_range) {
    // Too large (a positive exponent) or too small for a double, as strtod answers.
    const std::string_view read(begin, static_cast<std::size_t>(end - begin));
    const auto e = read.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < read.size() && read[e + 1] == '-';
    d = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  }
  if (used) *used = static_cast<std::size_t>(end - s.data());
  return negative ? -d : d;
}

std::string cFormat(double d, int precision, bool fixed) {
  char buf[400];
  const auto [end, ec] =
      std::to_chars(buf, buf + sizeof buf, d, fixed ? std::chars_format::fixed : std::chars_format::general, precision);
  if (ec != std::errc()) return std::isfinite(d) ? std::string() : (std::isnan(d) ? "nan" : d > 0 ? "inf" : "-inf");
  return std::string(buf, end);
}

}  // namespace erpsync::util

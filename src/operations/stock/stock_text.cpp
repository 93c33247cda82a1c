// How stock and voucher posting write numbers and dates into their statements: numbers with a decimal point
// and dates in a form SQL Server reads alike under every language and DATEFORMAT, whatever regional settings
// the workstation (or the process locale) has.
#include "stock/stock_text.h"

#include <charconv>
#include <cmath>

#include "db/recordset.h"
#include "db/sql_literal.h"
#include "db/value.h"

namespace erpsync::stock {

std::string num(double value) {
  return db::decimalLiteral(value);
}

std::string dateLit(const DateTime& value) {
  return db::dateTimeLiteral(value);
}

std::string fixedText(double value, int places) {
  if (!std::isfinite(value)) return "0";
  // Round the shortest decimal text of the double, not the double itself: 2.345 is held as
  // 2.34499999…, but reads (and is shown) as 2.345 and so rounds to 2.35.
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  std::string t(buf, r.ptr);
  const bool negative = !t.empty() && t[0] == '-';
  if (negative) t.erase(0, 1);
  std::size_t dot = t.find('.');
  std::string whole = dot == std::string::npos ? t : t.substr(0, dot);
  std::string frac = dot == std::string::npos ? std::string() : t.substr(dot + 1);
  const bool up = frac.size() > static_cast<std::size_t>(places) && frac[places] >= '5';
  frac.resize(places, '0');
  std::string digits = whole + frac;
  if (up) {
    int i = static_cast<int>(digits.size()) - 1;
    for (; i >= 0 && digits[i] == '9'; --i) digits[i] = '0';
    if (i < 0)
      digits.insert(digits.begin(), '1');
    else
      ++digits[i];
  }
  std::string out = digits.substr(0, digits.size() - places);
  if (places > 0) out += "." + digits.substr(digits.size() - places);
  bool zero = out.find_first_not_of("0.") == std::string::npos;
  return (negative && !zero ? "-" : "") + out;
}

double roundTo(double value, int places) {
  const std::string t = fixedText(value, places);
  double out = 0;
  std::from_chars(t.data(), t.data() + t.size(), out);
  return out;
}

}  // namespace erpsync::stock

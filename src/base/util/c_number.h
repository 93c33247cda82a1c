// Numbers read and written in the C locale's form ("12.5", "1e+20") whatever locale the process runs
// in. A window library switches the process to the user's locale, whose decimal separator may be a
// comma; strtod and printf follow it, and statement texts and stored values must not.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace erpsync::util {

// The number at the start of s as strtod reads it in the C locale: leading white space, a sign,
// digits with a decimal point, an exponent, or inf / infinity / nan. *used is the number of characters
// read, 0 when s holds no number there (the result is then 0). Beyond the range of a double the
// result is an infinity of the number's sign, below it a zero.
double cNumber(std::string_view s, std::size_t* used = nullptr);

// d as printf writes it in the C locale with "%.<precision>g", or with fixed, "%.<precision>f".
std::string cFormat(double d, int precision, bool fixed = false);

}  // namespace erpsync::util

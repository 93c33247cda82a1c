// Small text helpers shared across the program: trimming and ASCII case handling.
// Case handling is ASCII only and never depends on the process locale, so identifiers, keywords and
// connection-string keys compare the same whatever locale a host sets; other bytes pass unchanged.
#pragma once

#include <string>
#include <string_view>

namespace erpsync::text {

// Spaces and tabs: the blanks of a line of text (the default for trimming).
inline constexpr std::string_view kBlanks = " \t";
// Spaces, tabs and line ends.
inline constexpr std::string_view kWhitespace = " \t\r\n";

// The text without leading and trailing characters from blanks.
std::string trim(std::string_view s, std::string_view blanks = kBlanks);
// The text without trailing characters from blanks.
std::string trimRight(std::string_view s, std::string_view blanks = kBlanks);

// ASCII letters turned to lower / upper case.
std::string lower(std::string_view s);
std::string upper(std::string_view s);

// Equal when ASCII letters are compared without regard to case.
bool iequals(std::string_view a, std::string_view b);

}  // namespace erpsync::text

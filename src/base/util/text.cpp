// Small text helpers shared across the program: trimming and ASCII case handling.
#include "util/text.h"

namespace erpsync::text {

namespace {

char lowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char upperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string trim(std::string_view s, std::string_view blanks) {
  const std::size_t b = s.find_first_not_of(blanks);
  if (b == std::string_view::npos) return {};
  const std::size_t e = s.find_last_not_of(blanks);
  return std::string(s.substr(b, e - b + 1));
}

std::string trimRight(std::string_view s, std::string_view blanks) {
  const std::size_t e = s.find_last_not_of(blanks);
  if (e == std::string_view::npos) return {};
  return std::string(s.substr(0, e + 1));
}

std::string lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = lowerAscii(c);
  return r;
}

std::string upper(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = upperAscii(c);
  return r;
}

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

}  // namespace erpsync::text

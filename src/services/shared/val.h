// Reading numbers out of texts the way the window's values are read: the leading numeric part.
#pragma once

#include <string>
#include <string_view>

#include "db/value.h"

namespace erpsync {

// The leading numeric part of a text ("12abc" -> 12, "" -> 0).
inline double Val(std::string_view text) {
  return db::leadingNumber(text);
}

// The leading numeric part as decimal text for a statement ("12abc" -> "12", "" -> "0", "1.5" -> "1.5").
// Whatever the text holds, only a number reaches the SQL.
inline std::string valText(std::string_view text) {
  return db::Value(db::leadingNumber(text)).toString();
}

}  // namespace erpsync

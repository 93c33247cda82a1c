// How a value becomes part of a T-SQL statement. Every statement the program builds writes its values
// through these (and sqlQuote / sqlBracket for text and names), so a value reads the same on every
// server whatever its language setting: decimal point, no digit grouping, dates in ISO form.
#pragma once

#include <optional>
#include <string>

#include "db/sql_quote.h"
#include "db/value.h"

namespace erpsync::db {

// A whole number: 42, -7.
std::string integerLiteral(long long value);

// A decimal number in its shortest exact text (2.5, 0.1, 1e+20 for what only a float holds); a zero is
// "0" whatever its sign, and what is no number at all (infinity, NaN) is 0.
std::string decimalLiteral(double value);

// A date and time to the millisecond: '2026-12-07T10:21:35.000'.
std::string dateTimeLiteral(const DateTime& value);

// The value as a whole number when it is exactly one (an integer, a double without fraction, or a
// text that is written just so); nothing for NULL, fractions and any other text. The change log's ids
// and keys go through this: only numbers reach a statement built from them.
std::optional<long long> wholeNumber(const Value& value);

// The ERP leaves no text column NULL: a missing text is written as one blank, ' '. The copies of rows
// from one database to the other keep that rule.
inline constexpr const char* kBlankForNull = "' '";

}  // namespace erpsync::db

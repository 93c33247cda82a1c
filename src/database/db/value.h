// Values as the database layer hands them to the operations: one cell of a recordset.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "util/date_time.h"

namespace erpsync::db {

using erpsync::DateTime;

// Exact decimal kept as its text, e.g. "12.50" (numeric/decimal/money columns).
struct Decimal {
  std::string text;
  bool operator==(const Decimal&) const = default;
};

struct Bytes {
  std::vector<unsigned char> data;
  bool operator==(const Bytes&) const = default;
};

class Value {
 public:
  using Storage = std::variant<std::monostate, std::int64_t, double, Decimal, std::string, DateTime, bool, Bytes>;

  Value() = default;
  Value(std::int64_t v) : v_(v) {}
  Value(int v) : v_(static_cast<std::int64_t>(v)) {}
  Value(double v) : v_(v) {}
  Value(Decimal v) : v_(std::move(v)) {}
  Value(std::string v) : v_(std::move(v)) {}
  Value(const char* v) : v_(std::string(v)) {}
  Value(DateTime v) : v_(v) {}
  Value(bool v) : v_(v) {}
  Value(Bytes v) : v_(std::move(v)) {}

  bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
  bool isText() const { return std::holds_alternative<std::string>(v_); }
  bool isDateTime() const { return std::holds_alternative<DateTime>(v_); }
  bool isNumber() const;
  const Storage& storage() const { return v_; }

  // Text as a recordset field reads in the ERP's own code: numbers without trailing zeros
  // ("12.5", "3"), date-times "YYYY-MM-DD HH:MM:SS.mmm", booleans "1"/"0"; NULL reads as "".
  std::string toString() const;
  // Numeric value: numbers as they are, text by its leading numeric part (0 when none), NULL 0.
  double toDouble() const;
  std::int64_t toInt() const;
  std::optional<DateTime> toDateTime() const;

  bool operator==(const Value&) const = default;

 private:
  Storage v_;
};

// The leading numeric part of a text, as the ERP's Val() reads it ("12abc" -> 12, "" -> 0).
double leadingNumber(std::string_view text);

}  // namespace erpsync::db

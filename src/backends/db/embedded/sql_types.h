// SQL Server column types as the embedded server keeps them, and the conversions between values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "db/embedded/exact_decimal.h"
#include "db/value.h"

namespace erpsync::db::embedded {

enum class BaseType : std::uint8_t {
  Unknown,
  Null,
  Bit,
  TinyInt,
  SmallInt,
  Int,
  BigInt,
  Numeric,  // numeric, decimal
  Money,
  SmallMoney,
  Float,
  Real,
  DateTime,
  SmallDateTime,
  Date,
  Char,
  VarChar,
  Text,
  NChar,
  NVarChar,
  NText,
  Binary,
  VarBinary,
  Image,
  UniqueIdentifier,
};

struct ColType {
  BaseType base = BaseType::Unknown;
  int length = 0;  // characters for text types; -1 for (max) and the long types
  int precision = 0;
  int scale = 0;

  bool isText() const;
  bool isUnicode() const;
  bool isDate() const {
    return base == BaseType::DateTime || base == BaseType::SmallDateTime || base == BaseType::Date;
  }
  bool isInteger() const;
  bool isExactNumeric() const {
    return base == BaseType::Numeric || base == BaseType::Money || base == BaseType::SmallMoney;
  }
  // Exact numerics a 64-bit integer cannot hold exactly (decimals, more than 18 digits, money):
  // their values are kept as exact decimal text and meet through the decimal functions.
  bool keepsDecimalText() const { return isExactNumeric() && (scale > 0 || precision > 18); }
  bool isNumber() const;
  bool known() const { return base != BaseType::Unknown && base != BaseType::Null; }
  bool operator==(const ColType&) const = default;

  // The type as written in DDL, e.g. "numeric(18,2)", "varchar(50)", "datetime".
  std::string sqlName() const;
  // The ADO type code a recordset reports for a column of this type.
  int adoType() const;
  // The SQL Server name used in conversion error messages ("int", "numeric", "varchar" ...).
  std::string errorName() const;
};

// Builds a type from its name and the numbers in parentheses (count = how many were given;
// length -1 stands for "max"). Returns nullopt for a name the server does not know.
std::optional<ColType> makeType(std::string_view name, int count, long long a, long long b);
// Reads a type back from its sqlName() text.
std::optional<ColType> parseTypeName(std::string_view text);
// The type a table column declares in SQLite. Exact decimals kept as text get text affinity (so
// SQLite never turns them into floats) and the TSQLDEC collation (so they compare as numbers).
std::string sqliteColumnType(const ColType& t);

// The smallest and largest value of an integer type (tinyint, smallint, int; bigint for any other).
std::pair<long long, long long> integerRange(BaseType base);

// A runtime value of the SQLite layer.
struct SqlValue {
  std::variant<std::monostate, std::int64_t, double, std::string> v;
  bool isNull() const { return std::holds_alternative<std::monostate>(v); }
  bool isInt() const { return std::holds_alternative<std::int64_t>(v); }
  bool isReal() const { return std::holds_alternative<double>(v); }
  bool isText() const { return std::holds_alternative<std::string>(v); }
  std::int64_t i() const { return std::get<std::int64_t>(v); }
  double d() const { return std::get<double>(v); }
  const std::string& s() const { return std::get<std::string>(v); }
  double asDouble() const { return isInt() ? static_cast<double>(i()) : isReal() ? d() : 0.0; }
};

// How an exact numeric is kept: a 64-bit integer when it has no decimals and fits, else its text
// with exactly its scale's decimals ("12.50").
SqlValue decimalValue(const ExactDecimal& d);
// Reads a number (integer, float or decimal text, blanks around allowed) as an exact decimal;
// nullopt for NULL, for text that is not a number and for an infinite float.
std::optional<ExactDecimal> exactOf(const SqlValue& v);

// Converts a value to a column type as an INSERT/UPDATE does (assign = true: too long text fails
// with "String or binary data would be truncated.") or as CONVERT/CAST does (assign = false: text
// is cut to the length). srcType tells how to read the value (a datetime arrives as its canonical
// text); style is CONVERT's style (-1 none). Throws DbError worded as SQL Server.
SqlValue convertValue(const SqlValue& v, const ColType& srcType, const ColType& target, bool assign, int style = -1);

// A time of day rounded to what a datetime column can hold (steps of 1/300 second).
DateTime roundToDatetimeTicks(const DateTime& t);

// A number as SQL Server prints it when converting to text (numeric keeps its scale).
std::string numberText(const SqlValue& v, const ColType& srcType);

// Reads a stored value into the recordset form of the column type.
Value toRecordValue(const SqlValue& v, const ColType& type);

// Types of literals and of mixed expressions.
ColType literalNumberType(std::string_view text);
ColType higherType(const ColType& a, const ColType& b);
// The numeric an integer type widens to when it meets a numeric (int: numeric(10,0)).
ColType asNumeric(const ColType& t);
// The type of a product of exact numerics: the precisions and the scales add (money times an
// integer stays money); past 38 digits the scale gives way, down to 6.
ColType productType(const ColType& a, const ColType& b);

}  // namespace erpsync::db::embedded

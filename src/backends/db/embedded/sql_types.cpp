// SQL Server column types as the embedded server keeps them, and the conversions between values.
#include "db/embedded/sql_types.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "db/db_error.h"
#include "db/embedded/datetime_text.h"
#include "db/embedded/lexer.h"
#include "util/c_number.h"

namespace erpsync::db::embedded {

namespace {

std::size_t charCount(std::string_view s) {
  std::size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// Byte offset of the n-th character (or the size when shorter).
std::size_t byteOffset(std::string_view s, std::size_t chars) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if ((c & 0xC0) != 0x80) {
      if (n == chars) return i;
      ++n;
    }
  }
  return s.size();
}

std::string formatDouble(double d) {
  if (d == std::floor(d) && std::fabs(d) < 1e15) return util::cFormat(d, 0, true);
  return util::cFormat(d, 15);
}

[[noreturn]] void conversionError(const std::string& text, const ColType& src, const ColType& target) {
  std::string srcName = src.isText() ? src.errorName() : "varchar";
  switch (target.base) {
    case BaseType::Int:
    case BaseType::BigInt:
    case BaseType::SmallInt:
    case BaseType::TinyInt:
    case BaseType::Bit:
      throw DbError("Conversion failed when converting the " + srcName + " value '" + text + "' to data type " +
                        target.errorName() + ".",
                    "22018", 245);
    case BaseType::DateTime:
    case BaseType::SmallDateTime:
    case BaseType::Date:
      throw DbError("Conversion failed when converting date and/or time from character string.", "22007", 241);
    case BaseType::Money:
    case BaseType::SmallMoney:
      throw DbError("Cannot convert a char value to money. The char value has incorrect syntax.", "22018", 293);
    default:
      throw DbError("Error converting data type " + srcName + " to " + target.errorName() + ".", "22018", 8114);
  }
}

[[noreturn]] void overflow(const ColType& target, const ColType& src) {
  std::string from = src.isText() ? src.errorName() : (src.known() ? src.errorName() : "expression");
  throw DbError("Arithmetic overflow error converting " + from + " to data type " + target.errorName() + ".", "22003",
                8115);
}

SqlValue toExact(const SqlValue& v, const ColType& src, const ColType& target) {
  int scale = target.base == BaseType::Numeric ? target.scale : 4;
  int precision = target.base == BaseType::Numeric ? target.precision : (target.base == BaseType::Money ? 19 : 10);
  std::optional<ExactDecimal> d;
  if (v.isText()) {
    std::string t = text::trim(v.s(), text::kWhitespace);
    // Text read as a number takes plain digits only; a float's or a numeric's own text may carry
    // an exponent ("1E-05" as a float literal arrives).
    bool ownText = src.isExactNumeric() || src.base == BaseType::Float || src.base == BaseType::Real;
    if (ownText || t.find_first_of("eE") == std::string::npos) d = ExactDecimal::parse(t);
    if (!d) conversionError(v.s(), src, target);
  } else {
    if (v.isReal() && !std::isfinite(v.d())) overflow(target, src);
    d = exactOf(v);
  }
  if (!d || !d->rescale(scale) || d->integerDigits() > precision - scale) overflow(target, src);
  // money and smallmoney are 64- and 32-bit counts of ten-thousandths.
  Int128 limit = target.base == BaseType::Money        ? Int128{std::numeric_limits<std::int64_t>::max()}
                 : target.base == BaseType::SmallMoney ? Int128{std::numeric_limits<std::int32_t>::max()}
                                                       : Int128{0};
  if (limit != 0 && (d->mantissa > limit || d->mantissa < -limit - 1)) overflow(target, src);
  return decimalValue(*d);
}

}  // namespace

std::pair<long long, long long> integerRange(BaseType base) {
  switch (base) {
    case BaseType::TinyInt:
      return {0, 255};
    case BaseType::SmallInt:
      return {-32768, 32767};
    case BaseType::Int:
      return {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
    default:
      return {std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max()};
  }
}

namespace {

SqlValue toInteger(const SqlValue& v, const ColType& src, const ColType& target) {
  long double x = 0;
  if (v.isInt()) {
    x = static_cast<long double>(v.i());
  } else if (v.isReal()) {
    x = std::trunc(static_cast<long double>(v.d()));
  } else {
    std::string t = text::trim(v.s(), text::kWhitespace);
    if (target.base == BaseType::Bit) {
      if (iequals(t, "true")) return SqlValue{std::int64_t{1}};
      if (iequals(t, "false")) return SqlValue{std::int64_t{0}};
    }
    if (t.empty()) return SqlValue{std::int64_t{0}};
    std::size_t i = 0;
    bool neg = false;
    if (t[i] == '+' || t[i] == '-') neg = t[i++] == '-';
    if (i >= t.size()) conversionError(v.s(), src, target);
    long double acc = 0;
    for (; i < t.size(); ++i) {
      if (t[i] < '0' || t[i] > '9') conversionError(v.s(), src, target);
      acc = acc * 10 + (t[i] - '0');
    }
    x = neg ? -acc : acc;
  }
  if (target.base == BaseType::Bit) return SqlValue{std::int64_t{x != 0 ? 1 : 0}};
  const auto [lo, hi] = integerRange(target.base);
  if (x < static_cast<long double>(lo) || x > static_cast<long double>(hi)) overflow(target, src);
  return SqlValue{static_cast<std::int64_t>(x)};
}

std::optional<DateTime> dateFromValue(const SqlValue& v, const ColType& src, int style) {
  if (v.isInt() || v.isReal()) {
    double d = v.asDouble();
    // Only days from 1753-01-01 to 9999-12-31 are dates; anything else (infinity included) is not one.
    if (!std::isfinite(d) || d < -53690.0 || d >= 2958464.0) return std::nullopt;
    double days = std::floor(d);
    DateTime t = DateTime::fromDayNumber(static_cast<long long>(days));
    double frac = d - days;
    long long ms = std::llround(frac * 86400000.0);
    t.hour = static_cast<int>(ms / 3600000);
    t.minute = static_cast<int>(ms / 60000 % 60);
    t.second = static_cast<int>(ms / 1000 % 60);
    t.millisecond = static_cast<int>(ms % 1000);
    if (!t.valid()) return std::nullopt;
    return t;
  }
  const std::string& s = v.s();
  if (src.isDate() || (s.size() == 23 && s[4] == '-' && s[10] == ' ')) {
    if (auto t = DateTime::fromIso(s)) return t;
  }
  DateOrder order = DateOrder::MDY;
  if (style == 3 || style == 103 || style == 4 || style == 104 || style == 5 || style == 105 || style == 13 ||
      style == 113)
    order = DateOrder::DMY;
  return parseDateText(s, order);
}

}  // namespace

bool ColType::isText() const {
  switch (base) {
    case BaseType::Char:
    case BaseType::VarChar:
    case BaseType::Text:
    case BaseType::NChar:
    case BaseType::NVarChar:
    case BaseType::NText:
      return true;
    default:
      return false;
  }
}

bool ColType::isUnicode() const {
  return base == BaseType::NChar || base == BaseType::NVarChar || base == BaseType::NText;
}

bool ColType::isInteger() const {
  return base == BaseType::Bit || base == BaseType::TinyInt || base == BaseType::SmallInt || base == BaseType::Int ||
         base == BaseType::BigInt;
}

bool ColType::isNumber() const {
  return isInteger() || isExactNumeric() || base == BaseType::Float || base == BaseType::Real;
}

std::string ColType::sqlName() const {
  auto len = [&](const char* n) {
    return std::string(n) + "(" + (length < 0 ? std::string("max") : std::to_string(length)) + ")";
  };
  switch (base) {
    case BaseType::Bit:
      return "bit";
    case BaseType::TinyInt:
      return "tinyint";
    case BaseType::SmallInt:
      return "smallint";
    case BaseType::Int:
      return "int";
    case BaseType::BigInt:
      return "bigint";
    case BaseType::Numeric:
      return "numeric(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
    case BaseType::Money:
      return "money";
    case BaseType::SmallMoney:
      return "smallmoney";
    case BaseType::Float:
      return "float";
    case BaseType::Real:
      return "real";
    case BaseType::DateTime:
      return "datetime";
    case BaseType::SmallDateTime:
      return "smalldatetime";
    case BaseType::Date:
      return "date";
    case BaseType::Char:
      return len("char");
    case BaseType::VarChar:
      return len("varchar");
    case BaseType::Text:
      return "text";
    case BaseType::NChar:
      return len("nchar");
    case BaseType::NVarChar:
      return len("nvarchar");
    case BaseType::NText:
      return "ntext";
    case BaseType::Binary:
      return len("binary");
    case BaseType::VarBinary:
      return len("varbinary");
    case BaseType::Image:
      return "image";
    case BaseType::UniqueIdentifier:
      return "uniqueidentifier";
    case BaseType::Null:
      return "int";
    case BaseType::Unknown:
      return "sql_variant";
  }
  return "sql_variant";
}

std::string ColType::errorName() const {
  switch (base) {
    case BaseType::Numeric:
      return "numeric";
    case BaseType::Char:
      return "char";
    case BaseType::VarChar:
      return "varchar";
    case BaseType::NChar:
      return "nchar";
    case BaseType::NVarChar:
      return "nvarchar";
    case BaseType::Binary:
      return "binary";
    case BaseType::VarBinary:
      return "varbinary";
    default:
      return sqlName();
  }
}

int ColType::adoType() const {
  switch (base) {
    case BaseType::Bit:
      return 11;
    case BaseType::TinyInt:
      return 16;
    case BaseType::SmallInt:
      return 2;
    case BaseType::Int:
      return 3;
    case BaseType::BigInt:
      return 20;
    case BaseType::Numeric:
    case BaseType::Money:
    case BaseType::SmallMoney:
      return 131;
    case BaseType::Float:
      return 5;
    case BaseType::Real:
      return 4;
    case BaseType::DateTime:
    case BaseType::SmallDateTime:
    case BaseType::Date:
      return 135;
    case BaseType::Char:
      return 129;
    case BaseType::VarChar:
      return length < 0 ? 201 : 200;
    case BaseType::Text:
      return 201;
    case BaseType::NChar:
      return 130;
    case BaseType::NVarChar:
      return length < 0 ? 203 : 202;
    case BaseType::NText:
      return 203;
    case BaseType::Binary:
      return 128;
    case BaseType::VarBinary:
      return 204;
    case BaseType::Image:
      return 205;
    case BaseType::UniqueIdentifier:
      return 72;
    case BaseType::Null:
      return 3;
    case BaseType::Unknown:
      return 200;
  }
  return 200;
}

std::optional<ColType> makeType(std::string_view rawName, int count, long long a, long long b) {
  std::string n = lower(rawName);
  ColType t;
  auto textLen = [&](BaseType bt) {
    t.base = bt;
    t.length = count == 0 ? 1 : static_cast<int>(a);
    if (count >= 1 && (a == 0 || a < -1)) return false;
    return count <= 1;
  };
  if (n == "varchar" || n == "char" || n == "nvarchar" || n == "nchar" || n == "binary" || n == "varbinary" ||
      n == "character") {
    BaseType bt = n == "varchar"     ? BaseType::VarChar
                  : n == "nvarchar"  ? BaseType::NVarChar
                  : n == "nchar"     ? BaseType::NChar
                  : n == "binary"    ? BaseType::Binary
                  : n == "varbinary" ? BaseType::VarBinary
                                     : BaseType::Char;
    if (!textLen(bt)) return std::nullopt;
    if (t.length < 0 && (bt == BaseType::Char || bt == BaseType::NChar || bt == BaseType::Binary)) return std::nullopt;
    if (t.length > 8000 || (t.length > 4000 && (bt == BaseType::NChar || bt == BaseType::NVarChar)))
      return std::nullopt;
    return t;
  }
  if (n == "numeric" || n == "decimal" || n == "dec") {
    t.base = BaseType::Numeric;
    t.precision = count >= 1 ? static_cast<int>(a) : 18;
    t.scale = count >= 2 ? static_cast<int>(b) : 0;
    if (count > 2 || t.precision < 1 || t.precision > 38 || t.scale < 0 || t.scale > t.precision) return std::nullopt;
    return t;
  }
  if (count > 0 && n != "float") return std::nullopt;
  if (n == "int" || n == "integer")
    t.base = BaseType::Int;
  else if (n == "bigint")
    t.base = BaseType::BigInt;
  else if (n == "smallint")
    t.base = BaseType::SmallInt;
  else if (n == "tinyint")
    t.base = BaseType::TinyInt;
  else if (n == "bit")
    t.base = BaseType::Bit;
  else if (n == "money")
    t.base = BaseType::Money, t.precision = 19, t.scale = 4;
  else if (n == "smallmoney")
    t.base = BaseType::SmallMoney, t.precision = 10, t.scale = 4;
  else if (n == "float") {
    if (count > 1) return std::nullopt;
    t.base = (count == 1 && a >= 1 && a <= 24) ? BaseType::Real : BaseType::Float;
  } else if (n == "real")
    t.base = BaseType::Real;
  else if (n == "datetime" || n == "datetime2")
    t.base = BaseType::DateTime;
  else if (n == "smalldatetime")
    t.base = BaseType::SmallDateTime;
  else if (n == "date")
    t.base = BaseType::Date;
  else if (n == "text")
    t.base = BaseType::Text, t.length = -1;
  else if (n == "ntext")
    t.base = BaseType::NText, t.length = -1;
  else if (n == "image")
    t.base = BaseType::Image, t.length = -1;
  else if (n == "uniqueidentifier")
    t.base = BaseType::UniqueIdentifier;
  else if (n == "sysname")
    t.base = BaseType::NVarChar, t.length = 128;
  else if (n == "timestamp" || n == "rowversion")
    t.base = BaseType::Binary, t.length = 8;
  else
    return std::nullopt;
  return t;
}

std::string sqliteColumnType(const ColType& t) {
  if (t.keepsDecimalText()) return "TEXT_" + upper(t.sqlName()) + " COLLATE TSQLDEC";
  return upper(t.sqlName());
}

SqlValue decimalValue(const ExactDecimal& d) {
  if (d.scale == 0)
    if (auto i = d.toInt64()) return SqlValue{*i};
  return SqlValue{d.text()};
}

std::optional<ExactDecimal> exactOf(const SqlValue& v) {
  if (v.isInt()) return ExactDecimal::fromInt(v.i());
  if (v.isReal()) return ExactDecimal::fromDouble(v.d());
  if (v.isText()) return ExactDecimal::parse(text::trim(v.s(), text::kWhitespace));
  return std::nullopt;
}

std::optional<ColType> parseTypeName(std::string_view text) {
  std::size_t p = text.find('(');
  if (p == std::string_view::npos) return makeType(text, 0, 0, 0);
  std::string_view name = text.substr(0, p);
  std::string_view rest = text.substr(p + 1);
  std::size_t close = rest.find(')');
  if (close == std::string_view::npos) return std::nullopt;
  std::string inside(rest.substr(0, close));
  std::size_t comma = inside.find(',');
  if (comma == std::string::npos) {
    long long a = iequals(text::trim(inside, text::kWhitespace), "max") ? -1 : std::atoll(inside.c_str());
    return makeType(name, 1, a, 0);
  }
  return makeType(name, 2, std::atoll(inside.substr(0, comma).c_str()), std::atoll(inside.substr(comma + 1).c_str()));
}

std::string numberText(const SqlValue& v, const ColType& src) {
  if (src.isExactNumeric()) {
    // Whatever form the value arrived in, an exact numeric prints with its type's decimals.
    if (auto d = exactOf(v)) {
      d->rescale(src.scale);
      return d->text();
    }
  }
  if (v.isInt()) return std::to_string(v.i());
  if (v.isReal()) return formatDouble(v.d());
  if (v.isText()) return v.s();
  return {};
}

DateTime roundToDatetimeTicks(const DateTime& t) {
  // datetime keeps time in 1/300 s ticks: .001 -> .000, .002 -> .003, .005 -> .007, .999 -> next second.
  long long ticks = std::llround(t.millisecond * 0.3);
  int ms = static_cast<int>(std::llround(static_cast<double>(ticks) / 0.3));
  if (ms == t.millisecond) return t;
  DateTime r = DateTime::fromTotalSeconds(t.totalSeconds() + ms / 1000);
  r.millisecond = ms % 1000;
  return r;
}

namespace {

SqlValue toDateValue(const SqlValue& v, const ColType& src, const ColType& target, int style) {
  auto t = dateFromValue(v, src, style);
  if (!t) {
    if (v.isText()) conversionError(v.s(), src, target);
    overflow(target, src);
  }
  if (target.base == BaseType::SmallDateTime) {
    if (t->second >= 30) *t = DateTime::fromTotalSeconds(t->totalSeconds() + 60 - t->second);
    t->second = 0, t->millisecond = 0;
  } else if (target.base == BaseType::Date) {
    *t = t->dateOnly();
  } else {
    *t = roundToDatetimeTicks(*t);
  }
  return SqlValue{t->iso()};
}

SqlValue toFloatValue(const SqlValue& v, const ColType& src, const ColType& target) {
  if (!v.isText()) return SqlValue{v.asDouble()};
  std::string t = text::trim(v.s(), text::kWhitespace);
  if (t.empty()) return SqlValue{0.0};
  std::size_t used = 0;
  const double d = util::cNumber(t, &used);
  if (used == 0 || used != t.size()) conversionError(v.s(), src, target);
  return SqlValue{d};
}

// Text of the target's length: cut (an assignment fails where more than blanks would go), or padded
// for CHAR and NCHAR.
SqlValue toTextValue(const SqlValue& v, const ColType& src, const ColType& target, bool assign, int style) {
  std::string s;
  if (!v.isText()) {
    s = numberText(v, src);
  } else if (src.isDate()) {
    auto t = DateTime::fromIso(v.s());
    s = t ? formatDateStyle(*t, style < 0 ? 0 : style) : v.s();
  } else {
    s = v.s();
  }
  if (target.length <= 0) return SqlValue{std::move(s)};
  const std::size_t n = charCount(s);
  const auto max = static_cast<std::size_t>(target.length);
  if (n > max) {
    const std::size_t cut = byteOffset(s, max);
    // Trailing blanks beyond the length are dropped silently, as SQL Server does.
    if (assign && s.find_first_not_of(' ', cut) != std::string::npos)
      throw DbError("String or binary data would be truncated.", "22001", 8152);
    s.resize(cut);
  } else if ((target.base == BaseType::Char || target.base == BaseType::NChar) && n < max) {
    s.append(max - n, ' ');
  }
  return SqlValue{std::move(s)};
}

}  // namespace

SqlValue convertValue(const SqlValue& vIn, const ColType& src, const ColType& target, bool assign, int style) {
  if (vIn.isNull() || !target.known()) return vIn;
  SqlValue v = vIn;
  if (v.isText() && src.isExactNumeric() && !target.isText() && !target.isExactNumeric()) {
    // A numeric kept as decimal text is a number here: an integer type truncates it exactly.
    auto d = exactOf(v);
    if (!d) conversionError(v.s(), src, target);
    if (target.base == BaseType::Bit) return SqlValue{std::int64_t{d->sign() != 0 ? 1 : 0}};
    if (target.isInteger()) {
      auto i = d->toInt64();
      if (!i) overflow(target, src);
      return toInteger(SqlValue{*i}, src, target);
    }
    v = SqlValue{d->toDouble()};
  }
  switch (target.base) {
    case BaseType::DateTime:
    case BaseType::SmallDateTime:
    case BaseType::Date:
      return toDateValue(v, src, target, style);
    case BaseType::Bit:
    case BaseType::TinyInt:
    case BaseType::SmallInt:
    case BaseType::Int:
    case BaseType::BigInt:
      if (v.isText() && src.isDate()) {
        auto t = DateTime::fromIso(v.s());
        if (t) return toInteger(SqlValue{static_cast<std::int64_t>(t->dayNumber())}, src, target);
      }
      return toInteger(v, src, target);
    case BaseType::Numeric:
    case BaseType::Money:
    case BaseType::SmallMoney:
      return toExact(v, src, target);
    case BaseType::Float:
    case BaseType::Real:
      return toFloatValue(v, src, target);
    case BaseType::Char:
    case BaseType::VarChar:
    case BaseType::Text:
    case BaseType::NChar:
    case BaseType::NVarChar:
    case BaseType::NText:
      return toTextValue(v, src, target, assign, style);
    default:
      return v;
  }
}

Value toRecordValue(const SqlValue& v, const ColType& type) {
  if (v.isNull()) return Value();
  switch (type.base) {
    case BaseType::DateTime:
    case BaseType::SmallDateTime:
    case BaseType::Date: {
      if (v.isText()) {
        if (auto t = DateTime::fromIso(v.s())) return Value(*t);
        if (auto t = parseDateText(v.s())) return Value(*t);
        return Value(v.s());
      }
      auto t = dateFromValue(v, type, -1);
      if (t) return Value(*t);
      return Value(v.asDouble());
    }
    case BaseType::Bit:
      if (v.isText()) return Value(leadingNumber(v.s()) != 0);
      return Value(v.asDouble() != 0);
    case BaseType::TinyInt:
    case BaseType::SmallInt:
    case BaseType::Int:
    case BaseType::BigInt:
      if (v.isInt()) return Value(static_cast<std::int64_t>(v.i()));
      if (v.isReal()) return Value(static_cast<std::int64_t>(std::trunc(v.d())));
      return Value(static_cast<std::int64_t>(leadingNumber(v.s())));
    case BaseType::Numeric:
    case BaseType::Money:
    case BaseType::SmallMoney: {
      auto d = exactOf(v);
      if (!d) d = ExactDecimal::fromDouble(v.isText() ? leadingNumber(v.s()) : 0.0);
      if (!d) return Value(v.asDouble());
      d->rescale(type.scale);
      return Value(Decimal{d->text()});
    }
    case BaseType::Float:
    case BaseType::Real:
      if (v.isText()) return Value(leadingNumber(v.s()));
      return Value(v.asDouble());
    case BaseType::Char:
    case BaseType::VarChar:
    case BaseType::Text:
    case BaseType::NChar:
    case BaseType::NVarChar:
    case BaseType::NText:
    case BaseType::UniqueIdentifier:
      if (v.isText()) return Value(v.s());
      return Value(numberText(v, ColType{}));
    default:
      if (v.isInt()) return Value(static_cast<std::int64_t>(v.i()));
      if (v.isReal()) return Value(v.d());
      return Value(v.s());
  }
}

ColType literalNumberType(std::string_view text) {
  ColType t;
  if (text.find_first_of("eE") != std::string_view::npos) {
    t.base = BaseType::Float;
    return t;
  }
  std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) {
    std::size_t nz = text.find_first_not_of('0');
    std::size_t digits = nz == std::string_view::npos ? 1 : text.size() - nz;
    if (digits <= 9 || (digits == 10 && text.substr(nz) <= "2147483647")) {
      t.base = BaseType::Int;
    } else {
      t.base = BaseType::Numeric;
      t.precision = static_cast<int>(std::min<std::size_t>(38, digits));
      t.scale = 0;
    }
    return t;
  }
  t.base = BaseType::Numeric;
  t.scale = static_cast<int>(text.size() - dot - 1);
  t.precision = std::max(1, static_cast<int>(text.size() - 1));
  if (t.precision > 38) t.precision = 38;
  if (t.scale > t.precision) t.scale = t.precision;
  return t;
}

namespace {
int rank(BaseType b) {
  switch (b) {
    case BaseType::DateTime:
      return 30;
    case BaseType::SmallDateTime:
      return 29;
    case BaseType::Date:
      return 28;
    case BaseType::Float:
      return 27;
    case BaseType::Real:
      return 26;
    case BaseType::Numeric:
      return 25;
    case BaseType::Money:
      return 24;
    case BaseType::SmallMoney:
      return 23;
    case BaseType::BigInt:
      return 22;
    case BaseType::Int:
      return 21;
    case BaseType::SmallInt:
      return 20;
    case BaseType::TinyInt:
      return 19;
    case BaseType::Bit:
      return 18;
    case BaseType::NText:
      return 17;
    case BaseType::Text:
      return 16;
    case BaseType::Image:
      return 15;
    case BaseType::UniqueIdentifier:
      return 14;
    case BaseType::NVarChar:
      return 13;
    case BaseType::NChar:
      return 12;
    case BaseType::VarChar:
      return 11;
    case BaseType::Char:
      return 10;
    case BaseType::VarBinary:
      return 9;
    case BaseType::Binary:
      return 8;
    case BaseType::Null:
      return 1;
    case BaseType::Unknown:
      return 0;
  }
  return 0;
}
}  // namespace

ColType asNumeric(const ColType& t) {
  if (!t.isInteger()) return t;
  ColType r;
  r.base = BaseType::Numeric;
  r.precision = t.base == BaseType::Bit        ? 1
                : t.base == BaseType::TinyInt  ? 3
                : t.base == BaseType::SmallInt ? 5
                : t.base == BaseType::Int      ? 10
                                               : 19;
  return r;
}

ColType productType(const ColType& a, const ColType& b) {
  auto money = [](const ColType& t) { return t.base == BaseType::Money || t.base == BaseType::SmallMoney; };
  if (money(a) && b.isInteger()) return a;
  if (money(b) && a.isInteger()) return b;
  ColType x = asNumeric(a), y = asNumeric(b);
  ColType r;
  r.base = BaseType::Numeric;
  r.precision = x.precision + y.precision + 1;
  r.scale = x.scale + y.scale;
  if (r.precision > 38) {
    // Past 38 digits the integer part is kept and the scale gives way, down to 6 decimals.
    r.scale = std::min(r.scale, std::max(std::min(r.scale, 6), 38 - (r.precision - r.scale)));
    r.precision = 38;
  }
  return r;
}

ColType higherType(const ColType& a, const ColType& b) {
  if (!a.known() && a.base != BaseType::Null) return a;
  if (!b.known() && b.base != BaseType::Null) return b;
  if (a.isExactNumeric() && b.isExactNumeric()) {
    ColType r;
    r.base = BaseType::Numeric;
    r.scale = std::max(a.scale, b.scale);
    r.precision = std::min(38, std::max(a.precision - a.scale, b.precision - b.scale) + r.scale + 1);
    return r;
  }
  // An integer meeting a numeric counts as the numeric holding all its digits, so a sum such as
  // numeric(18,2) + int is numeric(19,2) and overflows when stored back into numeric(18,2).
  if (a.isExactNumeric() && b.isInteger()) return a.base == BaseType::Numeric ? higherType(a, asNumeric(b)) : a;
  if (b.isExactNumeric() && a.isInteger()) return b.base == BaseType::Numeric ? higherType(asNumeric(a), b) : b;
  if (a.isText() && b.isText()) {
    ColType r = rank(a.base) >= rank(b.base) ? a : b;
    if (a.length < 0 || b.length < 0)
      r.length = -1;
    else
      r.length = std::max(a.length, b.length);
    return r;
  }
  return rank(a.base) >= rank(b.base) ? a : b;
}

}  // namespace erpsync::db::embedded

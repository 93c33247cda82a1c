// Writing the replies of SQL Server's wire protocol: how a column of a result is described on the wire
// (type, length, precision, scale, collation), the reply tokens (login acknowledgement, environment
// changes, messages, DONE counts) and every stored type's value.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "db/tds/tds_protocol.h"
#include "util/c_number.h"
#include "util/text.h"

namespace erpsync::db::tds {

namespace {

struct Declared {
  std::string name;
  long long a = -2, b = -2;  // -2: not given; -1: max
};

Declared parseDeclared(const std::string& declared) {
  Declared d;
  std::size_t open = declared.find('(');
  d.name = text::lower(declared.substr(0, open));
  if (open != std::string::npos) {
    std::string args = text::lower(declared.substr(open + 1));
    if (!args.empty() && args.back() == ')') args.pop_back();
    std::size_t comma = args.find(',');
    auto num = [](const std::string& s) -> long long {
      if (s.find("max") != std::string::npos) return -1;
      return static_cast<long long>(util::cNumber(s));
    };
    d.a = num(args.substr(0, comma));
    if (comma != std::string::npos) d.b = num(args.substr(comma + 1));
  }
  return d;
}

std::uint8_t decimalBytes(int precision) {
  return precision <= 9 ? 5 : precision <= 19 ? 9 : precision <= 28 ? 13 : 17;
}

// Digits after the point in a number's text.
int scaleOf(const std::string& s) {
  std::size_t dot = s.find('.');
  if (dot == std::string::npos) return 0;
  std::size_t end = s.find_first_not_of("0123456789", dot + 1);
  return static_cast<int>((end == std::string::npos ? s.size() : end) - dot - 1);
}

std::uint16_t textBytes(std::size_t n) {
  return static_cast<std::uint16_t>(std::clamp<std::size_t>(n, 1, 8000));
}

}  // namespace

namespace {

// Calls fn with every value of the column that is not NULL.
template <class Fn>
void forValues(const Recordset& rs, std::size_t column, Fn fn) {
  for (auto& row : rs.rows)
    if (column < row.size() && !row[column].isNull()) fn(row[column]);
}

// The column's longest value, in bytes as it will be sent.
std::size_t longestValue(const Recordset& rs, std::size_t column, bool unicode) {
  std::size_t n = 0;
  forValues(rs, column, [&](const Value& v) {
    if (auto* b = std::get_if<db::Bytes>(&v.storage()))
      n = std::max(n, b->data.size());
    else
      n = std::max(n, unicode ? utf16Units(v.toString()) * 2 : utf8ToCp1252(v.toString()).size());
  });
  return n;
}

// A text or binary column of the declared length (limit: the most a declared length can be, 8000
// bytes or 4000 characters), widened when a value is longer; 0xFFFF for the unlimited forms.
WireColumn sizedColumn(WireColumn::Kind kind, const Declared& d, bool unlimited, long long limit, int bytesPerChar,
                       const Recordset& rs, std::size_t column) {
  WireColumn w;
  w.kind = kind;
  w.maxBytes = unlimited || d.a > limit ? 0xFFFF : textBytes(std::max<long long>(d.a, 1) * bytesPerChar);
  if (w.maxBytes == 0xFFFF) return w;
  const std::size_t longest = longestValue(rs, column, kind == WireColumn::UnicodeText);
  if (longest > w.maxBytes) w.maxBytes = textBytes(longest);
  return w;
}

// The column as its declared type describes it; nullopt for a type not known here.
std::optional<WireColumn> declaredColumn(const Declared& d, const Recordset& rs, std::size_t column) {
  static const std::pair<const char*, WireColumn> fixed[] = {{"bit", {WireColumn::Bit, 1}},
                                                             {"tinyint", {WireColumn::Int, 1}},
                                                             {"smallint", {WireColumn::Int, 2}},
                                                             {"int", {WireColumn::Int, 4}},
                                                             {"bigint", {WireColumn::Int, 8}},
                                                             {"float", {WireColumn::Float, 8}},
                                                             {"real", {WireColumn::Float, 4}},
                                                             {"money", {WireColumn::Money, 8}},
                                                             {"smallmoney", {WireColumn::Money, 4}},
                                                             {"datetime", {WireColumn::DateTime, 8}},
                                                             {"smalldatetime", {WireColumn::DateTime, 8}},
                                                             {"date", {WireColumn::DateTime, 8}},
                                                             {"uniqueidentifier", {WireColumn::Guid, 16}}};
  const std::string& n = d.name;
  for (const auto& [name, w] : fixed)
    if (n == name) return w;
  if (n == "numeric" || n == "decimal") {
    WireColumn w;
    w.kind = WireColumn::Decimal;
    w.precision = static_cast<std::uint8_t>(std::clamp<long long>(d.a < 1 ? 18 : d.a, 1, 38));
    w.scale = static_cast<std::uint8_t>(std::clamp<long long>(d.b < 0 ? 0 : d.b, 0, w.precision));
    w.size = decimalBytes(w.precision);
    return w;
  }
  const bool max = d.a == -1 || n == "text" || n == "ntext" || n == "image";
  if (n == "char" || n == "varchar" || n == "text") return sizedColumn(WireColumn::Text, d, max, 8000, 1, rs, column);
  if (n == "nchar" || n == "nvarchar" || n == "ntext")
    return sizedColumn(WireColumn::UnicodeText, d, max, 4000, 2, rs, column);
  if (n == "binary" || n == "varbinary" || n == "image")
    return sizedColumn(WireColumn::Binary, d, max, 8000, 1, rs, column);
  return std::nullopt;
}

// Text or binary as long as the longest value.
WireColumn measuredColumn(WireColumn::Kind kind, const Recordset& rs, std::size_t column) {
  WireColumn w;
  w.kind = kind;
  const std::size_t longest = longestValue(rs, column, kind == WireColumn::UnicodeText);
  w.maxBytes = longest > 8000 ? 0xFFFF : textBytes(longest);
  return w;
}

// Nothing declared (an expression the server could not type): the ADO type and the values decide.
WireColumn untypedColumn(const Field& f, const Recordset& rs, std::size_t column) {
  switch (f.type) {
    case adBoolean:
      return {WireColumn::Bit, 1};
    case adTinyInt:
      return {WireColumn::Int, 1};
    case adSmallInt:
      return {WireColumn::Int, 2};
    case adInteger: {
      bool wide = false;
      forValues(rs, column, [&](const Value& v) {
        const std::int64_t i = v.toInt();
        if (i < std::numeric_limits<std::int32_t>::min() || i > std::numeric_limits<std::int32_t>::max()) wide = true;
      });
      return {WireColumn::Int, static_cast<std::uint8_t>(wide ? 8 : 4)};
    }
    case adBigInt:
      return {WireColumn::Int, 8};
    case adSingle:
      return {WireColumn::Float, 4};
    case adDouble:
      return {WireColumn::Float, 8};
    case adCurrency:
      return {WireColumn::Money, 8};
    case adDecimal:
    case adNumeric: {
      int scale = 0;
      forValues(rs, column, [&](const Value& v) { scale = std::max(scale, scaleOf(v.toString())); });
      WireColumn w;
      w.kind = WireColumn::Decimal;
      w.precision = 38;
      w.scale = static_cast<std::uint8_t>(std::min(scale, 38));
      w.size = 17;
      return w;
    }
    case adDate:
    case adDBTimeStamp:
      return {WireColumn::DateTime, 8};
    case adBinary:
    case adVarBinary:
    case 205:
      return measuredColumn(WireColumn::Binary, rs, column);
    case adWChar:
    case adVarWChar:
    case adLongVarWChar:
      return measuredColumn(WireColumn::UnicodeText, rs, column);
    default:
      return measuredColumn(WireColumn::Text, rs, column);
  }
}

}  // namespace

WireColumn wireColumn(const Field& f, const Recordset& rs, std::size_t column) {
  if (!f.declared.empty())
    if (auto w = declaredColumn(parseDeclared(f.declared), rs, column)) return *w;
  return untypedColumn(f, rs, column);
}

// ---------------------------------------------------------------- reply tokens

void ReplyWriter::u16(std::uint16_t v) {
  out_.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out_.push_back(static_cast<std::uint8_t>(v >> 8));
}
void ReplyWriter::u32(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void ReplyWriter::u64(std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void ReplyWriter::bVarchar(std::string_view utf8) {
  Bytes t;
  appendUtf16(t, utf8);
  const std::size_t units = std::min<std::size_t>(t.size() / 2, 255);
  u8(static_cast<std::uint8_t>(units));
  out_.insert(out_.end(), t.begin(), t.begin() + static_cast<std::ptrdiff_t>(units * 2));
}

void ReplyWriter::usVarchar(std::string_view utf8) {
  Bytes t;
  appendUtf16(t, utf8);
  const std::size_t units = std::min<std::size_t>(t.size() / 2, 0xFFFF);
  u16(static_cast<std::uint16_t>(units));
  out_.insert(out_.end(), t.begin(), t.begin() + static_cast<std::ptrdiff_t>(units * 2));
}

void ReplyWriter::loginAck(std::string_view program, std::uint32_t tdsVersion) {
  Bytes name;
  appendUtf16(name, program);
  u8(0xAD);
  u16(static_cast<std::uint16_t>(1 + 4 + 1 + name.size() + 4));
  u8(1);  // T-SQL
  // The version goes big-endian.
  for (int i = 3; i >= 0; --i) u8(static_cast<std::uint8_t>(tdsVersion >> (8 * i)));
  u8(static_cast<std::uint8_t>(name.size() / 2));
  out_.insert(out_.end(), name.begin(), name.end());
  for (std::uint8_t b : {15, 0, 0x07, 0xD0}) u8(b);
}

void ReplyWriter::envChange(std::uint8_t type, std::string_view newValue, std::string_view oldValue) {
  Bytes a, b;
  appendUtf16(a, newValue);
  appendUtf16(b, oldValue);
  u8(0xE3);
  u16(static_cast<std::uint16_t>(1 + 1 + a.size() + 1 + b.size()));
  u8(type);
  u8(static_cast<std::uint8_t>(a.size() / 2));
  out_.insert(out_.end(), a.begin(), a.end());
  u8(static_cast<std::uint8_t>(b.size() / 2));
  out_.insert(out_.end(), b.begin(), b.end());
}

void ReplyWriter::envChangeBytes(std::uint8_t type, const Bytes& newValue, const Bytes& oldValue) {
  u8(0xE3);
  u16(static_cast<std::uint16_t>(1 + 1 + newValue.size() + 1 + oldValue.size()));
  u8(type);
  u8(static_cast<std::uint8_t>(newValue.size()));
  out_.insert(out_.end(), newValue.begin(), newValue.end());
  u8(static_cast<std::uint8_t>(oldValue.size()));
  out_.insert(out_.end(), oldValue.begin(), oldValue.end());
}

void ReplyWriter::message(const ServerMessage& m, bool error) {
  ReplyWriter body;
  body.u32(static_cast<std::uint32_t>(m.number));
  body.u8(static_cast<std::uint8_t>(m.state));
  body.u8(static_cast<std::uint8_t>(m.severity));
  body.usVarchar(m.text);
  body.bVarchar(m.server);
  body.bVarchar(m.procedure);
  body.u32(static_cast<std::uint32_t>(m.line));
  u8(error ? 0xAA : 0xAB);
  u16(static_cast<std::uint16_t>(body.out_.size()));
  out_.insert(out_.end(), body.out_.begin(), body.out_.end());
}

void ReplyWriter::done(std::uint8_t token, std::uint16_t status, std::uint16_t command, std::uint64_t rows) {
  u8(token);
  u16(status);
  u16(command);
  u64(rows);
}

void ReplyWriter::returnStatus(std::int32_t value) {
  u8(0x79);
  u32(static_cast<std::uint32_t>(value));
}

void ReplyWriter::plp(const std::string& bytes) {
  u64(bytes.size());
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t n = std::min<std::size_t>(bytes.size() - at, 8000);
    u32(static_cast<std::uint32_t>(n));
    out_.insert(out_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  }
  u32(0);
}

namespace {

// A decimal's text as an unscaled integer at `scale` digits (rounded half away from zero).
// A 128-bit magnitude: a numeric(38) value's digits fit in it (a compiler extension of GCC and Clang).
__extension__ typedef unsigned __int128 Magnitude;

bool unscaled(const std::string& text, int scale, bool& negative, Magnitude& out) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::string intDigits, fracDigits;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) intDigits += text[i++];
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) fracDigits += text[i++];
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) return false;
  bool roundUp = static_cast<int>(fracDigits.size()) > scale && fracDigits[static_cast<std::size_t>(scale)] >= '5';
  fracDigits.resize(static_cast<std::size_t>(scale), '0');
  const Magnitude limit = ~static_cast<Magnitude>(0) / 10 - 10;
  out = 0;
  for (char ch : intDigits + fracDigits) {
    if (out > limit) return false;
    out = out * 10 + static_cast<unsigned>(ch - '0');
  }
  if (roundUp) out += 1;
  if (out == 0) negative = false;
  return true;
}

std::string decimalText(const Value& v) {
  if (auto* d = std::get_if<double>(&v.storage())) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", *d);
    std::string s = buf;
    if (s.find_first_of("eE") == std::string::npos) return s;
    std::snprintf(buf, sizeof buf, "%.10f", *d);
    return buf;
  }
  return v.toString();
}

bool guidBytes(const std::string& text, std::uint8_t out[16]) {
  std::string hex;
  for (char ch : text)
    if (std::isxdigit(static_cast<unsigned char>(ch)))
      hex += ch;
    else if (ch != '-' && ch != '{' && ch != '}')
      return false;
  if (hex.size() != 32) return false;
  std::uint8_t raw[16];
  for (int i = 0; i < 16; ++i)
    raw[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(static_cast<std::size_t>(i) * 2, 2), nullptr, 16));
  // The first three groups go little-endian.
  const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  for (int i = 0; i < 16; ++i) out[i] = raw[order[i]];
  return true;
}

}  // namespace

void ReplyWriter::value(const WireColumn& c, const Value& v) {
  const bool variable = c.kind == WireColumn::Text || c.kind == WireColumn::UnicodeText || c.kind == WireColumn::Binary;
  if (v.isNull()) {
    if (!variable) {
      u8(0);
    } else if (c.maxBytes == 0xFFFF) {
      u64(~0ull);
    } else {
      u16(0xFFFF);
    }
    return;
  }
  switch (c.kind) {
    case WireColumn::Int: {
      const std::int64_t i = v.toInt();
      u8(c.size);
      for (int k = 0; k < c.size; ++k) u8(static_cast<std::uint8_t>(static_cast<std::uint64_t>(i) >> (8 * k)));
      return;
    }
    case WireColumn::Bit:
      u8(1);
      u8(v.toDouble() != 0 ? 1 : 0);
      return;
    case WireColumn::Float:
      return floatValue(c, v.toDouble());
    case WireColumn::Money:
      return moneyValue(c, v);
    case WireColumn::Decimal:
      return decimalValue(c, v);
    case WireColumn::DateTime:
      return dateTimeValue(v);
    case WireColumn::Guid: {
      std::uint8_t g[16];
      if (!guidBytes(v.toString(), g)) {
        u8(0);
        return;
      }
      u8(16);
      out_.insert(out_.end(), g, g + 16);
      return;
    }
    case WireColumn::Text:
    case WireColumn::UnicodeText:
    case WireColumn::Binary:
      return variableValue(c, v);
  }
}

void ReplyWriter::floatValue(const WireColumn& c, double d) {
  u8(c.size);
  if (c.size == 4) {
    float f = static_cast<float>(d);
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    u32(bits);
  } else {
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    u64(bits);
  }
}

// Money: ten-thousandths as a 4-byte integer, or an 8-byte one sent high half first.
void ReplyWriter::moneyValue(const WireColumn& c, const Value& v) {
  bool negative = false;
  Magnitude mag = 0;
  if (!unscaled(decimalText(v), 4, negative, mag)) mag = 0;
  const std::int64_t m = negative ? -static_cast<std::int64_t>(mag) : static_cast<std::int64_t>(mag);
  u8(c.size);
  if (c.size == 4) {
    u32(static_cast<std::uint32_t>(m));
  } else {
    u32(static_cast<std::uint32_t>(static_cast<std::uint64_t>(m) >> 32));
    u32(static_cast<std::uint32_t>(static_cast<std::uint64_t>(m)));
  }
}

// Decimal: the sign, then the unscaled magnitude little-endian.
void ReplyWriter::decimalValue(const WireColumn& c, const Value& v) {
  bool negative = false;
  Magnitude mag = 0;
  if (!unscaled(decimalText(v), c.scale, negative, mag)) mag = 0;
  u8(c.size);
  u8(negative ? 0 : 1);
  for (int k = 0; k < c.size - 1; ++k) u8(static_cast<std::uint8_t>(mag >> (8 * k)));
}

// Datetime: days since 1900-01-01 and three-hundredths of a second since midnight.
void ReplyWriter::dateTimeValue(const Value& v) {
  std::optional<DateTime> t = v.toDateTime();
  if (!t) {
    u8(0);
    return;
  }
  const long long days = t->dayNumber();
  long long ticks = (static_cast<long long>(t->hour) * 3600 + t->minute * 60 + t->second) * 300 +
                    (static_cast<long long>(t->millisecond) * 3 + 5) / 10;
  ticks = std::min<long long>(ticks, 25919999);
  u8(8);
  u32(static_cast<std::uint32_t>(static_cast<std::int32_t>(days)));
  u32(static_cast<std::uint32_t>(ticks));
}

// Text (code page 1252), Unicode text (UTF-16) and bytes: cut to the column's length, or in chunks
// for a (max) column.
void ReplyWriter::variableValue(const WireColumn& c, const Value& v) {
  std::string bytes;
  if (c.kind == WireColumn::Binary) {
    if (auto* b = std::get_if<db::Bytes>(&v.storage()))
      bytes.assign(b->data.begin(), b->data.end());
    else
      bytes = v.toString();
  } else if (c.kind == WireColumn::Text) {
    bytes = utf8ToCp1252(v.toString());
  } else {
    Bytes t;
    appendUtf16(t, v.toString());
    bytes.assign(t.begin(), t.end());
  }
  if (c.maxBytes == 0xFFFF) {
    plp(bytes);
    return;
  }
  if (bytes.size() > c.maxBytes) bytes.resize(c.maxBytes);
  u16(static_cast<std::uint16_t>(bytes.size()));
  out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void ReplyWriter::resultSet(const Recordset& rs) {
  std::vector<WireColumn> cols;
  u8(0x81);
  u16(static_cast<std::uint16_t>(rs.fields.size()));
  for (std::size_t i = 0; i < rs.fields.size(); ++i) {
    const WireColumn c = wireColumn(rs.fields[i], rs, i);
    cols.push_back(c);
    u32(0);       // user type
    u16(0x0001);  // nullable
    switch (c.kind) {
      case WireColumn::Int:
        u8(0x26);
        u8(c.size);
        break;
      case WireColumn::Bit:
        u8(0x68);
        u8(1);
        break;
      case WireColumn::Float:
        u8(0x6D);
        u8(c.size);
        break;
      case WireColumn::Money:
        u8(0x6E);
        u8(c.size);
        break;
      case WireColumn::Decimal:
        u8(0x6C);
        u8(c.size);
        u8(c.precision);
        u8(c.scale);
        break;
      case WireColumn::DateTime:
        u8(0x6F);
        u8(8);
        break;
      case WireColumn::Guid:
        u8(0x24);
        u8(16);
        break;
      case WireColumn::Text:
      case WireColumn::UnicodeText:
        u8(c.kind == WireColumn::Text ? 0xA7 : 0xE7);
        u16(c.maxBytes);
        out_.insert(out_.end(), kCollation, kCollation + 5);
        break;
      case WireColumn::Binary:
        u8(0xA5);
        u16(c.maxBytes);
        break;
    }
    bVarchar(rs.fields[i].name);
  }
  for (auto& row : rs.rows) {
    u8(0xD1);
    for (std::size_t i = 0; i < cols.size(); ++i) value(cols[i], i < row.size() ? row[i] : Value());
  }
}

}  // namespace erpsync::db::tds

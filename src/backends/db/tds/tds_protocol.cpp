// Reading requests and writing replies of SQL Server's wire protocol. Every read is bounds-checked:
// the bytes come from the network and may be anything.
#include "db/tds/tds_protocol.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

#include "util/c_number.h"

namespace erpsync::db::tds {

const std::uint8_t kCollation[5] = {0x09, 0x04, 0xD0, 0x00, 0x34};

namespace {

// A bounds-checked reader over a message.
class Cursor {
 public:
  Cursor(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
  explicit Cursor(const Bytes& b) : p_(b.data()), n_(b.size()) {}
  std::size_t pos() const { return at_; }
  std::size_t size() const { return n_; }
  std::size_t left() const { return n_ - at_; }
  void need(std::size_t k) const {
    if (k > left()) throw ProtocolError("request ends early");
  }
  void skip(std::size_t k) {
    need(k);
    at_ += k;
  }
  void seek(std::size_t to) {
    if (to > n_) throw ProtocolError("offset past the end of the request");
    at_ = to;
  }
  std::uint8_t u8() {
    need(1);
    return p_[at_++];
  }
  std::uint16_t u16() {
    need(2);
    std::uint16_t v = static_cast<std::uint16_t>(p_[at_] | (p_[at_ + 1] << 8));
    at_ += 2;
    return v;
  }
  std::uint16_t u16be() {
    need(2);
    std::uint16_t v = static_cast<std::uint16_t>((p_[at_] << 8) | p_[at_ + 1]);
    at_ += 2;
    return v;
  }
  std::uint32_t u32() {
    need(4);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | p_[at_ + static_cast<std::size_t>(i)];
    at_ += 4;
    return v;
  }
  std::uint64_t u64() {
    std::uint64_t lo = u32();
    std::uint64_t hi = u32();
    return lo | (hi << 32);
  }
  const std::uint8_t* take(std::size_t k) {
    need(k);
    const std::uint8_t* r = p_ + at_;
    at_ += k;
    return r;
  }
  // UTF-16 text of `chars` characters.
  std::string text(std::size_t chars) {
    if (chars > left() / 2) throw ProtocolError("text runs past the end of the request");
    return utf16ToUtf8(take(chars * 2), chars * 2);
  }
  const std::uint8_t* data() const { return p_; }

 private:
  const std::uint8_t* p_;
  std::size_t n_;
  std::size_t at_ = 0;
};

// The ALL_HEADERS block ahead of a SQL batch or RPC (TDS 7.2 and later): its total length first.
void skipAllHeaders(Cursor& c) {
  if (c.left() < 4) throw ProtocolError("request has no headers");
  std::uint32_t total = c.u32();
  if (total < 4 || total - 4 > c.left()) throw ProtocolError("request headers have an impossible length");
  std::size_t end = c.pos() + (total - 4);
  while (c.pos() < end) {
    std::uint32_t len = c.u32();
    if (len < 6 || len - 4 > end - c.pos()) throw ProtocolError("request header has an impossible length");
    c.skip(len - 4);
  }
}

void putUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Next code point of UTF-8 text; malformed bytes read as U+FFFD.
std::uint32_t nextCodePoint(std::string_view s, std::size_t& i) {
  auto b = static_cast<unsigned char>(s[i++]);
  if (b < 0x80) return b;
  int more = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
  if (more < 0) return 0xFFFD;
  std::uint32_t cp = b & (0x3F >> more);
  for (int k = 0; k < more; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
  return cp;
}

std::string lower(std::string s) {
  for (auto& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

}  // namespace

// ---------------------------------------------------------------- text

std::string utf16ToUtf8(const std::uint8_t* p, std::size_t bytes) {
  std::string out;
  out.reserve(bytes / 2);
  std::size_t n = bytes / 2;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t u = static_cast<std::uint32_t>(p[2 * i] | (p[2 * i + 1] << 8));
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
      std::uint32_t l = static_cast<std::uint32_t>(p[2 * i + 2] | (p[2 * i + 3] << 8));
      if (l >= 0xDC00 && l <= 0xDFFF) {
        putUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (l - 0xDC00));
        ++i;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) u = 0xFFFD;
    putUtf8(out, u);
  }
  return out;
}

void appendUtf16(Bytes& out, std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    std::uint32_t cp = nextCodePoint(utf8, i);
    auto unit = [&](std::uint32_t u) {
      out.push_back(static_cast<std::uint8_t>(u & 0xFF));
      out.push_back(static_cast<std::uint8_t>(u >> 8));
    };
    if (cp >= 0x10000) {
      cp -= 0x10000;
      unit(0xD800 + (cp >> 10));
      unit(0xDC00 + (cp & 0x3FF));
    } else {
      unit(cp);
    }
  }
}

std::size_t utf16Units(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < utf8.size();) n += nextCodePoint(utf8, i) >= 0x10000 ? 2 : 1;
  return n;
}

std::string utf8ToCp1252(std::string_view utf8) {
  // Windows-1252's 0x80..0x9F; the rest of its upper half is Latin-1.
  static const std::uint16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                         0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                         0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    std::uint32_t cp = nextCodePoint(utf8, i);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out += static_cast<char>(cp);
      continue;
    }
    char c = '?';
    for (int k = 0; k < 32; ++k)
      if (high[k] == cp && cp != 0) c = static_cast<char>(0x80 + k);
    out += c;
  }
  return out;
}

// ---------------------------------------------------------------- packets

PacketHeader parseHeader(const std::uint8_t* p) {
  PacketHeader h;
  h.type = p[0];
  h.status = p[1];
  h.length = static_cast<std::uint16_t>((p[2] << 8) | p[3]);
  h.spid = static_cast<std::uint16_t>((p[4] << 8) | p[5]);
  h.packetId = p[6];
  if (h.length < kHeaderSize) throw ProtocolError("packet shorter than its header");
  return h;
}

bool MessageReader::add(const PacketHeader& h, const std::uint8_t* payload, std::size_t n) {
  if (!started_) {
    type_ = h.type;
    started_ = true;
    data_.clear();
  } else if (h.type != type_) {
    throw ProtocolError("packet of another request inside a request");
  }
  if (data_.size() + n > kMaxMessageSize) throw ProtocolError("request too large");
  data_.insert(data_.end(), payload, payload + n);
  if (h.status & kStatusEom) {
    started_ = false;
    return true;
  }
  return false;
}

Bytes MessageReader::take() {
  Bytes out;
  out.swap(data_);
  return out;
}

Bytes packetize(std::uint8_t type, const Bytes& message, std::size_t packetSize, std::uint16_t spid) {
  const std::size_t room = std::max<std::size_t>(packetSize, 512) - kHeaderSize;
  Bytes out;
  out.reserve(message.size() + (message.size() / room + 1) * kHeaderSize);
  std::size_t at = 0;
  std::uint8_t id = 1;
  do {
    const std::size_t n = std::min(room, message.size() - at);
    const bool last = at + n == message.size();
    const std::size_t len = n + kHeaderSize;
    out.push_back(type);
    out.push_back(last ? kStatusEom : 0);
    out.push_back(static_cast<std::uint8_t>(len >> 8));
    out.push_back(static_cast<std::uint8_t>(len & 0xFF));
    out.push_back(static_cast<std::uint8_t>(spid >> 8));
    out.push_back(static_cast<std::uint8_t>(spid & 0xFF));
    out.push_back(id++);
    out.push_back(0);
    out.insert(out.end(), message.begin() + static_cast<std::ptrdiff_t>(at),
               message.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  } while (at < message.size());
  return out;
}

// ---------------------------------------------------------------- requests

PreLogin parsePreLogin(const Bytes& m) {
  Cursor c(m);
  PreLogin out;
  for (int options = 0;; ++options) {
    if (options > 64) throw ProtocolError("pre-login has too many options");
    std::uint8_t token = c.u8();
    if (token == 0xFF) break;
    std::uint16_t offset = c.u16be();
    std::uint16_t length = c.u16be();
    if (static_cast<std::size_t>(offset) + length > m.size()) throw ProtocolError("pre-login option out of range");
    if (token == 1 && length >= 1) out.encryption = m[offset];
    if (token == 4 && length >= 1) out.mars = m[offset] != 0;
  }
  return out;
}

Bytes preLoginReply(std::uint8_t encryption) {
  // VERSION, ENCRYPTION, INSTOPT, THREADID, MARS, terminator; then their values.
  const std::uint8_t options[][2] = {{0, 6}, {1, 1}, {2, 1}, {3, 0}, {4, 1}};
  Bytes out;
  std::uint16_t offset = static_cast<std::uint16_t>(sizeof options / sizeof options[0] * 5 + 1);
  for (auto& o : options) {
    out.push_back(o[0]);
    out.push_back(static_cast<std::uint8_t>(offset >> 8));
    out.push_back(static_cast<std::uint8_t>(offset & 0xFF));
    out.push_back(0);
    out.push_back(o[1]);
    offset = static_cast<std::uint16_t>(offset + o[1]);
  }
  out.push_back(0xFF);
  // Version 15.0.2000 (SQL Server 2019), sub-build 0.
  for (std::uint8_t b : {0x0F, 0x00, 0x07, 0xD0, 0x00, 0x00}) out.push_back(b);
  out.push_back(encryption);
  out.push_back(0);  // instance: matched
  out.push_back(0);  // MARS off
  return out;
}

Login7 parseLogin7(const Bytes& m) {
  Cursor c(m);
  Login7 out;
  const std::uint32_t length = c.u32();
  if (length > m.size() || length < 94) throw ProtocolError("login record has an impossible length");
  out.tdsVersion = c.u32();
  out.packetSize = c.u32();
  c.skip(4 + 4 + 4);  // client program version, process id, connection id
  c.skip(4);          // option flags 1-3, type flags
  c.skip(4 + 4);      // time zone, LCID
  auto field = [&](std::string& into, bool password) {
    std::uint16_t offset = c.u16();
    std::uint16_t chars = c.u16();
    if (chars == 0) return;
    if (static_cast<std::size_t>(offset) + static_cast<std::size_t>(chars) * 2 > length)
      throw ProtocolError("login field out of range");
    if (!password) {
      into = utf16ToUtf8(m.data() + offset, static_cast<std::size_t>(chars) * 2);
      return;
    }
    // Each byte of the password has its nibbles swapped and is XORed with 0xA5.
    Bytes clear(m.begin() + offset, m.begin() + offset + chars * 2);
    for (auto& b : clear) {
      b ^= 0xA5;
      b = static_cast<std::uint8_t>((b << 4) | (b >> 4));
    }
    into = utf16ToUtf8(clear.data(), clear.size());
  };
  std::string unused;
  field(out.host, false);
  field(out.user, false);
  field(out.password, true);
  field(out.app, false);
  field(out.server, false);
  c.skip(4);  // extension (feature block) offset and length
  field(out.library, false);
  field(out.language, false);
  field(out.database, false);
  return out;
}

std::string parseSqlBatch(const Bytes& m) {
  Cursor c(m);
  skipAllHeaders(c);
  if (c.left() % 2) throw ProtocolError("SQL text is not UTF-16");
  return c.text(c.left() / 2);
}

namespace {

// Reads a parameter's TYPE_INFO and value; returns its text when it is character data.
bool readParameter(Cursor& c, std::string& textValue) {
  const std::uint8_t type = c.u8();
  auto readCollation = [&] { c.skip(5); };
  switch (type) {
    case 0xE7:    // NVARCHAR
    case 0xEF:    // NCHAR
    case 0xA7:    // BIGVARCHAR
    case 0xAF: {  // BIGCHAR
      const bool unicode = type == 0xE7 || type == 0xEF;
      const std::uint16_t maxLen = c.u16();
      readCollation();
      std::string raw;
      bool isNull = false;
      if (maxLen == 0xFFFF) {
        const std::uint64_t total = c.u64();
        if (total == ~0ull) {
          isNull = true;
        } else {
          for (;;) {
            const std::uint32_t chunk = c.u32();
            if (chunk == 0) break;
            if (chunk > c.left() || raw.size() + chunk > kMaxMessageSize)
              throw ProtocolError("parameter chunk too long");
            const std::uint8_t* p = c.take(chunk);
            raw.append(reinterpret_cast<const char*>(p), chunk);
          }
        }
      } else {
        const std::uint16_t len = c.u16();
        if (len == 0xFFFF) {
          isNull = true;
        } else {
          const std::uint8_t* p = c.take(len);
          raw.assign(reinterpret_cast<const char*>(p), len);
        }
      }
      if (isNull) return false;
      if (unicode) {
        if (raw.size() % 2) throw ProtocolError("parameter text is not UTF-16");
        textValue = utf16ToUtf8(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
      } else {
        textValue = raw;
      }
      return true;
    }
    case 0x63:    // NTEXT
    case 0x23: {  // TEXT
      c.u32();    // max length
      readCollation();
      const std::uint8_t tableNameParts = 0;
      (void)tableNameParts;
      const std::uint8_t ptrLen = c.u8();
      if (ptrLen == 0) return false;
      c.skip(ptrLen + 8u);  // text pointer, timestamp
      const std::uint32_t len = c.u32();
      const std::uint8_t* p = c.take(len);
      if (type == 0x63) {
        if (len % 2) throw ProtocolError("parameter text is not UTF-16");
        textValue = utf16ToUtf8(p, len);
      } else {
        textValue.assign(reinterpret_cast<const char*>(p), len);
      }
      return true;
    }
    case 0x26:  // INTN
    case 0x68:  // BITN
    case 0x6D:  // FLTN
    case 0x6E:  // MONEYN
    case 0x6F:  // DATETIMN
    case 0x24:  // GUID
    {
      c.u8();
      const std::uint8_t len = c.u8();
      c.skip(len);
      return false;
    }
    case 0x6A:
    case 0x6C: {  // DECIMALN, NUMERICN
      c.skip(3);
      const std::uint8_t len = c.u8();
      c.skip(len);
      return false;
    }
    case 0x30:
    case 0x32:
    case 0x34:
    case 0x38:
    case 0x7F:  // fixed-length integers and bit
      c.skip(type == 0x30 || type == 0x32 ? 1 : type == 0x34 ? 2 : type == 0x38 ? 4 : 8);
      return false;
    case 0xA5:
    case 0xAD: {  // BIGVARBINARY, BIGBINARY
      const std::uint16_t maxLen = c.u16();
      if (maxLen == 0xFFFF) {
        const std::uint64_t total = c.u64();
        if (total == ~0ull) return false;
        for (;;) {
          const std::uint32_t chunk = c.u32();
          if (chunk == 0) break;
          c.skip(chunk);
        }
        return false;
      }
      const std::uint16_t len = c.u16();
      if (len != 0xFFFF) c.skip(len);
      return false;
    }
    default:
      throw ProtocolError("parameter of a type this server does not read");
  }
}

}  // namespace

RpcCall parseRpc(const Bytes& m) {
  Cursor c(m);
  skipAllHeaders(c);
  RpcCall out;
  const std::uint16_t nameLen = c.u16();
  if (nameLen == 0xFFFF) {
    static const char* const byId[] = {"",
                                       "sp_cursor",
                                       "sp_cursoropen",
                                       "sp_cursorprepare",
                                       "sp_cursorexecute",
                                       "sp_cursorprepexec",
                                       "sp_cursorunprepare",
                                       "sp_cursorfetch",
                                       "sp_cursoroption",
                                       "sp_cursorclose",
                                       "sp_executesql",
                                       "sp_prepare",
                                       "sp_execute",
                                       "sp_prepexec",
                                       "sp_prepexecrpc",
                                       "sp_unprepare"};
    const std::uint16_t id = c.u16();
    out.procName = id < 16 ? byId[id] : "#" + std::to_string(id);
  } else {
    out.procName = lower(c.text(nameLen));
  }
  c.u16();  // option flags
  while (c.left() > 0) {
    const std::uint8_t b = c.u8();
    if (b == 0x80 || b == 0xFF || b == 0xFE) throw ProtocolError("several calls in one request");
    c.skip(static_cast<std::size_t>(b) * 2);  // parameter name (B_VARCHAR: b characters)
    c.u8();                                   // status flags
    std::string text;
    const bool isText = readParameter(c, text);
    if (out.parameters == 0 && isText) out.statement = std::move(text);
    ++out.parameters;
    if (out.parameters > 2100) throw ProtocolError("too many parameters");
  }
  return out;
}

TmRequest parseTransactionManager(const Bytes& m) {
  Cursor c(m);
  skipAllHeaders(c);
  TmRequest out;
  out.type = c.u16();
  switch (out.type) {
    case kTmBegin: {
      c.u8();  // isolation level
      const std::uint8_t nameLen = c.u8();
      c.skip(nameLen * 2u);
      break;
    }
    case kTmCommit:
    case kTmRollback: {
      const std::uint8_t nameLen = c.u8();
      c.skip(nameLen * 2u);
      if (c.left() >= 1) {
        const std::uint8_t flags = c.u8();
        out.beginNext = (flags & 0x01) != 0;
        if (out.beginNext && c.left() >= 2) {
          c.u8();  // isolation level of the new transaction
          const std::uint8_t n2 = c.u8();
          c.skip(n2 * 2u);
        }
      }
      break;
    }
    default:
      break;
  }
  return out;
}

// ---------------------------------------------------------------- columns

namespace {

struct Declared {
  std::string name;
  long long a = -2, b = -2;  // -2: not given; -1: max
};

Declared parseDeclared(const std::string& text) {
  Declared d;
  std::size_t open = text.find('(');
  d.name = lower(text.substr(0, open));
  if (open != std::string::npos) {
    std::string args = lower(text.substr(open + 1));
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

WireColumn wireColumn(const Field& f, const Recordset& rs, std::size_t column) {
  WireColumn w;
  auto values = [&](auto fn) {
    for (auto& row : rs.rows)
      if (column < row.size() && !row[column].isNull()) fn(row[column]);
  };
  // Longest value, in bytes as it will be sent.
  auto longest = [&](bool unicode) {
    std::size_t n = 0;
    values([&](const Value& v) {
      if (auto* b = std::get_if<db::Bytes>(&v.storage()))
        n = std::max(n, b->data.size());
      else
        n = std::max(n, unicode ? utf16Units(v.toString()) * 2 : utf8ToCp1252(v.toString()).size());
    });
    return n;
  };
  if (!f.declared.empty()) {
    const Declared d = parseDeclared(f.declared);
    const std::string& n = d.name;
    if (n == "bit") return {WireColumn::Bit, 1};
    if (n == "tinyint") return {WireColumn::Int, 1};
    if (n == "smallint") return {WireColumn::Int, 2};
    if (n == "int") return {WireColumn::Int, 4};
    if (n == "bigint") return {WireColumn::Int, 8};
    if (n == "float") return {WireColumn::Float, 8};
    if (n == "real") return {WireColumn::Float, 4};
    if (n == "money") return {WireColumn::Money, 8};
    if (n == "smallmoney") return {WireColumn::Money, 4};
    if (n == "datetime" || n == "smalldatetime" || n == "date") return {WireColumn::DateTime, 8};
    if (n == "uniqueidentifier") return {WireColumn::Guid, 16};
    if (n == "numeric" || n == "decimal") {
      w.kind = WireColumn::Decimal;
      w.precision = static_cast<std::uint8_t>(std::clamp<long long>(d.a < 1 ? 18 : d.a, 1, 38));
      w.scale = static_cast<std::uint8_t>(std::clamp<long long>(d.b < 0 ? 0 : d.b, 0, w.precision));
      w.size = decimalBytes(w.precision);
      return w;
    }
    const bool max = d.a == -1 || n == "text" || n == "ntext" || n == "image";
    if (n == "char" || n == "varchar" || n == "text") {
      w.kind = WireColumn::Text;
      w.maxBytes = max || d.a > 8000 ? 0xFFFF : textBytes(std::max<long long>(d.a, 1));
      if (w.maxBytes != 0xFFFF && longest(false) > w.maxBytes) w.maxBytes = textBytes(longest(false));
      return w;
    }
    if (n == "nchar" || n == "nvarchar" || n == "ntext") {
      w.kind = WireColumn::UnicodeText;
      w.maxBytes = max || d.a > 4000 ? 0xFFFF : textBytes(std::max<long long>(d.a, 1) * 2);
      if (w.maxBytes != 0xFFFF && longest(true) > w.maxBytes) w.maxBytes = textBytes(longest(true));
      return w;
    }
    if (n == "binary" || n == "varbinary" || n == "image") {
      w.kind = WireColumn::Binary;
      w.maxBytes = max || d.a > 8000 ? 0xFFFF : textBytes(std::max<long long>(d.a, 1));
      if (w.maxBytes != 0xFFFF && longest(false) > w.maxBytes) w.maxBytes = textBytes(longest(false));
      return w;
    }
  }
  // Nothing declared (an expression the server could not type): the ADO type and the values decide.
  switch (f.type) {
    case adBoolean:
      return {WireColumn::Bit, 1};
    case adTinyInt:
      return {WireColumn::Int, 1};
    case adSmallInt:
      return {WireColumn::Int, 2};
    case adInteger: {
      bool wide = false;
      values([&](const Value& v) {
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
      values([&](const Value& v) { scale = std::max(scale, scaleOf(v.toString())); });
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
      w.kind = WireColumn::Binary;
      w.maxBytes = longest(false) > 8000 ? 0xFFFF : textBytes(longest(false));
      return w;
    case adWChar:
    case adVarWChar:
    case adLongVarWChar:
      w.kind = WireColumn::UnicodeText;
      w.maxBytes = longest(true) > 8000 ? 0xFFFF : textBytes(longest(true));
      return w;
    default:
      w.kind = WireColumn::Text;
      w.maxBytes = longest(false) > 8000 ? 0xFFFF : textBytes(longest(false));
      return w;
  }
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
    case WireColumn::Float: {
      const double d = v.toDouble();
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
      return;
    }
    case WireColumn::Money: {
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
      return;
    }
    case WireColumn::Decimal: {
      bool negative = false;
      Magnitude mag = 0;
      if (!unscaled(decimalText(v), c.scale, negative, mag)) mag = 0;
      u8(c.size);
      u8(negative ? 0 : 1);
      for (int k = 0; k < c.size - 1; ++k) u8(static_cast<std::uint8_t>(mag >> (8 * k)));
      return;
    }
    case WireColumn::DateTime: {
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
      return;
    }
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
    case WireColumn::Binary: {
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
      } else {
        if (bytes.size() > c.maxBytes) bytes.resize(c.maxBytes);
        u16(static_cast<std::uint16_t>(bytes.size()));
        out_.insert(out_.end(), bytes.begin(), bytes.end());
      }
      return;
    }
  }
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

// Reading the requests of SQL Server's wire protocol: packets, texts, pre-login, login, batches, RPC
// calls and transaction requests. Every read is bounds-checked: the bytes come from the network and
// may be anything. The replies are written in tds_reply.cpp.
#include "db/tds/tds_protocol.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

#include "util/c_number.h"
#include "util/text.h"

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

// A (max) value sent in chunks (PLP); false for NULL. The bytes are kept in raw, or skipped without it.
bool readChunks(Cursor& c, std::string* raw) {
  const std::uint64_t total = c.u64();
  if (total == ~0ull) return false;
  for (;;) {
    const std::uint32_t chunk = c.u32();
    if (chunk == 0) break;
    if (!raw) {
      c.skip(chunk);
      continue;
    }
    if (chunk > c.left() || raw->size() + chunk > kMaxMessageSize) throw ProtocolError("parameter chunk too long");
    const std::uint8_t* p = c.take(chunk);
    raw->append(reinterpret_cast<const char*>(p), chunk);
  }
  return true;
}

std::string utf16Parameter(const std::uint8_t* p, std::size_t len) {
  if (len % 2) throw ProtocolError("parameter text is not UTF-16");
  return utf16ToUtf8(p, len);
}

// NVARCHAR, NCHAR, BIGVARCHAR, BIGCHAR: length, collation, then the value or its chunks.
bool readTextParameter(Cursor& c, std::uint8_t type, std::string& textValue) {
  const bool unicode = type == 0xE7 || type == 0xEF;
  const std::uint16_t maxLen = c.u16();
  c.skip(5);  // collation
  std::string raw;
  if (maxLen == 0xFFFF) {
    if (!readChunks(c, &raw)) return false;
  } else {
    const std::uint16_t len = c.u16();
    if (len == 0xFFFF) return false;
    const std::uint8_t* p = c.take(len);
    raw.assign(reinterpret_cast<const char*>(p), len);
  }
  textValue = unicode ? utf16Parameter(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size()) : raw;
  return true;
}

// NTEXT and TEXT: a text pointer and timestamp before the value (no pointer: NULL).
bool readLegacyTextParameter(Cursor& c, std::uint8_t type, std::string& textValue) {
  c.u32();    // max length
  c.skip(5);  // collation
  const std::uint8_t ptrLen = c.u8();
  if (ptrLen == 0) return false;
  c.skip(ptrLen + 8u);  // text pointer, timestamp
  const std::uint32_t len = c.u32();
  const std::uint8_t* p = c.take(len);
  if (type == 0x63)
    textValue = utf16Parameter(p, len);
  else
    textValue.assign(reinterpret_cast<const char*>(p), len);
  return true;
}

void skipBinaryParameter(Cursor& c) {
  const std::uint16_t maxLen = c.u16();
  if (maxLen == 0xFFFF) {
    readChunks(c, nullptr);
    return;
  }
  const std::uint16_t len = c.u16();
  if (len != 0xFFFF) c.skip(len);
}

// Reads a parameter's TYPE_INFO and value; returns its text when it is character data.
bool readParameter(Cursor& c, std::string& textValue) {
  const std::uint8_t type = c.u8();
  switch (type) {
    case 0xE7:  // NVARCHAR
    case 0xEF:  // NCHAR
    case 0xA7:  // BIGVARCHAR
    case 0xAF:  // BIGCHAR
      return readTextParameter(c, type, textValue);
    case 0x63:  // NTEXT
    case 0x23:  // TEXT
      return readLegacyTextParameter(c, type, textValue);
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
    case 0xAD:  // BIGVARBINARY, BIGBINARY
      skipBinaryParameter(c);
      return false;
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
    out.procName = text::lower(c.text(nameLen));
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

}  // namespace erpsync::db::tds

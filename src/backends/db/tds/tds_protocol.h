// SQL Server's wire protocol (TDS 7.4) as the endpoint speaks it: packet framing, the requests a
// client sends (pre-login, login, SQL batch, RPC, transaction manager) read from their bytes, and the
// tokens of a reply written. No sockets here: every reader works on a byte buffer and throws
// ProtocolError on anything malformed, so a bad packet ends its connection and nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "db/recordset.h"

namespace erpsync::db::tds {

class ProtocolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using Bytes = std::vector<std::uint8_t>;

enum PacketType : std::uint8_t {
  kSqlBatch = 1,
  kRpc = 3,
  kReply = 4,
  kAttention = 6,
  kBulkLoad = 7,
  kTransactionManager = 14,
  kLogin7 = 16,
  kSspi = 17,
  kPreLogin = 18,
};

constexpr std::size_t kHeaderSize = 8;
constexpr std::uint8_t kStatusEom = 0x01;
// Largest packet a client may negotiate; the first ones (pre-login, login) are at most 4096 bytes
// by the protocol, but clients send up to their requested size.
constexpr std::size_t kMaxPacketSize = 32767;
// A request larger than this is refused (the connection is closed): 64 MB of T-SQL is no batch.
constexpr std::size_t kMaxMessageSize = 64u << 20;

struct PacketHeader {
  std::uint8_t type = 0;
  std::uint8_t status = 0;
  std::uint16_t length = 0;  // header included
  std::uint16_t spid = 0;
  std::uint8_t packetId = 0;
};

// Reads a packet header; throws when its length cannot be a packet's.
PacketHeader parseHeader(const std::uint8_t* p);

// Joins the packets of one message. add() returns true when the message is complete.
class MessageReader {
 public:
  bool add(const PacketHeader& h, const std::uint8_t* payload, std::size_t n);
  std::uint8_t type() const { return type_; }
  Bytes take();

 private:
  std::uint8_t type_ = 0;
  bool started_ = false;
  Bytes data_;
};

// Splits a message into packets of at most packetSize bytes.
Bytes packetize(std::uint8_t type, const Bytes& message, std::size_t packetSize, std::uint16_t spid);

// ---------------------------------------------------------------- requests

enum Encryption : std::uint8_t { kEncryptOff = 0, kEncryptOn = 1, kEncryptNotSupported = 2, kEncryptRequired = 3 };

struct PreLogin {
  std::uint8_t encryption = kEncryptOff;
  bool mars = false;
};
PreLogin parsePreLogin(const Bytes& m);
// The reply: this server's version and its encryption answer.
Bytes preLoginReply(std::uint8_t encryption);

struct Login7 {
  std::uint32_t tdsVersion = 0;
  std::uint32_t packetSize = 0;
  std::string host, user, password, app, server, library, language, database;
};
Login7 parseLogin7(const Bytes& m);

// The T-SQL text of a SQL batch (its headers skipped).
std::string parseSqlBatch(const Bytes& m);

struct RpcCall {
  std::string procName;   // lower case; a well-known procedure given by number gets its name
  std::string statement;  // the first parameter when it is text (sp_executesql's @stmt)
  int parameters = 0;
};
// Only the first request of a message is read; several RPCs in one message are refused.
RpcCall parseRpc(const Bytes& m);

enum TmType : std::uint16_t {
  kTmGetDtcAddress = 0,
  kTmPropagate = 1,
  kTmBegin = 5,
  kTmPromote = 6,
  kTmCommit = 7,
  kTmRollback = 8,
  kTmSavepoint = 9,
};
struct TmRequest {
  std::uint16_t type = 0;
  bool beginNext = false;  // commit or rollback that begins a new transaction at once
};
TmRequest parseTransactionManager(const Bytes& m);

// ---------------------------------------------------------------- text

std::string utf16ToUtf8(const std::uint8_t* p, std::size_t bytes);
void appendUtf16(Bytes& out, std::string_view utf8);
std::size_t utf16Units(std::string_view utf8);
// Text in the server's code page (Windows-1252, as SQL_Latin1_General_CP1_CI_AS); what it cannot
// hold becomes '?', as SQL Server stores it in a varchar.
std::string utf8ToCp1252(std::string_view utf8);

// ---------------------------------------------------------------- reply tokens

enum DoneStatus : std::uint16_t {
  kDoneFinal = 0x00,
  kDoneMore = 0x01,
  kDoneError = 0x02,
  kDoneInTransaction = 0x04,
  kDoneCount = 0x10,
  kDoneAttention = 0x20,
  kDoneServerError = 0x100,
};
enum DoneToken : std::uint8_t { kDone = 0xFD, kDoneProc = 0xFE, kDoneInProc = 0xFF };

enum EnvChange : std::uint8_t {
  kEnvDatabase = 1,
  kEnvLanguage = 2,
  kEnvPacketSize = 4,
  kEnvCollation = 7,
  kEnvBeginTransaction = 8,
  kEnvCommitTransaction = 9,
  kEnvRollbackTransaction = 10,
};

struct ServerMessage {
  long number = 0;
  int state = 1;
  int severity = 16;  // "class"; 10 and below is information
  std::string text;
  std::string server;
  std::string procedure;
  int line = 1;
};

// The column as it goes on the wire, chosen from the recordset's field (declared type when known,
// otherwise its ADO type and the values it holds).
struct WireColumn {
  enum Kind { Int, Bit, Float, Money, Decimal, DateTime, Text, UnicodeText, Guid, Binary };
  Kind kind = Text;
  std::uint8_t size = 0;  // fixed-length kinds: bytes
  std::uint8_t precision = 0, scale = 0;
  std::uint16_t maxBytes = 0;  // variable kinds; 0xFFFF: (max), sent in chunks
};
WireColumn wireColumn(const Field& f, const Recordset& rs, std::size_t column);

class ReplyWriter {
 public:
  Bytes& bytes() { return out_; }
  bool empty() const { return out_.empty(); }
  void clear() { out_.clear(); }

  void loginAck(std::string_view program, std::uint32_t tdsVersion);
  void envChange(std::uint8_t type, std::string_view newValue, std::string_view oldValue);
  void envChangeBytes(std::uint8_t type, const Bytes& newValue, const Bytes& oldValue);
  void message(const ServerMessage& m, bool error);
  void done(std::uint8_t token, std::uint16_t status, std::uint16_t command, std::uint64_t rows);
  void returnStatus(std::int32_t value);
  // COLMETADATA and one ROW per row.
  void resultSet(const Recordset& rs);

 private:
  void u8(std::uint8_t v) { out_.push_back(v); }
  void u16(std::uint16_t v);
  void u32(std::uint32_t v);
  void u64(std::uint64_t v);
  void bVarchar(std::string_view utf8);
  void usVarchar(std::string_view utf8);
  void value(const WireColumn& c, const Value& v);
  void floatValue(const WireColumn& c, double d);
  void moneyValue(const WireColumn& c, const Value& v);
  void decimalValue(const WireColumn& c, const Value& v);
  void dateTimeValue(const Value& v);
  void variableValue(const WireColumn& c, const Value& v);
  void plp(const std::string& bytes);
  Bytes out_;
};

// The collation every text column and the session report: SQL_Latin1_General_CP1_CI_AS.
extern const std::uint8_t kCollation[5];

}  // namespace erpsync::db::tds

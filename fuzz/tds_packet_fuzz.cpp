// libFuzzer target: the wire protocol endpoint's packet reader. Any bytes, read as a stream of
// packets, are joined into requests and each request is read as its type says (pre-login, login,
// SQL batch, RPC, transaction manager): every failure is a ProtocolError (the endpoint closes that
// connection), never a crash, a hang or another exception. A message cut into packets and joined
// again is the message. Inputs starting with 0xEE drive the reply writer instead: any text as the
// value of every column type the endpoint sends.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "db/tds/tds_protocol.h"

using namespace erpsync;
using namespace erpsync::db::tds;

namespace {

void readRequest(std::uint8_t type, const Bytes& m) {
  switch (type) {
    case kPreLogin:
      (void)parsePreLogin(m);
      (void)preLoginReply(kEncryptNotSupported);
      break;
    case kLogin7:
      (void)parseLogin7(m);
      break;
    case kSqlBatch:
      (void)parseSqlBatch(m);
      break;
    case kRpc:
      (void)parseRpc(m);
      break;
    case kTransactionManager:
      (void)parseTransactionManager(m);
      break;
    default:
      break;
  }
}

void readPackets(const std::uint8_t* data, std::size_t size) {
  MessageReader reader;
  std::size_t at = 0;
  while (size - at >= kHeaderSize) {
    const PacketHeader h = parseHeader(data + at);
    const std::size_t n = std::min<std::size_t>(h.length - kHeaderSize, size - at - kHeaderSize);
    const std::uint8_t* payload = data + at + kHeaderSize;
    at += kHeaderSize + n;
    if (h.type == kAttention) continue;
    if (reader.add(h, payload, n)) {
      const std::uint8_t type = reader.type();
      const Bytes message = reader.take();
      try {
        readRequest(type, message);
      } catch (const ProtocolError&) {
      }
      // Cut into packets and joined again, a message is itself.
      const Bytes packets = packetize(type, message, 512 + message.size() % 700, 51);
      MessageReader again;
      std::size_t p = 0;
      bool done = false;
      while (p + kHeaderSize <= packets.size()) {
        const PacketHeader ph = parseHeader(packets.data() + p);
        done = again.add(ph, packets.data() + p + kHeaderSize, ph.length - kHeaderSize);
        p += ph.length;
      }
      if (!done || again.take() != message || p != packets.size()) std::abort();
    }
  }
}

void writeValues(const std::uint8_t* data, std::size_t size) {
  static const std::pair<const char*, int> columns[] = {
      {"numeric(18,2)", db::adNumeric}, {"decimal(38,10)", db::adNumeric}, {"money", db::adNumeric},
      {"smallmoney", db::adNumeric},    {"datetime", db::adDBTimeStamp},   {"uniqueidentifier", 72},
      {"varchar(10)", db::adVarChar},   {"nvarchar(5)", db::adVarWChar},   {"int", db::adInteger},
      {"bit", db::adBoolean},           {"float", db::adDouble},           {"varbinary(4)", db::adVarBinary},
      {"", db::adNumeric},              {"", db::adInteger},               {"", db::adVarWChar},
      {"numeric(", db::adNumeric},      {"varchar(max", db::adVarChar},    {"real", db::adSingle}};
  db::Recordset rs;
  for (const auto& [declared, type] : columns) rs.fields.push_back(db::Field{declared, type, declared});
  std::vector<std::string> values(1);
  for (std::size_t i = 1; i < size; ++i) {
    if (data[i] == '\n')
      values.emplace_back();
    else
      values.back() += static_cast<char>(data[i]);
  }
  for (std::size_t r = 0; r < values.size() && r < 8; ++r) {
    std::vector<db::Value> row;
    for (std::size_t c = 0; c < rs.fields.size(); ++c) {
      if ((r + c) % 5 == 4)
        row.emplace_back();
      else if (c == 11)
        row.emplace_back(db::Bytes{std::vector<unsigned char>(values[r].begin(), values[r].end())});
      else
        row.emplace_back(values[r]);
    }
    rs.rows.push_back(std::move(row));
  }
  ReplyWriter w;
  w.resultSet(rs);
  w.message({50000, 1, 16, values[0], values.back(), "", 1}, true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65536) return 0;
  if (size > 0 && data[0] == 0xEE) {
    writeValues(data, size);
    return 0;
  }
  try {
    readPackets(data, size);
  } catch (const ProtocolError&) {
  }
  return 0;
}

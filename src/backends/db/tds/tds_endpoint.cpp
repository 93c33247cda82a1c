// The endpoint's sockets and sessions. Each client connection has a session thread that answers its
// requests on an embedded connection of its own, and a reader thread that takes packets off the
// socket as they come, so an attention (the client cancelling, or its time-out running out) reaches
// the statement while it runs.
#include "db/tds/tds_endpoint.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <list>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

#include "db/connection_string.h"
#include "db/embedded/embedded_connection.h"
#include "db/tds/tds_protocol.h"

namespace erpsync::db::tds {

namespace {

constexpr std::uint32_t kTds74 = 0x74000004;
constexpr std::uint32_t kTds72 = 0x72090002;
constexpr const char* kProgramName = "Microsoft SQL Server";
constexpr std::size_t kDoneSize = 13;  // token, status, command, row count

bool sendAll(int fd, const Bytes& b) {
  std::size_t at = 0;
  while (at < b.size()) {
    ssize_t n = ::send(fd, b.data() + at, b.size() - at, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += static_cast<std::size_t>(n);
  }
  return true;
}

bool recvAll(int fd, std::uint8_t* p, std::size_t n) {
  std::size_t at = 0;
  while (at < n) {
    ssize_t r = ::recv(fd, p + at, n - at, 0);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    at += static_cast<std::size_t>(r);
  }
  return true;
}

// The severity SQL Server gives its errors (what clients call the class).
int severityOf(long number) {
  switch (number) {
    case 18456:
    case 2627:
    case 2601:
    case 547:
      return 14;
    case 102:
    case 156:
    case 170:
      return 15;
    case 1205:
      return 13;
    case 4060:
      return 11;
    default:
      return 16;
  }
}

struct Message {
  std::uint8_t type = 0;
  Bytes data;
};

}  // namespace

// ---------------------------------------------------------------- one client connection

class Session {
 public:
  Session(const EndpointConfig& cfg, int fd, std::uint16_t spid) : cfg_(cfg), fd_(fd), spid_(spid) {}
  ~Session() {
    if (thread_.joinable()) thread_.join();
    ::close(fd_);
  }

  void start() {
    thread_ = std::thread([this] { run(); });
  }
  bool finished() const { return finished_; }
  // Ends the connection from outside: the reader sees the socket close, a running statement stops.
  void shutdown() {
    ::shutdown(fd_, SHUT_RDWR);
    std::lock_guard<std::mutex> lock(connMutex_);
    if (conn_) conn_->cancel();
  }

 private:
  void log(const std::string& text) const {
    if (cfg_.log) cfg_.log(text);
  }

  // ------------------------------------------------ reading (reader thread)

  void readLoop() {
    MessageReader reader;
    std::uint8_t header[kHeaderSize];
    Bytes payload;
    try {
      while (recvAll(fd_, header, kHeaderSize)) {
        const PacketHeader h = parseHeader(header);
        payload.resize(h.length - kHeaderSize);
        if (!recvAll(fd_, payload.data(), payload.size())) break;
        if (h.type == kAttention) {
          std::lock_guard<std::mutex> lock(queueMutex_);
          ++attentions_;
          {
            std::lock_guard<std::mutex> c(connMutex_);
            if (conn_) conn_->cancel();
          }
          queueCv_.notify_all();
          continue;
        }
        if (reader.add(h, payload.data(), payload.size())) {
          std::lock_guard<std::mutex> lock(queueMutex_);
          if (queue_.size() > 16) throw ProtocolError("client sends requests without reading the replies");
          queue_.push_back(Message{reader.type(), reader.take()});
          queueCv_.notify_all();
        }
      }
    } catch (const ProtocolError& e) {
      log("connection " + std::to_string(spid_) + ": " + e.what() + "; connection closed");
      ::shutdown(fd_, SHUT_RDWR);
    }
    std::lock_guard<std::mutex> lock(queueMutex_);
    readerDone_ = true;
    queueCv_.notify_all();
  }

  // The next request, or nothing when the connection is over. Attentions that arrive while the
  // session waits are acknowledged here.
  std::optional<Message> next() {
    std::unique_lock<std::mutex> lock(queueMutex_);
    for (;;) {
      if (attentions_ > 0) {
        attentions_ = 0;
        lock.unlock();
        acknowledgeAttention();
        lock.lock();
        continue;
      }
      if (!queue_.empty()) {
        Message m = std::move(queue_.front());
        queue_.pop_front();
        return m;
      }
      if (readerDone_) return std::nullopt;
      queueCv_.wait(lock);
    }
  }

  bool takeAttention() {
    std::lock_guard<std::mutex> lock(queueMutex_);
    if (attentions_ == 0) return false;
    attentions_ = 0;
    return true;
  }

  void acknowledgeAttention() {
    ReplyWriter w;
    w.done(kDone, kDoneAttention, 0, 0);
    send(w);
  }

  // ------------------------------------------------ replying (session thread)

  bool send(ReplyWriter& w) {
    if (cfg_.trace)
      log("connection " + std::to_string(spid_) + ": reply of " + std::to_string(w.bytes().size()) + " bytes");
    const bool ok = sendAll(fd_, packetize(kReply, w.bytes(), packetSize_, spid_));
    w.clear();
    return ok;
  }

  ServerMessage messageFor(const DbError& e, int line) const {
    ServerMessage m;
    m.number = e.nativeError() != 0 ? e.nativeError() : 50000;
    m.severity = severityOf(m.number);
    m.text = e.description();
    m.server = cfg_.serverName;
    m.line = line;
    return m;
  }

  void run() {
    std::thread reader([this] { readLoop(); });
    try {
      serve();
    } catch (const std::exception& e) {
      log("connection " + std::to_string(spid_) + ": " + e.what() + "; connection closed");
    }
    ::shutdown(fd_, SHUT_RDWR);
    reader.join();
    {
      std::lock_guard<std::mutex> lock(connMutex_);
      if (conn_) {
        // Whatever the client left open goes back, as when SQL Server ends a session.
        try {
          conn_->close();
        } catch (...) {
        }
      }
      conn_.reset();
    }
    finished_ = true;
  }

  void serve() {
    // Pre-login first, then the login.
    std::optional<Message> m = next();
    if (!m) return;
    if (m->type != kPreLogin) throw ProtocolError("the first request is not a pre-login");
    const PreLogin pre = parsePreLogin(m->data);
    ReplyWriter w;
    w.bytes() = preLoginReply(kEncryptNotSupported);
    send(w);
    if (pre.encryption == kEncryptOn || pre.encryption == kEncryptRequired) {
      log("connection " + std::to_string(spid_) +
          " refused: the client requires an encrypted connection and this endpoint has no certificate");
      return;
    }
    m = next();
    if (!m) return;
    if (m->type != kLogin7) throw ProtocolError("the request after the pre-login is not a login");
    if (!login(parseLogin7(m->data))) return;

    while ((m = next())) {
      switch (m->type) {
        case kSqlBatch: {
          const std::string sql = parseSqlBatch(m->data);
          if (cfg_.trace) log("connection " + std::to_string(spid_) + ": batch: " + sql);
          batch(sql, false);
          break;
        }
        case kRpc: {
          const RpcCall call = parseRpc(m->data);
          if (cfg_.trace) log("connection " + std::to_string(spid_) + ": rpc " + call.procName + ": " + call.statement);
          rpc(call);
          break;
        }
        case kTransactionManager:
          transactionRequest(parseTransactionManager(m->data));
          break;
        default:
          throw ProtocolError("request of type " + std::to_string(m->type) + " is not served here");
      }
      if (takeAttention()) {
        // The client gave up on this request: nothing of its reply goes, only the acknowledgement.
        reply_.clear();
        acknowledgeAttention();
      } else if (!send(reply_)) {
        return;
      }
    }
  }

  bool login(const Login7& l) {
    ReplyWriter w;
    if (l.tdsVersion < kTds72 && (l.tdsVersion >> 24) < 0x72) {
      log("connection " + std::to_string(spid_) + " refused: TDS version " + std::to_string(l.tdsVersion >> 24) +
          " is older than 7.2");
      w.message({18456, 1, 14, "Login failed for user '" + l.user + "'. This server speaks TDS 7.2 and later.",
                 cfg_.serverName, "", 1},
                true);
      w.done(kDone, kDoneError, 0, 0);
      send(w);
      return false;
    }
    tdsVersion_ = std::min(l.tdsVersion, kTds74);
    if (l.packetSize >= 512) packetSize_ = std::min<std::size_t>(l.packetSize, kMaxPacketSize);
    if (!equalsNoCase(l.user, cfg_.user) || l.password != cfg_.password) {
      log("login refused for user '" + l.user + "'");
      w.message({18456, 1, 14, "Login failed for user '" + l.user + "'.", cfg_.serverName, "", 1}, true);
      w.done(kDone, kDoneError, 0, 0);
      send(w);
      return false;
    }
    const std::string database = l.database.empty() ? "master" : l.database;
    auto conn = std::make_unique<embedded::EmbeddedConnection>(cfg_.programFolder.empty() ? cfg_.serverDir.parent_path()
                                                                                          : cfg_.programFolder);
    try {
      conn->open("Provider=SQLOLEDB.1;Data Source=embedded:" + cfg_.serverDir.string() +
                 ";Initial Catalog=" + connectionStringValue(database));
      // The client's time-out arrives as an attention; the server itself never gives up.
      conn->setCommandTimeout(0);
    } catch (const DbError& e) {
      w.message({4060, 1, 11, "Cannot open database \"" + database + "\" requested by the login. The login failed.",
                 cfg_.serverName, "", 1},
                true);
      w.message({18456, 1, 14, "Login failed for user '" + l.user + "'.", cfg_.serverName, "", 1}, true);
      w.done(kDone, kDoneError, 0, 0);
      send(w);
      log("login of '" + l.user + "' to " + database + " refused: " + e.description());
      return false;
    }
    {
      std::lock_guard<std::mutex> lock(connMutex_);
      conn_ = std::move(conn);
    }
    database_ = database;
    w.envChange(kEnvDatabase, database, "master");
    w.message({5701, 2, 0, "Changed database context to '" + database + "'.", cfg_.serverName, "", 1}, false);
    w.envChangeBytes(kEnvCollation, Bytes(kCollation, kCollation + 5), {});
    w.envChange(kEnvLanguage, "us_english", "");
    w.message({5703, 1, 0, "Changed language setting to us_english.", cfg_.serverName, "", 1}, false);
    w.loginAck(kProgramName, tdsVersion_);
    w.envChange(kEnvPacketSize, std::to_string(packetSize_), std::to_string(packetSize_));
    w.done(kDone, kDoneFinal, 0, 0);
    return send(w);
  }

  static bool equalsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
  }

  Bytes descriptor() const {
    Bytes d(8);
    for (int i = 0; i < 8; ++i) d[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(transaction_ >> (8 * i));
    return d;
  }
  void beganTransaction() {
    ++transaction_;
    reply_.envChangeBytes(kEnvBeginTransaction, descriptor(), {});
  }
  void endedTransaction(bool committed) {
    reply_.envChangeBytes(committed ? kEnvCommitTransaction : kEnvRollbackTransaction, {}, descriptor());
  }

  // What a batch reports, token by token. The last DONE of the reply loses its "more" bit.
  class Tokens : public embedded::EmbeddedConnection::BatchSink {
   public:
    // inProc: the statements run inside a procedure call (sp_executesql), so even their own counts
    // go as DONEINPROC, as SQL Server sends them.
    Tokens(ReplyWriter& w, bool inProc) : w_(w), inProc_(inProc) {}
    void statementAt(std::size_t offset) override { offset_ = offset; }
    void resultSet(Recordset rs, bool counted) override {
      w_.resultSet(rs);
      done(inProc_ ? kDoneInProc : kDone, counted, 0xC1, rs.rows.size());
    }
    void rowCount(long long n, bool inTrigger) override {
      done(inTrigger || inProc_ ? kDoneInProc : kDone, true, 0, static_cast<std::uint64_t>(std::max(n, 0LL)));
    }
    std::size_t offset() const { return offset_; }
    // Clears the "more" bit of the last DONE when nothing followed it; else writes a final DONE.
    void finish(std::uint16_t status, std::uint8_t token) {
      if (lastDone_ && *lastDone_ + kDoneSize == w_.bytes().size() && w_.bytes()[*lastDone_] == token) {
        auto& b = w_.bytes();
        b[*lastDone_ + 1] = static_cast<std::uint8_t>((b[*lastDone_ + 1] & ~kDoneMore) | status);
        return;
      }
      w_.done(token, status, 0, 0);
    }

   private:
    void done(std::uint8_t token, bool counted, std::uint16_t command, std::uint64_t rows) {
      lastDone_ = w_.bytes().size();
      w_.done(token, static_cast<std::uint16_t>(kDoneMore | (counted ? kDoneCount : 0)), command, rows);
    }
    ReplyWriter& w_;
    const bool inProc_;
    std::size_t offset_ = 0;
    std::optional<std::size_t> lastDone_;
  };

  void startPendingTransaction() {
    if (!pendingBegin_) return;
    pendingBegin_ = false;
    conn_->beginTrans();
  }

  static int lineAt(const std::string& sql, std::size_t offset) {
    offset = std::min(offset, sql.size());
    return 1 + static_cast<int>(std::count(sql.begin(), sql.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
  }

  // Runs T-SQL and writes its reply; inProc: the tokens of a procedure call (sp_executesql).
  void batch(const std::string& sql, bool inProc) {
    Tokens tokens(reply_, inProc);
    bool failed = false;
    int before = 0;
    try {
      startPendingTransaction();
      before = conn_->transactionCount();
      conn_->run(sql, tokens);
    } catch (const DbError& e) {
      failed = true;
      reply_.message(messageFor(e, lineAt(sql, tokens.offset())), true);
    }
    const int after = conn_->transactionCount();
    if (before == 0 && after > 0) beganTransaction();
    if (before > 0 && after == 0) endedTransaction(!failed);
    if (inProc) {
      // The statements' counts are inside the procedure; the call itself ends with DONEPROC.
      reply_.returnStatus(0);
      reply_.done(kDoneProc, failed ? kDoneError : kDoneFinal, 0xE0, 0);
    } else {
      tokens.finish(failed ? kDoneError : kDoneFinal, kDone);
    }
  }

  void rpc(const RpcCall& call) {
    if (call.procName == "sp_executesql" && !call.statement.empty() && call.parameters == 1) {
      batch(call.statement, true);
      return;
    }
    ServerMessage m;
    m.number = 2812;
    m.text = call.procName == "sp_executesql"
                 ? "Procedure or function sp_executesql with parameters is not supported by this server."
                 : "Could not find stored procedure '" + call.procName + "'.";
    m.server = cfg_.serverName;
    reply_.message(m, true);
    reply_.done(kDoneProc, kDoneError, 0xE0, 0);
  }

  void transactionRequest(const TmRequest& tm) {
    auto fail = [&](const DbError& e) {
      reply_.message(messageFor(e, 1), true);
      reply_.done(kDone, kDoneError, 0, 0);
    };
    try {
      switch (tm.type) {
        case kTmBegin:
          if (pendingBegin_) throw DbError("Cannot start more transactions on this session.", "25000");
          conn_->beginTrans();
          beganTransaction();
          break;
        case kTmCommit:
        case kTmRollback: {
          if (pendingBegin_) {
            // Nothing ran in it: nothing to commit or roll back on the catalog.
            pendingBegin_ = false;
            endedTransaction(tm.type == kTmCommit);
          } else if (conn_->transactionCount() > 0) {
            const bool commit = tm.type == kTmCommit;
            try {
              if (commit)
                conn_->commitTrans();
              else
                conn_->rollbackTrans();
            } catch (const DbError&) {
              // A commit that fails leaves nothing open: its work is rolled back.
              if (conn_->transactionCount() == 0) endedTransaction(false);
              throw;
            }
            endedTransaction(commit);
          } else if (tm.type == kTmCommit) {
            throw DbError("The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.", "25000", 3902);
          }
          if (tm.beginNext) {
            // ODBC's manual commit asks for the next transaction with every commit; it begins on
            // the catalog with the next statement, as SQL Server takes no lock before one.
            pendingBegin_ = true;
            beganTransaction();
          }
          break;
        }
        default:
          reply_.message({8501, 1, 16, "This server takes part in no distributed transaction.", cfg_.serverName, "", 1},
                         true);
          reply_.done(kDone, kDoneError, 0, 0);
          return;
      }
    } catch (const DbError& e) {
      fail(e);
      return;
    }
    reply_.done(kDone, kDoneFinal, 0, 0);
  }

  const EndpointConfig& cfg_;
  const int fd_;
  const std::uint16_t spid_;
  std::thread thread_;
  std::atomic<bool> finished_{false};

  std::mutex connMutex_;  // guards conn_ against cancel() from the reader thread
  std::unique_ptr<embedded::EmbeddedConnection> conn_;
  std::string database_;
  std::uint32_t tdsVersion_ = kTds74;
  std::size_t packetSize_ = 4096;
  std::uint64_t transaction_ = 0;
  bool pendingBegin_ = false;  // a transaction the client began that has not reached the catalog yet
  ReplyWriter reply_;

  std::mutex queueMutex_;
  std::condition_variable queueCv_;
  std::deque<Message> queue_;
  int attentions_ = 0;
  bool readerDone_ = false;
};

// ---------------------------------------------------------------- the listener

struct Endpoint::Impl {
  EndpointConfig cfg;
  int listenFd = -1;
  int port = 0;
  std::atomic<bool> stopping{false};
  std::thread acceptor;
  std::mutex sessionsMutex;
  std::list<std::unique_ptr<Session>> sessions;
  std::uint16_t nextSpid = 51;

  void acceptLoop() {
    while (!stopping) {
      pollfd p{listenFd, POLLIN, 0};
      int r = ::poll(&p, 1, 200);
      if (r <= 0) continue;
      int fd = ::accept(listenFd, nullptr, nullptr);
      if (fd < 0) continue;
      int one = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      std::lock_guard<std::mutex> lock(sessionsMutex);
      // Threads of connections that ended are joined as new ones come.
      sessions.remove_if([](const std::unique_ptr<Session>& s) { return s->finished(); });
      if (stopping) {
        ::close(fd);
        break;
      }
      sessions.push_back(std::make_unique<Session>(cfg, fd, nextSpid++));
      if (nextSpid > 30000) nextSpid = 51;
      sessions.back()->start();
    }
  }
};

Endpoint::Endpoint(EndpointConfig config) : impl_(std::make_unique<Impl>()) {
  impl_->cfg = std::move(config);
}

Endpoint::~Endpoint() {
  stop();
}

void Endpoint::start() {
  Impl& im = *impl_;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<std::uint16_t>(im.cfg.port));
  if (::inet_pton(AF_INET, im.cfg.listenAddress.c_str(), &addr.sin_addr) != 1)
    throw std::runtime_error("Not an IPv4 address to listen on: " + im.cfg.listenAddress);
  im.listenFd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (im.listenFd < 0) throw std::runtime_error(std::string("Unable to open a socket: ") + std::strerror(errno));
  int one = 1;
  ::setsockopt(im.listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (::bind(im.listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(im.listenFd, 16) != 0) {
    const std::string why = std::strerror(errno);
    ::close(im.listenFd);
    im.listenFd = -1;
    throw std::runtime_error("Unable to listen on " + im.cfg.listenAddress + ":" + std::to_string(im.cfg.port) + ": " +
                             why);
  }
  socklen_t len = sizeof addr;
  ::getsockname(im.listenFd, reinterpret_cast<sockaddr*>(&addr), &len);
  im.port = ntohs(addr.sin_port);
  im.acceptor = std::thread([&im] { im.acceptLoop(); });
}

int Endpoint::port() const {
  return impl_->port;
}

void Endpoint::stop() {
  Impl& im = *impl_;
  im.stopping = true;
  if (im.acceptor.joinable()) im.acceptor.join();
  if (im.listenFd >= 0) ::close(im.listenFd);
  im.listenFd = -1;
  std::list<std::unique_ptr<Session>> sessions;
  {
    std::lock_guard<std::mutex> lock(im.sessionsMutex);
    sessions.swap(im.sessions);
  }
  for (auto& s : sessions) s->shutdown();
  sessions.clear();  // joins each session's thread
}

}  // namespace erpsync::db::tds

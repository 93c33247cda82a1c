// The embedded server: a SQL Server stand-in that runs T-SQL on SQLite files.
// A server is a directory; each catalog is one SQLite file in it.
#pragma once

#include <filesystem>
#include <memory>

#include "db/connection.h"
#include "db/embedded/lock_wait.h"

namespace erpsync::db::embedded {

namespace faults {
struct Hit;
enum class Call;
}  // namespace faults

class EmbeddedConnection : public Connection {
 public:
  // baseDir resolves relative "embedded:<dir>" data sources (the program folder).
  explicit EmbeddedConnection(std::filesystem::path baseDir);
  ~EmbeddedConnection() override;

  void open(const std::string& connectionString) override;
  void close() override;
  bool isOpen() const override;
  long long execute(const std::string& sql) override;
  Recordset query(const std::string& sql) override;
  // One batch, one call: every result set of it, in order.
  std::vector<Recordset> queryEach(const std::vector<std::string>& selects) override;
  void beginTrans() override;
  void commitTrans() override;
  void rollbackTrans() override;
  void setCommandTimeout(int seconds) override;

  // What a batch hands back statement by statement, as SQL Server reports it on the wire: each
  // result set, each row count (a trigger's statements count apart from the statement that fired it)
  // and where the statement about to run begins in the batch text (for an error's line number).
  class BatchSink {
   public:
    virtual ~BatchSink() = default;
    virtual void statementAt(std::size_t offset) = 0;
    // counted: the statement reports its row count (NOCOUNT is off).
    virtual void resultSet(Recordset rs, bool counted) = 0;
    virtual void rowCount(long long n, bool inTrigger) = 0;
  };
  // Runs a batch, reporting to sink; throws DbError as execute does.
  void run(const std::string& sql, BatchSink& sink);
  // Stops the statement running on this connection as a time-out does; callable from another thread
  // while the connection is open.
  void cancel();
  // @@TRANCOUNT of the session (0 when closed).
  int transactionCount() const;
  // What this object's calls waited for other connections' locks since it was made (across closes
  // and opens), wall being the time since then. The process's total is db::embedded::lockWaitStats().
  LockWaitStats lockWaitStats() const;

  // The runtime of an open connection (connection_impl.h); opaque to users of the class.
  struct Impl;

 private:
  // Throws when the connection is closed or its link was lost (fault injection).
  void checkUsable() const;
  // Counts a call for fault injection; applies a fault chosen to strike before the call runs and
  // returns the one that strikes after it.
  faults::Hit faultBefore(faults::Call call, const std::string& sql);
  void faultAfter(const faults::Hit& hit);
  void applyFault(const faults::Hit& hit);
  // Counts one call, and what it waited for locks, here and in the process's figures.
  struct CallWait {
    explicit CallWait(EmbeddedConnection& c);
    ~CallWait();
    EmbeddedConnection& c;
  };

  std::filesystem::path baseDir_;
  bool linkLost_ = false;    // an injected lost link: calls fail until close() and open()
  bool acrossLink_ = false;  // its server is across the simulated link: every call waits a round trip
  int commandTimeout_ = 30;  // seconds, 0 = no limit; kept across close and open
  LockWaitStats lockWaits_;
  std::chrono::steady_clock::time_point made_ = std::chrono::steady_clock::now();
  std::unique_ptr<Impl> impl_;
};

}  // namespace erpsync::db::embedded

// One connection to one database (catalog) of one server, as the operations use it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "db/db_error.h"
#include "db/recordset.h"
#include "db/sql_quote.h"
#include "db/statement_params.h"

namespace erpsync::db {

// The contract every backend keeps (SQL Server through ODBC and the embedded server alike):
//
// Closed connection: execute, query, beginTrans, commitTrans and rollbackTrans on a connection that
//   is not open throw DbError "Operation is not allowed when the object is closed.". setCommandTimeout
//   is allowed while closed: the object keeps the value and it applies to every statement after the
//   next open (and after any later close and open). close() on a closed connection does nothing.
// Transactions through this interface do not nest: beginTrans while one is open throws
//   DbError("Cannot start more transactions on this session.", "25000") and leaves the open one as
//   it was. commitTrans / rollbackTrans with none open throw DbError "The COMMIT TRANSACTION request
//   has no corresponding BEGIN TRANSACTION." (native 3902) / "The ROLLBACK TRANSACTION request has no
//   corresponding BEGIN TRANSACTION." (native 3903), SQLSTATE "25000". A commit that fails throws and
//   leaves no transaction open: its work is rolled back. close() with a transaction open rolls it
//   back. BEGIN TRAN / COMMIT written inside a statement batch keep the server's own @@TRANCOUNT
//   behaviour; they are the server's business, not this interface's.
// Rows affected: execute returns the rows the statement itself changed; rows written by triggers it
//   fired do not count. For a batch, the count of the last statement that reported one; -1 when none
//   did.
// Time-out: after setCommandTimeout(n), n > 0, a statement still running after n seconds fails with a
//   DbError whose text contains "Query timeout expired" (SQLSTATE "HYT00"). 0 means no limit; a
//   negative value counts as 0.
// query returns the first result set of the batch, fully read; row counts ahead of it are skipped.
class Connection {
 public:
  virtual ~Connection() = default;

  // Opens the connection; throws DbError (missing database, login failure, unreachable server).
  virtual void open(const std::string& connectionString) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  // Runs statements that change data (or schema); returns the rows affected.
  virtual long long execute(const std::string& sql) = 0;
  // Runs a batch and returns its first result set, read whole.
  virtual Recordset query(const std::string& sql) = 0;
  // Runs several SELECT statements as one batch (one round trip to the server where the backend can)
  // and returns their result sets in order. This default runs them one query at a time.
  virtual std::vector<Recordset> queryEach(const std::vector<std::string>& selects) {
    std::vector<Recordset> out;
    out.reserve(selects.size());
    for (const auto& s : selects) out.push_back(query(s));
    return out;
  }
  // Runs a batch whose values come as parameters (db/statement_params.h) and returns its first result
  // set. This default writes the values into the text; a backend whose server takes parameters
  // passes them beside it, so every call of one text shares the server's compiled plan.
  virtual Recordset queryWith(const std::string& sql, const std::vector<Param>& params) {
    return query(inlineParams(sql, params));
  }
  virtual void beginTrans() = 0;
  virtual void commitTrans() = 0;
  virtual void rollbackTrans() = 0;
  virtual void setCommandTimeout(int seconds) = 0;
};

// A connection of the backend the Data Source asks for: "embedded:<dir>" (relative to baseDir)
// selects the embedded server, anything else goes to SQL Server through ODBC. Not yet opened.
std::unique_ptr<Connection> makeConnection(const std::string& connectionString, const std::filesystem::path& baseDir);
// makeConnection followed by open(); throws DbError when the open fails.
std::unique_ptr<Connection> openConnection(const std::string& connectionString, const std::filesystem::path& baseDir);

inline bool isOpen(const std::unique_ptr<Connection>& c) {
  return c && c->isOpen();
}

// Rolls back in its destructor unless commit() was called.
class Transaction {
 public:
  explicit Transaction(Connection& c) : c_(c) { c_.beginTrans(); }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  ~Transaction() {
    if (!done_) {
      try {
        c_.rollbackTrans();
      } catch (...) {
      }
    }
  }
  void commit() {
    c_.commitTrans();
    done_ = true;
  }
  void rollback() {
    done_ = true;
    c_.rollbackTrans();
  }

 private:
  Connection& c_;
  bool done_ = false;
};

}  // namespace erpsync::db

// One connection to one database (catalog) of one server, as the operations use it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "db/db_error.h"
#include "db/recordset.h"
#include "db/sql_quote.h"

namespace erpsync::db {

class Connection {
 public:
  virtual ~Connection() = default;

  // Opens the connection; throws DbError (missing database, login failure, unreachable server).
  virtual void open(const std::string& connectionString) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  // Runs statements that change data (or schema); returns the rows affected (-1 when not known).
  virtual long long execute(const std::string& sql) = 0;
  // Runs a query and reads its first result set whole.
  virtual Recordset query(const std::string& sql) = 0;
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

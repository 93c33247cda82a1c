#include "db/odbc/odbc_connection.h"

namespace erpsync::db::odbc {

struct OdbcConnection::Impl {};

std::string toOdbcConnectionString(const std::string& s) { return s; }
OdbcConnection::OdbcConnection() = default;
OdbcConnection::~OdbcConnection() = default;
void OdbcConnection::open(const std::string&) { throw DbError("ODBC backend not built yet"); }
void OdbcConnection::close() { impl_.reset(); }
bool OdbcConnection::isOpen() const { return impl_ != nullptr; }
long long OdbcConnection::execute(const std::string&) { throw DbError("not open"); }
Recordset OdbcConnection::query(const std::string&) { throw DbError("not open"); }
void OdbcConnection::beginTrans() {}
void OdbcConnection::commitTrans() {}
void OdbcConnection::rollbackTrans() {}
void OdbcConnection::setCommandTimeout(int) {}

}  // namespace erpsync::db::odbc

#include "db/embedded/embedded_connection.h"

namespace erpsync::db::embedded {

struct EmbeddedConnection::Impl {};

EmbeddedConnection::EmbeddedConnection(std::filesystem::path baseDir) : baseDir_(std::move(baseDir)) {}
EmbeddedConnection::~EmbeddedConnection() = default;
void EmbeddedConnection::open(const std::string&) { throw DbError("embedded server not built yet"); }
void EmbeddedConnection::close() { impl_.reset(); }
bool EmbeddedConnection::isOpen() const { return impl_ != nullptr; }
long long EmbeddedConnection::execute(const std::string&) { throw DbError("not open"); }
Recordset EmbeddedConnection::query(const std::string&) { throw DbError("not open"); }
void EmbeddedConnection::beginTrans() {}
void EmbeddedConnection::commitTrans() {}
void EmbeddedConnection::rollbackTrans() {}
void EmbeddedConnection::setCommandTimeout(int) {}

}  // namespace erpsync::db::embedded

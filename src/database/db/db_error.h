// A failure reported by a database backend, worded as the server words it.
#pragma once

#include <stdexcept>
#include <string>

namespace erpsync::db {

class DbError : public std::runtime_error {
 public:
  explicit DbError(std::string description, std::string sqlState = "HY000", long nativeError = 0)
      : std::runtime_error(description),
        description_(std::move(description)),
        sqlState_(std::move(sqlState)),
        nativeError_(nativeError) {}

  // The server's error text: operations look into it for phrases such as "Cannot insert duplicate key".
  const std::string& description() const { return description_; }
  const std::string& sqlState() const { return sqlState_; }
  long nativeError() const { return nativeError_; }
  // The link to the server is gone (SQLSTATE class 08): every later call on the connection fails too.
  bool linkLost() const { return sqlState_.rfind("08", 0) == 0; }

 private:
  std::string description_;
  std::string sqlState_;
  long nativeError_;
};

}  // namespace erpsync::db

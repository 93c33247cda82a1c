// OLE DB style connection strings ("Provider=SQLOLEDB.1;User ID=sa;Initial Catalog=X;Data Source=Y").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace erpsync::db {

class ConnectionString {
 public:
  ConnectionString() = default;
  // Keys are matched ignoring case and surrounding blanks; a value may be wrapped in "..." or '...'
  // (doubled quotes inside stand for one). Later duplicates win, as with OLE DB.
  static ConnectionString parse(std::string_view text);

  std::optional<std::string> get(std::string_view key) const;
  std::string value(std::string_view key) const { return get(key).value_or(""); }
  void set(std::string key, std::string value);
  const std::vector<std::pair<std::string, std::string>>& entries() const { return entries_; }

  std::string dataSource() const { return value("Data Source"); }
  std::string initialCatalog() const { return value("Initial Catalog"); }
  std::string userId() const { return value("User ID"); }
  std::string password() const { return value("Password"); }

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
};

// value as it can stand after "key=" in a connection string and be parsed back unchanged: as it is
// when that is safe, else wrapped in double quotes (doubled inside). A server name or a company code
// holding ";" therefore cannot add keys of its own (a second Password, another Data Source).
std::string connectionStringValue(std::string_view value);

// Data Source values of the form "embedded:<dir>" select the embedded server.
inline constexpr std::string_view kEmbeddedPrefix = "embedded:";
bool isEmbeddedDataSource(std::string_view dataSource);

}  // namespace erpsync::db

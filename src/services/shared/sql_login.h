// The SQL Server login the synchroniser uses on both servers. Existing installations use the ERP's
// fixed sa login; a site that changed it gives its own through the environment or a credentials file
// that only its owner can read, so the password sits neither in the program nor on a command line.
#pragma once

#include <filesystem>
#include <string>

namespace erpsync {

// The ERP's fixed login, used when nothing else is given.
inline constexpr const char* kSaUser = "sa";
inline constexpr const char* kSaPassword = "PLOVERS318#";

// Environment variables holding the login (the password alone keeps the user sa), and the one naming
// a credentials file in another place than Resources/credentials.ini.
inline constexpr const char* kSqlUserEnv = "ERPSYNC_SQL_USER";
inline constexpr const char* kSqlPasswordEnv = "ERPSYNC_SQL_PASSWORD";
inline constexpr const char* kCredentialsFileEnv = "ERPSYNC_CREDENTIALS";

struct SqlLogin {
  std::string user = kSaUser;
  std::string password = kSaPassword;
  std::string source = "built-in";  // "built-in", "environment" or the credentials file's path
};

struct SqlLoginResult {
  SqlLogin login;
  // Set when a credentials file was found and refused (others can read it, it cannot be read, it holds
  // no PASSWORD line): the text to show the operator. The login is then the built-in one.
  std::string problem;
};

// Resources/credentials.ini under the program folder.
std::filesystem::path credentialsPath(const std::filesystem::path& programFolder);

// The login: ERPSYNC_SQL_PASSWORD (with ERPSYNC_SQL_USER, else sa) when set; else the credentials
// file (ERPSYNC_CREDENTIALS, else Resources/credentials.ini), "USER=..." and "PASSWORD=..." lines,
// which must not be readable or writable by anyone but its owner; else the built-in sa login.
SqlLoginResult loadSqlLogin(const std::filesystem::path& programFolder);

// text with every occurrence of secret replaced by "********" (nothing for an empty secret): the last
// guard before a text reaches the daily log, a notice or the notifier's command line.
std::string withoutSecret(std::string text, const std::string& secret);

}  // namespace erpsync

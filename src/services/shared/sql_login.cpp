// Where the SQL login comes from: the environment, an owner-only credentials file, or the ERP's
// fixed sa login.
#include "shared/sql_login.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "util/text.h"
#include "util/utf8_path.h"

namespace erpsync {

namespace fs = std::filesystem;

namespace {

std::string environment(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

// Whether anyone but the owner may read or change the file. Windows keeps access in ACLs, which
// std::filesystem does not report: there the folder's ACL protects the file.
bool othersMayTouch([[maybe_unused]] const fs::path& p, [[maybe_unused]] std::error_code& ec) {
#ifdef _WIN32
  return false;
#else
  const fs::perms perms = fs::status(p, ec).permissions();
  return (perms & (fs::perms::group_all | fs::perms::others_all)) != fs::perms::none;
#endif
}

}  // namespace

fs::path credentialsPath(const fs::path& programFolder) {
  return programFolder / "Resources" / "credentials.ini";
}

SqlLoginResult loadSqlLogin(const fs::path& programFolder) {
  SqlLoginResult r;
  if (const std::string pw = environment(kSqlPasswordEnv); !pw.empty()) {
    const std::string user = text::trim(environment(kSqlUserEnv));
    r.login = {user.empty() ? kSaUser : user, pw, "environment"};
    return r;
  }

  const std::string named = environment(kCredentialsFileEnv);
  // The environment hands its text over in the system's narrow encoding, which is what a path made
  // from a std::string reads.
  const fs::path file = named.empty() ? credentialsPath(programFolder) : fs::path(named);
  std::error_code ec;
  if (!fs::exists(file, ec)) {
    if (!named.empty())
      r.problem = "The credentials file " + util::pathToUtf8(file) + " named by " + kCredentialsFileEnv +
                  " does not exist; the built-in login is used.";
    return r;
  }
  const bool exposed = othersMayTouch(file, ec);
  if (ec) {
    r.problem = "The credentials file " + util::pathToUtf8(file) + " cannot be examined (" + ec.message() +
                "); the built-in login is used.";
    return r;
  }
  if (exposed) {
    r.problem = "The credentials file " + util::pathToUtf8(file) +
                " can be read or changed by other users of this computer, so it is not used. Make it readable "
                "by its owner only (chmod 600 " +
                util::pathToUtf8(file) + "); until then the built-in login is used.";
    return r;
  }

  std::ifstream in(file, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  if (!in) {
    r.problem = "The credentials file " + util::pathToUtf8(file) + " cannot be read; the built-in login is used.";
    return r;
  }
  // "KEY=value" lines; the value is everything after the first "=" (a password may hold blanks and
  // "="), without the line's CR.
  std::string user, password;
  bool hasPassword = false;
  std::istringstream lines(ss.str());
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = text::upper(text::trim(line.substr(0, eq)));
    if (key == "USER") user = text::trim(line.substr(eq + 1));
    if (key == "PASSWORD") {
      password = line.substr(eq + 1);
      hasPassword = true;
    }
  }
  if (!hasPassword) {
    r.problem = "The credentials file " + util::pathToUtf8(file) + " has no PASSWORD line; the built-in login is used.";
    return r;
  }
  r.login = {user.empty() ? kSaUser : user, password, util::pathToUtf8(file)};
  return r;
}

std::string withoutSecret(std::string text, const std::string& secret) {
  if (secret.empty()) return text;
  for (std::size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 8))
    text.replace(at, secret.size(), "********");
  return text;
}

}  // namespace erpsync

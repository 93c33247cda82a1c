// A process locale whose decimal separator is a comma, as a window library sets from the user's
// settings: the numbers of statements and stored values must not follow it.
#pragma once

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace erpsync::test {

// Switches LC_NUMERIC to a decimal-comma locale for its lifetime: one the system has, else German
// made from the system's locale sources (Debian package locales) with localedef into scratch, found
// there through LOCPATH. active() is false when neither is possible; the locale is then unchanged.
class CommaLocale {
 public:
  explicit CommaLocale(const std::filesystem::path& scratch) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    saved_ = old ? old : "C";
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de-DE"})
      if ((active_ = comma(name))) return;
#ifndef _WIN32
    const std::string cmd = "localedef -i de_DE -f UTF-8 '" + (scratch / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    (void)std::system(cmd.c_str());  // warnings give a non-zero status with a usable locale
    if (std::filesystem::exists(scratch / "de_DE.UTF-8" / "LC_NUMERIC")) {
      ::setenv("LOCPATH", scratch.string().c_str(), 1);
      if ((active_ = comma("de_DE.UTF-8"))) return;
    }
#endif
    restore();
  }
  ~CommaLocale() {
    restore();
  }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  bool active() const {
    return active_;
  }
  // Back to the locale of before (also before the destructor, to check results in it).
  void restore() {
    std::setlocale(LC_NUMERIC, saved_.c_str());
    ::unsetenv("LOCPATH");
  }

  static constexpr const char* kSkipReason =
      "No locale with a decimal comma here, and none could be made (localedef and the locale sources of the "
      "Debian package locales are needed): nothing was run under one";

 private:
  static bool comma(const char* name) {
    return std::setlocale(LC_NUMERIC, name) && std::string(std::localeconv()->decimal_point) == ",";
  }
  std::string saved_;
  bool active_ = false;
};

}  // namespace erpsync::test

// The operator notice: notifier program when installed, else the tray balloon.
#include "notify/notice.h"

#include <exception>
#include <system_error>

#include "form/host.h"
#include "util/text.h"

namespace erpsync::notify {

namespace fs = std::filesystem;

namespace {

// Cuts to at most width bytes without splitting a UTF-8 sequence.
std::string cut(const std::string& s, std::size_t width) {
  if (s.size() <= width) return s;
  std::size_t n = width;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return s.substr(0, n);
}

bool containsOver(const std::string& text) {
  return text::upper(text).find("OVER") != std::string::npos;
}

bool isProgramFile(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec) && !fs::is_directory(p, ec);
}

}  // namespace

BalloonTexts balloonTexts(const std::string& title, const std::string& text) {
  return {cut(title + "!", kBalloonTitleWidth), cut(text, kBalloonTextWidth)};
}

fs::path notifierProgram(const fs::path& programFolder) {
#ifdef _WIN32
  const char* names[] = {"baloon.exe", "baloon"};
#else
  const char* names[] = {"baloon", "baloon.exe"};
#endif
  for (const char* name : names) {
    fs::path p = programFolder / name;
    if (isProgramFile(p)) return p;
  }
  return {};
}

void ShowBalloon(Host& host, const std::string& title, const std::string& text) {
  BalloonTexts b = balloonTexts(title, text);
  host.showBalloon(b.title, b.text);
}

void ShowNotice(Host& host, const fs::path& programFolder, const std::string& text) {
  try {
    if (containsOver(text)) host.messageBox("NEW WINDOW", Buttons::OK);
    fs::path program = notifierProgram(programFolder);
    // A notifier that cannot be started must not swallow the notice: the balloon shows it instead.
    if (!program.empty() && host.startNotifier(program, text)) return;
    ShowBalloon(host, kNoticeTitle, text);
  } catch (const std::exception& e) {
    try {
      host.messageBox(e.what(), Buttons::OK, Icon::Exclamation);
    } catch (...) {
    }
  } catch (...) {
    try {
      host.messageBox("Unknown error", Buttons::OK, Icon::Exclamation);
    } catch (...) {
    }
  }
}

}  // namespace erpsync::notify

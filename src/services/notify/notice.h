// The operator notice: how every operation reports a failure or a notable event. The notice goes to
// the notifier program beside the synchroniser when one is installed, otherwise to a balloon on the
// tray icon.
#pragma once

#include <filesystem>
#include <string>

namespace erpsync {
class Host;
}

namespace erpsync::notify {

// The balloon title of every notice.
inline constexpr const char* kNoticeTitle = "Halvex ERP Sync 3.6";
// Widths of the balloon's title and text fields; longer texts are cut.
inline constexpr std::size_t kBalloonTitleWidth = 64;
inline constexpr std::size_t kBalloonTextWidth = 256;

struct BalloonTexts {
  std::string title;
  std::string text;
};

// What a balloon shows: title + "!" cut to 64 characters and the text cut to 256. A cut never splits a
// multi-byte UTF-8 character.
BalloonTexts balloonTexts(const std::string& title, const std::string& text);

// The notifier program beside the synchroniser, or an empty path when none is installed. Both
// "baloon.exe" and "baloon" are looked for; the platform's own form comes first.
std::filesystem::path notifierProgram(const std::filesystem::path& programFolder);

// Shows a balloon with balloonTexts(title, text) on the tray icon.
void ShowBalloon(Host& host, const std::string& title, const std::string& text);

// The notice. A text holding "OVER" (any case) first shows the "NEW WINDOW" box. The notifier gets
// the text as one argument (no shell sees it); without a notifier, or when it cannot be started, the
// text goes to the tray balloon. Never throws: a failure inside shows its description (warning icon).
void ShowNotice(Host& host, const std::filesystem::path& programFolder, const std::string& text);

}  // namespace erpsync::notify

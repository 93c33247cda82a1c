// The LogFile page's view of the daily log (see log_view.h).
#include "settings/log_view.h"

#include <vector>

#include "settings/settings_files.h"
#include "util/text.h"

namespace erpsync::settings {

std::string LogEntriesNewestFirst(const std::string& logText, const std::string& filter) {
  const std::string& separator = separatorLine();
  const std::string wanted = text::lower(text::trim(filter, text::kWhitespace));
  std::vector<std::string> entries;
  std::size_t at = 0;
  while (at < logText.size()) {
    std::size_t next = logText.find(separator, at);
    if (next == std::string::npos) next = logText.size();
    const std::string entry = text::trim(logText.substr(at, next - at), text::kWhitespace);
    if (!entry.empty() && (wanted.empty() || text::lower(entry).find(wanted) != std::string::npos))
      entries.push_back(entry);
    at = next + separator.size();
  }
  std::string out;
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) out += (out.empty() ? "" : "\r\n") + *it;
  return out;
}

}  // namespace erpsync::settings

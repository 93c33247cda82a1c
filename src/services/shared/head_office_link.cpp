// Head office's link state and the last good pass, kept in AppsettingsLoop.ini.
#include "shared/head_office_link.h"

#include "settings/settings_files.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "util/text.h"

namespace erpsync {

namespace {

constexpr const char* kStateKey = "HeadOfficeReachable";  // 1 or 0; missing: not known yet
constexpr const char* kSinceKey = "HeadOfficeSince";      // yyyy-mm-dd hh:mm:ss
constexpr const char* kReasonKey = "HeadOfficeReason";
constexpr const char* kGoodPassKey = "LastGoodPass";  // yyyy-mm-dd hh:mm

// A value of the settings file holds no line break and no "=" (it could not be read back).
std::string settingValue(const std::string& text) {
  std::string v;
  for (char c : text) v += (c == '\r' || c == '\n') ? ' ' : c == '=' ? ':' : c;
  return text::trim(v, text::kWhitespace);
}

// The value of key in the loop settings file without adding a missing key: a reader of the status
// must leave the file as it found it.
std::string peekLoopSetting(SyncContext& ctx, const std::string& key) {
  const std::string text = settings::ReadWriteTextFile(settings::loopSettingsPath(ctx.programFolder), true, "", false);
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos && text::trim(line.substr(0, eq)) == key) return text::trim(line.substr(eq + 1));
    at = end + 1;
  }
  return {};
}

std::string secondsText(const DateTime& t) {
  return t.iso().substr(0, 19);
}

bool note(SyncContext& ctx, int state, const std::string& reason) {
  const std::string why = settingValue(reason);
  if (ctx.headOfficeState == 0) {
    // The first pass of this run: a state the file holds already is no change (a restart, or the next
    // run of a scheduled runner, while head office is away keeps its time and is not told again).
    const HeadOfficeLink kept = readHeadOfficeLink(ctx);
    const int keptState = kept.state == HeadOfficeLink::State::Reachable     ? 1
                          : kept.state == HeadOfficeLink::State::Unreachable ? -1
                                                                             : 0;
    ctx.headOfficeState = state;
    if (keptState == state) return false;
    // A first record of a reachable head office is no news to anyone.
    if (keptState == 0 && state > 0) {
      ctx.writeLoopSetting(kStateKey, "1");
      ctx.writeLoopSetting(kSinceKey, secondsText(ctx.clock.now()));
      return false;
    }
  } else if (ctx.headOfficeState == state) {
    return false;
  }
  ctx.headOfficeState = state;
  ctx.writeLoopSetting(kStateKey, state > 0 ? "1" : "0");
  ctx.writeLoopSetting(kSinceKey, secondsText(ctx.clock.now()));
  ctx.writeLoopSetting(kReasonKey, state > 0 ? "" : why);
  const std::string text = state > 0 ? headOfficeBackText() : headOfficeLostText(why);
  ctx.log("Head office", text);
  ctx.notice(text);
  return true;
}

}  // namespace

std::string headOfficeLostText(const std::string& reason) {
  std::string why = text::trim(reason, text::kWhitespace);
  while (!why.empty() && why.back() == '.') why.pop_back();
  return "Head office cannot be reached: " + why + ". Vouchers wait here and go up when it is back.";
}

std::string headOfficeBackText() {
  return "Head office can be reached again. The vouchers that waited go up now.";
}

HeadOfficeLink readHeadOfficeLink(SyncContext& ctx) {
  HeadOfficeLink link;
  const std::string state = peekLoopSetting(ctx, kStateKey);
  if (state == "1") link.state = HeadOfficeLink::State::Reachable;
  if (state == "0") link.state = HeadOfficeLink::State::Unreachable;
  link.since = DateTime::fromIso(peekLoopSetting(ctx, kSinceKey));
  link.reason = peekLoopSetting(ctx, kReasonKey);
  return link;
}

bool noteHeadOfficeReachable(SyncContext& ctx) {
  return note(ctx, 1, "");
}

bool noteHeadOfficeUnreachable(SyncContext& ctx, const std::string& reason) {
  return note(ctx, -1, reason.empty() ? std::string("no answer") : reason);
}

void noteGoodPass(SyncContext& ctx) {
  const std::string minute = ctx.clock.now().iso().substr(0, 16);
  // Once a minute at most: each write replaces the settings file on disk.
  if (peekLoopSetting(ctx, kGoodPassKey) != minute) ctx.writeLoopSetting(kGoodPassKey, minute);
}

std::optional<DateTime> readLastGoodPass(SyncContext& ctx) {
  return DateTime::fromIso(peekLoopSetting(ctx, kGoodPassKey));
}

}  // namespace erpsync

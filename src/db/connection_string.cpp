#include "db/connection_string.h"

#include <algorithm>

namespace erpsync::db {

namespace {

std::string trim(std::string_view s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(b, e - b + 1));
}

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

}  // namespace

ConnectionString ConnectionString::parse(std::string_view text) {
  ConnectionString cs;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t eq = text.find('=', i);
    if (eq == std::string_view::npos) break;
    std::string key = trim(text.substr(i, eq - i));
    i = eq + 1;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::string value;
    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
      // Quoted value: runs to the matching quote; a doubled quote stands for one.
      char q = text[i++];
      while (i < text.size()) {
        if (text[i] == q) {
          if (i + 1 < text.size() && text[i + 1] == q) {
            value += q;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += text[i++];
      }
      std::size_t semi = text.find(';', i);
      i = semi == std::string_view::npos ? text.size() : semi + 1;
    } else {
      std::size_t semi = text.find(';', i);
      std::size_t end = semi == std::string_view::npos ? text.size() : semi;
      value = trim(text.substr(i, end - i));
      i = semi == std::string_view::npos ? text.size() : semi + 1;
    }
    // Skip empty segments such as a trailing ";".
    std::string k = trim(key);
    while (!k.empty() && k.front() == ';') k = trim(k.substr(1));
    if (!k.empty()) cs.set(k, value);
  }
  return cs;
}

std::optional<std::string> ConnectionString::get(std::string_view key) const {
  std::string k = lower(trim(key));
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (lower(it->first) == k) return it->second;
  return std::nullopt;
}

void ConnectionString::set(std::string key, std::string value) {
  std::string k = lower(trim(key));
  for (auto& e : entries_)
    if (lower(e.first) == k) {
      e.second = std::move(value);
      return;
    }
  entries_.emplace_back(trim(key), std::move(value));
}

bool isEmbeddedDataSource(std::string_view ds) {
  std::string t = trim(ds);
  return t.size() >= kEmbeddedPrefix.size() && lower(t.substr(0, kEmbeddedPrefix.size())) == kEmbeddedPrefix;
}

}  // namespace erpsync::db

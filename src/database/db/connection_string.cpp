// OLE DB style connection strings ("Provider=SQLOLEDB.1;User ID=sa;Initial Catalog=X;Data Source=Y").
#include "db/connection_string.h"

#include "util/text.h"

namespace erpsync::db {

ConnectionString ConnectionString::parse(std::string_view text) {
  ConnectionString cs;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t eq = text.find('=', i);
    if (eq == std::string_view::npos) break;
    std::string key = text::trim(text.substr(i, eq - i), text::kWhitespace);
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
      value = text::trim(text.substr(i, end - i), text::kWhitespace);
      i = semi == std::string_view::npos ? text.size() : semi + 1;
    }
    // Skip empty segments such as a trailing ";".
    std::string k = text::trim(key, text::kWhitespace);
    while (!k.empty() && k.front() == ';') k = text::trim(k.substr(1), text::kWhitespace);
    if (!k.empty()) cs.set(k, value);
  }
  return cs;
}

std::optional<std::string> ConnectionString::get(std::string_view key) const {
  std::string k = text::lower(text::trim(key, text::kWhitespace));
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (text::lower(it->first) == k) return it->second;
  return std::nullopt;
}

void ConnectionString::set(std::string key, std::string value) {
  std::string k = text::lower(text::trim(key, text::kWhitespace));
  for (auto& e : entries_)
    if (text::lower(e.first) == k) {
      e.second = std::move(value);
      return;
    }
  entries_.emplace_back(text::trim(key, text::kWhitespace), std::move(value));
}

std::string connectionStringValue(std::string_view value) {
  const bool plain = value.find_first_of(";\"'") == std::string_view::npos &&
                     text::trim(value, text::kWhitespace).size() == value.size();
  if (plain) return std::string(value);
  std::string out = "\"";
  for (char c : value) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

bool isEmbeddedDataSource(std::string_view ds) {
  std::string t = text::trim(ds, text::kWhitespace);
  return t.size() >= kEmbeddedPrefix.size() && text::lower(t.substr(0, kEmbeddedPrefix.size())) == kEmbeddedPrefix;
}

}  // namespace erpsync::db

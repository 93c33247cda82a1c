// Texts an operator, a branch or head office may type into the ERP that must travel through the
// synchroniser unchanged: quotes and brackets, statements dressed as data, characters from every
// plane of Unicode, control characters, and texts exactly as long as their column.
#pragma once

#include <string>
#include <vector>

#include "db/connection.h"

namespace erpsync::test {

struct HostileText {
  const char* what;
  std::string text;
};

// Each fits a varchar(50) column (in characters).
inline const std::vector<HostileText>& hostileTexts() {
  static const std::vector<HostileText> texts = {
      {"quotes", "O'Brien's ''shop'' '"},
      {"brackets", "]] [x]; ]'"},
      {"statement", "x'); DROP TABLE tblCanary; --"},
      {"tautology", "' OR 1=1; DELETE FROM tblCanary WHERE ''='"},
      {"comments", "a/* b */--c # d"},
      {"batch", "a\r\nGO\r\nDELETE FROM tblCanary"},
      {"n-literal", "N'x'+CHAR(39)+'\\'"},
      {"wildcards", "100% _ [a-z] ^ \\ $1 %s %n {0}"},
      {"bmp", "Çay 'özel' 茶 ĳ ð € ñ ⌘"},
      {"astral", "😀 𝄞 𠜎 🇮🇳 👨‍👩‍👧"},
      {"controls", std::string("tab\tcr\rlf\nbell\x07 esc\x1b del\x7f end")},
      {"semicolons", ";;;Data Source=x;Password=y;"},
      {"percent-bracket-quote", "%']\"`;--"},
  };
  return texts;
}

// n characters (not bytes), ending with a character outside the Basic Multilingual Plane: exactly as
// long as a column of n characters.
inline std::string textOfLength(std::size_t n) {
  std::string s(n - 1, 'x');
  for (std::size_t i = 0; i + 1 < n; i += 7) s[i] = '\'';
  return s + "😀";
}

// A table the injection payloads name: it must still be there, with its one row, after every run.
inline void createCanary(db::Connection& c) {
  c.execute("CREATE TABLE tblCanary (ID int NOT NULL, Word varchar(20) NULL)");
  c.execute("INSERT INTO tblCanary (ID, Word) VALUES (1, 'alive')");
}
inline bool canaryAlive(db::Connection& c) {
  try {
    auto rs = c.query("SELECT count(*) FROM tblCanary WHERE Word = 'alive'");
    return !rs.empty() && rs.at(0, 0).toInt() == 1;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace erpsync::test

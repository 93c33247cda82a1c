#include "corpus_file.h"

#include <cctype>
#include <stdexcept>

namespace erpsync::test {

namespace {

bool isGo(const std::string& line) {
  std::string t;
  for (char c : line)
    if (!std::isspace(static_cast<unsigned char>(c)))
      t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return t == "GO";
}

bool startsWith(const std::string& s, const std::string& prefix) {
  return s.rfind(prefix, 0) == 0;
}

void finishBatch(CorpusFile& file, const std::vector<std::string>& lines, int firstLine) {
  CorpusStatement s;
  s.line = firstLine;
  std::string newline = "\n";
  bool trailing = false;
  std::size_t i = 0;
  for (; i < lines.size() && startsWith(lines[i], "--"); ++i) {
    const std::string& l = lines[i];
    if (startsWith(l, "-- prepare: ")) {
      file.prepare.push_back(l.substr(12));
    } else if (startsWith(l, "-- rerun-of: ")) {
      file.rerunOf = l.substr(13);
    } else if (startsWith(l, "-- rerun-expect-error: ")) {
      s.rerunExpectError = l.substr(23);
    } else if (startsWith(l, "-- on: ")) {
      s.on = l.substr(7);
    } else if (startsWith(l, "-- expect-error: ")) {
      s.expectError = l.substr(17);
    } else if (startsWith(l, "-- expect-rows: ")) {
      s.expectRows = std::stoll(l.substr(16));
    } else if (startsWith(l, "-- expect-value: ")) {
      s.expectValue = l.substr(17);
    } else if (l == "-- newline: CRLF") {
      newline = "\r\n";
    } else if (l == "-- newline: CR") {
      newline = "\r";
    } else if (l == "-- trailing-newline") {
      trailing = true;
    } else if (s.operation.empty()) {
      s.operation = l.size() > 3 ? l.substr(3) : "";
    }
  }
  if (i == lines.size()) return;  // comments only: file directives
  for (std::size_t j = i; j < lines.size(); ++j) {
    if (j > i) s.text += newline;
    s.text += lines[j];
  }
  if (trailing) s.text += newline;
  file.statements.push_back(std::move(s));
}

}  // namespace

CorpusFile parseCorpus(const std::string& text) {
  CorpusFile file;
  std::vector<std::string> lines;
  int lineNo = 0, first = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto nl = text.find('\n', pos);
    std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
    pos = nl == std::string::npos ? text.size() : nl + 1;
    ++lineNo;
    if (isGo(line)) {
      finishBatch(file, lines, first);
      lines.clear();
      continue;
    }
    // Blank lines between batches are not part of any statement.
    if (lines.empty() && line.empty()) continue;
    if (lines.empty()) first = lineNo;
    lines.push_back(line);
  }
  if (!lines.empty()) throw std::runtime_error("corpus file ends without GO after line " + std::to_string(first));
  return file;
}

bool errorMatches(const std::string& description, const std::string& phrases) {
  std::size_t pos = 0;
  while (pos <= phrases.size()) {
    auto bar = phrases.find('|', pos);
    std::string phrase = phrases.substr(pos, bar == std::string::npos ? std::string::npos : bar - pos);
    if (!phrase.empty() && description.find(phrase) != std::string::npos) return true;
    if (bar == std::string::npos) break;
    pos = bar + 1;
  }
  return false;
}

}  // namespace erpsync::test

// The statement corpus format: batches separated by lines holding only GO; each batch starts with comment
// lines that say what the statement is and how it is run:
//   -- <operation>                    first comment line: what the synchroniser is doing
//   -- on: branch|central|startup-branch|startup-central
//   -- expect-error: <phrase>[|<phrase>...]   the statement must fail with one of the phrases
//   -- expect-rows: N                 rows returned (queries) or rows affected (other statements)
//   -- expect-value: V                first column of the first row (NULL for a null)
//   -- newline: CRLF|CR               the statement's line breaks are sent as CR LF (or CR alone)
//   -- trailing-newline               the statement ends with a line break
// A batch with comments only holds file directives: "-- prepare: upgrade" (run the schema upgrade first)
// and "-- prepare: linked-server" (set up the linked server first).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace erpsync::test {

struct CorpusStatement {
  int line = 0;  // line of the first comment of the batch
  std::string operation;
  std::string on;
  std::string expectError;
  std::optional<long long> expectRows;
  std::optional<std::string> expectValue;
  std::string text;
};

struct CorpusFile {
  std::vector<std::string> prepare;
  std::vector<CorpusStatement> statements;
};

CorpusFile parseCorpus(const std::string& text);

// True when the description contains one of the "|"-separated phrases.
bool errorMatches(const std::string& description, const std::string& phrases);

}  // namespace erpsync::test

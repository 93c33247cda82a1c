// The statement corpus format: batches separated by lines holding only GO; each batch starts with comment
// lines that say what the statement is and how it is run:
//   -- <operation>                    first comment line: what the synchroniser is doing
//   -- on: branch|central|startup-branch|startup-central
//   -- expect-error: <phrase>[|<phrase>...]   the statement must fail with one of the phrases
//   -- expect-rows: N                 rows returned (queries) or rows affected (other statements)
//   -- expect-value: V                first column of the first row (NULL for a null)
//   -- newline: CRLF|CR               the statement's line breaks are sent as CR LF (or CR alone)
//   -- trailing-newline               the statement ends with a line break
//   -- rerun-expect-error: <phrases>  how the statement fails when its file runs a second time
// A batch with comments only holds file directives: "-- prepare: upgrade" (run the schema upgrade first),
// "-- prepare: linked-server" (set up the linked server first) and "-- rerun-of: <file>" (run that
// file's statements again, expecting what their rerun-expect-error lines say).
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
  std::string rerunExpectError;
  std::optional<long long> expectRows;
  std::optional<std::string> expectValue;
  std::string text;
};

struct CorpusFile {
  std::vector<std::string> prepare;
  std::string rerunOf;
  std::vector<CorpusStatement> statements;
};

CorpusFile parseCorpus(const std::string& text);

// True when the description contains one of the "|"-separated phrases.
bool errorMatches(const std::string& description, const std::string& phrases);

}  // namespace erpsync::test

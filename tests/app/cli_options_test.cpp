// The options every verb of erpsync-cli takes, whichever group registered the verb.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "cli_app.h"
#include "cmd_app.h"
#include "test_support.h"

namespace erpsync {
namespace {

// The tools beside the window's verbs: they work on servers and files, not on the branch's settings.
const std::set<std::string> kTools = {"sql", "testbed", "demo", "lock-contend", "serve"};

std::vector<std::string> verbNames() {
  CLI::App app;
  int exitCode = 0;
  cli::addAllCommands(app, exitCode);
  std::vector<std::string> names;
  for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; }))
    if (!kTools.count(sub->get_name())) names.push_back(sub->get_name());
  return names;
}

// Parses one command line on a fresh app; returns the verb's exit code. Throws CLI::ParseError when the
// command line is not accepted.
int parse(const std::string& commandLine) {
  CLI::App app;
  int exitCode = -1;
  cli::addAllCommands(app, exitCode);
  app.parse(commandLine);
  return exitCode;
}

TEST(CliVerbs, EveryVerbTakesHomeAndYes) {
  const std::vector<std::string> verbs = verbNames();
  for (const char* documented : {"connect", "run", "update-database", "free-server", "lock-status"})
    EXPECT_NE(std::find(verbs.begin(), verbs.end(), documented), verbs.end()) << documented;

  // A folder without settings: every verb stops at load, as missing settings (exit code 2).
  test::TempDir home;
  for (const auto& verb : verbs) {
    SCOPED_TRACE(verb);
    int rc = -1;
    EXPECT_NO_THROW(rc = parse(verb + " --home '" + home.path().string() + "' --yes"));
    EXPECT_EQ(rc, cli::kExitUsage);
    // The check above would pass on a parser that takes anything.
    EXPECT_THROW(parse(verb + " --no-such-option"), CLI::ParseError);
  }
}

}  // namespace
}  // namespace erpsync

// Runs several erpsync-cli processes at the same time and collects their exit codes and output.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace erpsync::test {

struct ProcessResult {
  int exitCode = -1;
  std::string output;
};

// Runs a shell command line; its standard output (and whatever the line redirects there) and exit code.
inline ProcessResult runCommand(const std::string& cmd) {
  ProcessResult r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf{};
  while (std::size_t n = fread(buf.data(), 1, buf.size(), p)) r.output.append(buf.data(), n);
  const int status = pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

// Runs erpsync-cli with the argument text after the program path; its standard output and error together.
inline ProcessResult runCli(const std::string& args) {
  return runCommand("'" + cliPath() + "' " + args + " 2>&1");
}

// Each entry is the argument text after the program path. All start together; returns when all ended.
inline std::vector<ProcessResult> runCliInParallel(const std::filesystem::path& scratch,
                                                   const std::vector<std::string>& argLines) {
  std::string script;
  for (std::size_t i = 0; i < argLines.size(); ++i) {
    auto out = (scratch / ("proc" + std::to_string(i) + ".out")).string();
    auto rc = (scratch / ("proc" + std::to_string(i) + ".rc")).string();
    script += "( '" + cliPath() + "' " + argLines[i] + " > '" + out + "' 2>&1; echo $? > '" + rc + "' ) & ";
  }
  script += "wait";
  std::string command = "bash -c \"" + script + "\"";
  (void)std::system(command.c_str());
  std::vector<ProcessResult> results;
  for (std::size_t i = 0; i < argLines.size(); ++i) {
    ProcessResult r;
    r.output = readFile(scratch / ("proc" + std::to_string(i) + ".out"));
    auto rc = readFile(scratch / ("proc" + std::to_string(i) + ".rc"));
    r.exitCode = rc.empty() ? -1 : std::atoi(rc.c_str());
    results.push_back(r);
  }
  return results;
}

}  // namespace erpsync::test

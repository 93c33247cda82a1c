// Program folders the tests start from (a testbed, with or without Update Database), made once and
// copied into each test's own folder: making one costs seconds, copying it milliseconds.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace erpsync::test {

// What a prepared folder holds: the testbed's servers and settings (testbed init with these sizes),
// and whether erpsync-cli's update-database --yes ran on it.
struct TestbedRecipe {
  int items = 8;
  int ledgers = 12;
  bool upgradedByCli = false;
};

// Fills `home` (missing or empty) with a copy of the testbed the recipe names. The testbed is made by
// erpsync-cli (testbed init, update-database --yes) once per build of erpsync-cli and kept beside the
// tests; each call copies it, so every test has its own databases.
void copyTestbed(const std::filesystem::path& home, const TestbedRecipe& recipe = {});

// Fills `home` (missing or empty) with a copy of a folder that `make` fills, made by this test program
// once per build of it (the program's own code makes it) and kept beside the tests. `name` tells the
// folders apart; a different `make` needs a different name.
void copyProgramMade(const std::filesystem::path& home, const std::string& name,
                     const std::function<void(const std::filesystem::path&)>& make);

// Copies a program folder into `to` (created when missing): every file, a database's write-ahead log
// included, but not its shared-memory index (SQLite builds that again from the log).
void copyProgramFolder(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace erpsync::test

#pragma once

namespace erpsync::qt::test {

// Each runs one Qt Test class and returns its number of failures.
int runBinderTests(int argc, char** argv);
int runHostTests(int argc, char** argv);
int runWindowTests(int argc, char** argv);
int runProofScreens(int argc, char** argv);

}  // namespace erpsync::qt::test

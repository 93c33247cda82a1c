#include "cli_app.h"

#include <CLI/CLI.hpp>

namespace erpsync::cli {

int run(int argc, char** argv) {
  CLI::App app{"erpsync-cli: branch synchroniser, headless"};
  app.require_subcommand(1);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  return 0;
}

}  // namespace erpsync::cli

#include "cli_app.h"

int main(int argc, char** argv) {
  return erpsync::cli::run(argc, argv);
}

#include <cstdio>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_options.h"

int main(int argc, char** argv) {
  kvarta::cli::CliOptions options;
  std::string error;
  if (!kvarta::cli::ParseCliOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "%s\n%s", error.c_str(), kvarta::cli::UsageText().c_str());
    return 2;
  }
  return kvarta::cli::RunKvartactl(options);
}

#include "cli/run_outputs.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "run/driver.h"

namespace sitedrain::cli {

namespace fs = std::filesystem;

int run_case_with_outputs(const CommandLine& c) {
  if (!c.case_dir.empty()) {
    std::error_code ec;
    fs::current_path(c.case_dir, ec);
    if (ec) {
      std::fprintf(stderr, "sitedrain: cannot change into '%s': %s\n", c.case_dir.string().c_str(),
                   ec.message().c_str());
      return 1;
    }
  }
  design::SearchOptions options;
  options.threads = c.threads;
  return run::run_program(options);
}

}  // namespace sitedrain::cli

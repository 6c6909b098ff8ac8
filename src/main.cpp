// sitedrain: hydraulic design of small surface-water drainage works.
// One run designs one case, from the control file PSnamel.nml in the case
// folder (by default the working directory); see cli/command_line.h.
// `sitedrain serve` works on cases in a browser instead (serve/).
#include <span>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "serve/serve_options.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "serve") {
    const std::vector<std::string_view> args(argv + 2, argv + argc);
    return sitedrain::serve::serve_command(std::span<const std::string_view>(args));
  }
  return sitedrain::cli::run_command(argc, argv);
}

// sitedrain: hydraulic design of small surface-water drainage works.
// One run designs one case, from the control file PSnamel.nml in the case
// folder (by default the working directory); see cli/command_line.h.
#include "cli/command_line.h"

int main(int argc, char** argv) { return sitedrain::cli::run_command(argc, argv); }

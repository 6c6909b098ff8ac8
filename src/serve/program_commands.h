// The program's own commands run as child processes for the server: `check`
// (whose words the form shows beside its fields), `convert` (a legacy case
// read into the form) and `new` (a new case), so that the browser shows
// exactly what the command line would.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sitedrain::serve {

struct CommandOutcome {
  int status = -1;     // the exit status; -1 when it could not run
  std::string output;  // standard output and error together
};

// Runs program with args in folder dir and waits for its end.
CommandOutcome run_program_command(const std::filesystem::path& program,
                                   const std::vector<std::string>& args,
                                   const std::filesystem::path& dir);

}  // namespace sitedrain::serve

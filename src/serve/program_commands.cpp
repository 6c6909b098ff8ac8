#include "serve/program_commands.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "serve/child_process.h"
#include "serve/session_guard.h"

namespace sitedrain::serve {

namespace fs = std::filesystem;

CommandOutcome run_program_command(const fs::path& program, const std::vector<std::string>& args,
                                   const fs::path& dir) {
  CommandOutcome o;
  const fs::path console = fs::temp_directory_path() / ("sitedrain-" + random_token() + ".txt");
  try {
    ChildProcess child(program, args, dir, console);
    o.status = child.wait();
  } catch (const std::exception& e) {
    o.output = e.what();
  }
  {
    std::ifstream in(console, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    o.output += text.str();
  }
  std::error_code ec;
  fs::remove(console, ec);
  return o;
}

}  // namespace sitedrain::serve

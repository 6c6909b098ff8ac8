// The command `sitedrain serve [--port N] [--workspace DIR] [--open]
// [--threads N]`: its options, read after the word "serve".
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace sitedrain::serve {

inline constexpr int kDefaultPort = 8765;

struct ServeOptions {
  int port = kDefaultPort;          // 0: any free port
  std::filesystem::path workspace;  // absolute
  bool open_browser = false;        // start the system's browser on the address
  int threads = 0;                  // --threads of each run; 0: the runs' default
};

// In: the arguments after "serve" and the folder the command was started
// in.  Out: the options.  Throws cli::UsageError for an unknown option, a
// missing or bad value, or a workspace that is not a folder.
ServeOptions parse_serve_options(std::span<const std::string_view> args,
                                 const std::filesystem::path& start);

// The usage of the command, ending with a newline.
std::string serve_usage_text();

// The command: parses the options, serves until Ctrl-C.  Returns the exit
// status (2 usage error, 1 the port cannot be had, 0 after Ctrl-C).
int serve_command(std::span<const std::string_view> args);

}  // namespace sitedrain::serve

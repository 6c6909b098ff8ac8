#include "serve/serve_options.h"

#include <charconv>
#include <system_error>

#include "cli/command_line.h"

namespace sitedrain::serve {

namespace fs = std::filesystem;

namespace {

int whole_number(std::string_view option, std::string_view text, int low, int high) {
  int n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < low || n > high)
    throw cli::UsageError(std::string(option) + " needs a whole number from " +
                          std::to_string(low) + " to " + std::to_string(high) + ", not '" +
                          std::string(text) + "'");
  return n;
}

}  // namespace

ServeOptions parse_serve_options(std::span<const std::string_view> args, const fs::path& start) {
  ServeOptions o;
  o.workspace = start;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view name = args[i], value;
    bool has_value = false;
    if (name == "--open") {
      o.open_browser = true;
      continue;
    }
    if (const auto eq = name.find('='); eq != std::string_view::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
      has_value = true;
    }
    if (name != "--port" && name != "--workspace" && name != "--threads")
      throw cli::UsageError("serve: unknown option or argument '" + std::string(name) + "'");
    if (!has_value && i + 1 < args.size()) {
      value = args[++i];
      has_value = true;
    }
    if (!has_value || value.empty()) throw cli::UsageError(std::string(name) + " needs a value");
    if (name == "--port") {
      o.port = whole_number(name, value, 0, 65535);
    } else if (name == "--threads") {
      o.threads = whole_number(name, value, 1, 4096);
    } else {
      o.workspace = (start / fs::path(std::string(value))).lexically_normal();
      std::error_code ec;
      if (!fs::is_directory(o.workspace, ec))
        throw cli::UsageError("--workspace: no folder '" + std::string(value) + "'");
    }
  }
  return o;
}

std::string serve_usage_text() {
  return "usage: sitedrain serve [--port N] [--workspace DIR] [--open] [--threads N]\n"
         "  --port N          the port on 127.0.0.1 (default 8765; 0: any free port)\n"
         "  --workspace DIR   the folder whose subfolders are the cases (default: the working "
         "directory)\n"
         "  --open            also open the address in the system's browser\n"
         "  --threads N       storms computed side by side in each run (default: all hardware "
         "threads)\n"
         "Serves the browser front end until Ctrl-C; only this machine can reach it.\n";
}

}  // namespace sitedrain::serve

// The commands on cases: `sitedrain new`, `sitedrain check` and
// `sitedrain convert`.  Each takes the arguments after its name and the
// folder the command was started in, and returns the exit status (0 done,
// 1 a case or file it cannot handle, 2 a command line it cannot run).
#pragma once

#include <filesystem>
#include <span>
#include <string_view>

namespace sitedrain::cli {

// sitedrain new [--storage pond|sump|soakaway|none] [--descriptor FILE] DIR
int new_command(std::span<const std::string_view> args, const std::filesystem::path& start);

// sitedrain check [CASE_DIR]
int check_command(std::span<const std::string_view> args, const std::filesystem::path& start);

// sitedrain convert [--to-legacy] [CASE_DIR] [-o FILE|DIR]
int convert_command(std::span<const std::string_view> args, const std::filesystem::path& start);

// Shows "sitedrain: " and the message, then the usage, on standard error;
// returns 2.
int usage_error(std::string_view message);

}  // namespace sitedrain::cli

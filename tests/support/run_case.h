// Running the built program in a temporary folder, for end-to-end tests.
#pragma once

#include <filesystem>
#include <string>

namespace sitedrain::testing {

struct RunResult {
  int status = -1;
  std::string console;  // standard output and standard error
};

// A fresh empty folder under the system's temporary folder.
std::filesystem::path make_temp_dir(const std::string& tag);

// Runs the program in dir, with stdin_text as keyboard input.
RunResult run_program(const std::filesystem::path& dir, const std::string& stdin_text = "");

std::string read_file(const std::filesystem::path& p);
void write_file(const std::filesystem::path& p, const std::string& text);

// Copies every regular file of a folder into another (not recursive).
void copy_files(const std::filesystem::path& from, const std::filesystem::path& to);

// The folder of a bundled test case under tests/cases.
std::filesystem::path case_dir(const std::string& name);

}  // namespace sitedrain::testing

// A complete, valid pond design case as text, for tests that change one
// record and look at what the program says.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sitedrain::testing {

// The parameter file of a small pond design, one line per entry.
std::vector<std::string> base_parameter_lines();

// A catchment descriptor file that serves every run mode.
std::string base_descriptor_text();

// The control file naming params.txt, cd_Hexham_2023.csv and out1..out8.txt.
std::string base_control_text();

// Writes the three input files into dir (the parameter file from lines).
void write_case(const std::filesystem::path& dir, const std::vector<std::string>& param_lines);

// Index of the keyword record whose label is key ("*key" in columns 1..).
std::size_t record_index(const std::vector<std::string>& lines, const std::string& key);

// A record with the marker, the label and the value from column 17.
std::string record(const std::string& key, const std::string& value, bool marker = true);

}  // namespace sitedrain::testing

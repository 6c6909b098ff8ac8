// What the parameter file's codes mean, in the words engineers use: the
// WRAP soil classes and the sides of a soakaway that infiltrate (the
// surface types of each loss model are the model's own, in
// runoff/loss_model.h).  Every report, form, site file and check names a
// code through these tables, so each meaning is written once.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sitedrain::params {

// One meaning of a code: the code, a short key (lower case, words joined
// by '-', as typed in a site file) and a description for reports.
struct CodeName {
  int code;
  std::string_view key;
  std::string_view description;
};

// The five WRAP soil classes (winter rain acceptance potential), 1 to 5.
std::span<const CodeName> wrap_soil_classes();

// The soakaway side codes 0 to 7 and, as code 8, every other value: all
// four sides.
std::span<const CodeName> soakaway_side_sets();

// The meaning of code in a table, or none.
const CodeName* find_code(std::span<const CodeName> table, int code);

// The code of a key in a table, or none.
std::optional<int> find_key(std::span<const CodeName> table, std::string_view key);

// "4 (low winter rain acceptance)": a WRAP class with its meaning.
std::string wrap_class_text(int soil_class);

// "both length sides (4)": the sides of a soakaway that infiltrate; a code
// outside 0 to 7 means all four sides.
std::string infiltrating_sides_text(int side_code);

}  // namespace sitedrain::params

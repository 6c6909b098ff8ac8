// What the parameter file's codes mean, in the words engineers use: the
// surface types under each loss model, the WRAP soil classes and the sides
// of a soakaway that infiltrate.  Every report, form, site file and check
// names a code through these tables, so each meaning is written once.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "params/modes.h"

namespace sitedrain::params {

// One meaning of a code: the code, a short key (lower case, words joined
// by '-', as typed in a site file) and a description for reports.
struct CodeName {
  int code;
  std::string_view key;
  std::string_view description;
};

// The surface types a loss model accepts, in code order: the four Horton
// curves and the fixed-loss surface under the Horton models; the eleven
// soil texture classes (the Green-Ampt soil rows) under Green-Ampt, with
// or without the probability-distributed store.
std::span<const CodeName> surface_types(LossModel model);

// The five WRAP soil classes (winter rain acceptance potential), 1 to 5.
std::span<const CodeName> wrap_soil_classes();

// The soakaway side codes 0 to 7 and, as code 8, every other value: all
// four sides.
std::span<const CodeName> soakaway_side_sets();

// The meaning of code in a table, or none.
const CodeName* find_code(std::span<const CodeName> table, int code);

// The code of a key in a table, or none.
std::optional<int> find_key(std::span<const CodeName> table, std::string_view key);

// "silt loam (Green-Ampt soil row 5)", "fixed-loss surface (5)": the
// description of a surface code under a model and the code in brackets;
// "code N (not a surface type of this model)" for any other code.
std::string surface_text(LossModel model, int code);

// "4 (low winter rain acceptance)": a WRAP class with its meaning.
std::string wrap_class_text(int soil_class);

// "both length sides (4)": the sides of a soakaway that infiltrate; a code
// outside 0 to 7 means all four sides.
std::string infiltrating_sides_text(int side_code);

}  // namespace sitedrain::params

#include "check/input_warnings.h"

namespace sitedrain::check {

std::vector<InputWarning> parameter_file_warnings(const std::string&) {
  return {};
}

std::vector<InputWarning> design_value_warnings(const params::DesignParams&,
                                                const params::RunSetup&, const rainfall::Catchment*,
                                                const std::string&) {
  return {};
}

std::string warning_line(const InputWarning& w) {
  std::string s = "WARNING " + w.file;
  if (w.line > 0) s += ", line " + std::to_string(w.line);
  if (!w.field.empty()) s += ", " + w.field;
  return s + ": " + w.text;
}

}  // namespace sitedrain::check

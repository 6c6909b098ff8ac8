#include "fixed_column/report_context.h"

namespace sitedrain::fixed_column {

std::string structure_label(const params::DesignParams& p) {
  std::string label = p.design_soakaway == 1 ? "SOAKAWAY"
                      : p.design_sump == 1   ? "SUMP"
                                             : "ATTENUATION POND";
  label.resize(25, ' ');
  return label;
}

}  // namespace sitedrain::fixed_column

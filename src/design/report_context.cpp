#include "design/report_context.h"

namespace sitedrain::design {

StorageKind storage_kind(const params::DesignParams& p) {
  if (p.sump == 1) return StorageKind::sump;
  if (p.soak == 1) return StorageKind::soakaway;
  if (p.rnf == 1) return StorageKind::runoff_only;
  return StorageKind::pond;
}

std::string structure_label(const params::DesignParams& p) {
  std::string label = p.soak == 1 ? "SOAKAWAY" : p.sump == 1 ? "SUMP" : "ATTENUATION POND";
  label.resize(25, ' ');
  return label;
}

}  // namespace sitedrain::design

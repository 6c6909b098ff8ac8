#include "design/selections.h"

namespace sitedrain::design {

using params::StorageKind;

std::size_t governing_storm(StorageKind kind,
                            std::span<const results::StormRecord> outlet_records) {
  std::size_t gov = 0;
  double largest = 0.0;
  for (std::size_t r = 0; r < outlet_records.size(); ++r) {
    const results::StormRecord& rec = outlet_records[r];
    const double v = kind == StorageKind::soakaway ? rec.peak_volume : rec.water_area;
    if (v > largest) {
      largest = v;
      gov = r;
    }
  }
  return gov;
}

bool half_empties_in_time(const results::StormRecord& r, int limit_h) {
  return r.half_emptying_time > 0.0 && r.half_emptying_time <= limit_h;
}

std::size_t smallest_design(StorageKind kind, std::span<const results::StormRecord> records,
                            std::span<const std::size_t> governing) {
  double least = 1.0e10;
  std::size_t chosen = governing.front();
  for (std::size_t n : governing) {
    const double v = kind == StorageKind::pond ? records[n].water_area : records[n].peak_volume;
    if (v < least) {
      least = v;
      chosen = n;
    }
  }
  return chosen;
}

}  // namespace sitedrain::design

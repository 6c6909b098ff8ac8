// The selections of a design search: the storm that governs each outlet
// size, the designs that half-empty in the required time, and the least
// demanding design of each return period.
#pragma once

#include <cstddef>
#include <span>

#include "results/design_results.h"

namespace sitedrain::design {

// In: the run's kind and the records of one outlet size (not empty).  Out:
// the position among them of the governing storm: the largest total area of
// water (peak volume for a soakaway), the first of equal maxima.
std::size_t governing_storm(params::StorageKind kind,
                            std::span<const results::StormRecord> outlet_records);

// In: a governing record and the required half-emptying time limit_h (h).
// Out: whether a half-emptying time was found and is within it.
bool half_empties_in_time(const results::StormRecord& r, int limit_h);

// In: the run's kind, every record and the governing records of one return
// period.  Out: the governing record with the smallest total area of water
// (peak volume for sumps and soakaways), the first of equal minima; the
// first governing record when none is below 1e10.  Governing records must
// not be empty.
std::size_t smallest_design(params::StorageKind kind, std::span<const results::StormRecord> records,
                            std::span<const std::size_t> governing);

}  // namespace sitedrain::design

// The selections at their edges: ties and limits met exactly.
#include "design/selections.h"

#include <gtest/gtest.h>

#include <vector>

namespace sitedrain::design {
namespace {

using params::StorageKind;

results::StormRecord record(double water_area, double peak_volume, double half_emptying_h) {
  results::StormRecord r;
  r.water_area = water_area;
  r.peak_volume = peak_volume;
  r.half_emptying_time = half_emptying_h;
  return r;
}

TEST(Selections, TiesGoToTheFirstAndLimitsMetExactlyPass) {
  // Ponds and sumps by water area, soakaways by peak volume; the first of
  // equal maxima and of equal minima.
  const std::vector<results::StormRecord> r{record(5.0, 9.0, 3.0), record(7.0, 9.0, 3.0),
                                            record(7.0, 8.0, 3.0)};
  EXPECT_EQ(governing_storm(StorageKind::pond, r), 1u);
  EXPECT_EQ(governing_storm(StorageKind::soakaway, r), 0u);
  const std::vector<std::size_t> governing{0, 1, 2};
  EXPECT_EQ(smallest_design(StorageKind::pond, r, governing), 0u);
  EXPECT_EQ(smallest_design(StorageKind::sump, r, governing), 2u);

  // A half-emptying time equal to the limit is within it; none found is not.
  EXPECT_TRUE(half_empties_in_time(record(1.0, 1.0, 24.0), 24));
  EXPECT_FALSE(half_empties_in_time(record(1.0, 1.0, 24.000001), 24));
  EXPECT_FALSE(half_empties_in_time(record(1.0, 1.0, 0.0), 24));
}

}  // namespace
}  // namespace sitedrain::design

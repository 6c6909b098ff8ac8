#include "greenfield/hydro_region.h"

#include "textio/console.h"

namespace sitedrain::greenfield {

int hydrometric_region(int hydrometric_area) {
  struct Range {
    int first, last, region;
  };
  static constexpr Range table[] = {
      {1, 16, 1},  {88, 97, 1}, {104, 108, 1}, {17, 21, 2},  {77, 87, 2},    {22, 27, 3},
      {28, 28, 4}, {54, 54, 4}, {29, 35, 5},   {36, 39, 6},  {40, 44, 7},    {101, 101, 7},
      {45, 53, 8}, {55, 67, 9}, {102, 102, 9}, {68, 76, 10}, {103, 103, 10},
  };
  if (hydrometric_area >= 200) return 11;
  for (const Range& r : table)
    if (hydrometric_area >= r.first && hydrometric_area <= r.last) return r.region;
  console::stop_with(kBadHydrometricArea);
}

}  // namespace sitedrain::greenfield

// Hydrological regions of the UK hydrometric areas, for the choice of the
// regional flood growth curve.
#pragma once

#include <string_view>

namespace sitedrain::greenfield {

inline constexpr std::string_view kBadHydrometricArea =
    "INCORRECT HYDROMETRIC AREA SPECIFIED - PLEASE TRY AGAIN";

// Hydrological region (1..11) of a hydrometric area; an unlisted area
// (0 and below, 98-100, 109-199) shows
// "INCORRECT HYDROMETRIC AREA SPECIFIED - PLEASE TRY AGAIN" and stops.
int hydrometric_region(int hydrometric_area);

}  // namespace sitedrain::greenfield

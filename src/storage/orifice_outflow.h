// Outflow of an attenuation pond through its throttle-plate orifice, with the
// coefficient read from the table of the run by diameter and depth.
#pragma once

#include <span>

#include "geometry/orifice.h"

namespace sitedrain::storage {

// Bisection in an ordered list of integers compared with x as reals.
// Returns the bracket position from 1: for an ascending list (first entry
// below the last) the last position whose entry is below x, for a
// descending one the last whose entry is at least x; 0 when there is none.
int LOCATE(std::span<const int> list, double x);

// Orifice outflow rate (m^3/h) at depth h (m) for diameter d (mm), with the
// coefficient of the diameter at table position `position` (from 1) and of
// the depth grid point below 1000 h (the first point at or under 1 mm, the
// last beyond the grid).
double OUTFLOW(double h, double d, const geometry::CoeffTable& table, int position);

}  // namespace sitedrain::storage

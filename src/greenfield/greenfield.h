// Greenfield runoff rates of the undeveloped site: the mean annual flood
// Qbar from catchment area, average annual rainfall and soil, and the 30-year
// and 100-year floods by the regional growth curves.
#pragma once

#include <span>

#include "greenfield/growth_curve.h"
#include "greenfield/hydro_region.h"

namespace sitedrain::greenfield {

struct Rates {
  double qbar = 0.0;  // m^3/s
  double q30 = 0.0;   // Q3.33%, m^3/s
  double q100 = 0.0;  // Q1%, m^3/s
  // The inputs the rates were computed from, for reports.
  double saar = 0.0;       // average annual rainfall SAAR (1941-1970), mm
  double soil = 0.0;       // area-weighted SOIL index of the WRAP classes
  double area = 0.0;       // total sub-catchment area, m^2
  int region = 0;          // hydrometric region of the growth curve
  double growth_30 = 0.0;  // growth factors of the 30-year and 100-year floods
  double growth_100 = 0.0;
};

// In: the rates (with their region).  Out: the greenfield peak rate of a
// return period, m^3/s: Qbar at 2 years or less, else Qbar times the
// region's growth factor of that return period.
double greenfield_rate(const Rates& rates, int return_period);

// Rates for the sub-catchments (areas in m^2, one per sub-catchment; WRAP
// soil classes 1..5).  When class_per_subcatchment is 1 `soil` holds one class per
// sub-catchment; otherwise its first class applies to every sub-catchment.
// A site under 0.5 km^2 is evaluated at 0.5 km^2 and scaled down by area.
// Stops with a message on an unlisted hydrometric area, a total area that
// is not positive, a soil class outside 1..5 or a missing soil class.
Rates estimate_greenfield_rates(double saar4170, int hydrometric_area, std::span<const double> area,
                                std::span<const int> soil, int class_per_subcatchment);

}  // namespace sitedrain::greenfield

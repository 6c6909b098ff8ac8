// Greenfield runoff rates of the undeveloped site: the mean annual flood
// Qbar from catchment area, average annual rainfall and soil, and the 30-year
// and 100-year floods by the regional growth curves.
#pragma once

#include <span>

namespace sitedrain::greenfield {

struct Rates {
  double qbar = 0.0;  // m^3/s
  double q30 = 0.0;   // Q3.33%, m^3/s
  double q100 = 0.0;  // Q1%, m^3/s
};

// Hydrological region (1..11) of a hydrometric area; an unlisted area shows
// "INCORRECT HYDROMETRIC AREA SPECIFIED - PLEASE TRY AGAIN" and stops.
int GETHYDROREGION(int hydromarea);

// Growth factor of a region for return period T (years).
double GETGF(int region, int T);

double FGF_HR1(double y);
double FGF_HR2(double y);
double FGF_HR3(double y);
double FGF_HR4(double y);
double FGF_HR5(double y);
double FGF_HR67(double y);
double FGF_HR8(double y);
double FGF_HR9(double y);
double FGF_HR10(double y);
double FGF_HR11(double y);

// Rates for the sub-catchments (areas in m^2, WRAP soil classes 1..5).  When
// wrapf is not 1 the first soil class applies to every sub-catchment.
Rates GREENFIELD(double saar4170, int hydromarea, std::span<const double> area,
                 std::span<const int> soil, int wrapf);

}  // namespace sitedrain::greenfield

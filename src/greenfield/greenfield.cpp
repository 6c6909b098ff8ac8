#include "greenfield/greenfield.h"

#include <cmath>
#include <string>

#include "maths/maths.h"
#include "textio/console.h"

namespace sitedrain::greenfield {

namespace {

// Soil index of a WRAP soil class (1..5).
double soil_index(int wrap_class, std::size_t subcatchment) {
  static constexpr double table[5] = {0.15, 0.30, 0.40, 0.45, 0.50};
  if (wrap_class < 1 || wrap_class > 5)
    console::stop_with("Greenfield runoff: WRAP soil class " + std::to_string(wrap_class) +
                       " of sub-catchment " + std::to_string(subcatchment) + " is not 1 to 5");
  return table[wrap_class - 1];
}

}  // namespace

Rates estimate_greenfield_rates(double saar4170, int hydrometric_area, std::span<const double> area,
                                std::span<const int> soil, int class_per_subcatchment) {
  const int region = hydrometric_region(hydrometric_area);
  const double g30 = growth_factor(region, 30);
  const double g100 = growth_factor(region, 100);

  const std::size_t classes_needed = class_per_subcatchment == 1 ? area.size() : 1;
  if (soil.size() < classes_needed)
    console::stop_with("Greenfield runoff: a WRAP soil class is missing");

  double SA = 0.0;   // total area, m^2
  double SAS = 0.0;  // area-weighted soil index sum
  for (std::size_t i = 0; i < area.size(); ++i) {
    const int wrap_class = class_per_subcatchment == 1 ? soil[i] : soil[0];
    SA = SA + area[i];
    SAS = SAS + area[i] * soil_index(wrap_class, i + 1);
  }
  if (!(SA > 0.0))
    console::stop_with("Greenfield runoff: the total sub-catchment area must be above 0");

  const double A = SA / 1.0e6;  // km^2
  const double Aq = A < 0.5 ? 0.5 : A;
  const double SOIL = SAS / SA;

  Rates r;
  r.qbar =
      0.00108 * maths::pow(Aq, 0.89) * maths::pow(saar4170, 1.17) * maths::pow(SOIL, 2.17) * A / Aq;
  r.q30 = r.qbar * g30;
  r.q100 = r.qbar * g100;
  r.saar = saar4170;
  r.soil = SOIL;
  r.area = SA;
  r.region = region;
  r.growth_30 = g30;
  r.growth_100 = g100;
  return r;
}

double greenfield_rate(const Rates& rates, int return_period) {
  if (return_period <= 2) return rates.qbar;
  return rates.qbar * growth_factor(rates.region, return_period);
}

}  // namespace sitedrain::greenfield

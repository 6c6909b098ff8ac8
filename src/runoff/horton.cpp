#include "runoff/horton.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "maths/maths.h"
#include "runoff/fixed_loss.h"
#include "runoff/loss_model.h"
#include "runoff/runoff_step.h"
#include "textio/console.h"

namespace sitedrain::runoff {

namespace {

// "Horton curve N: 280 mm/h falling to 6 mm/h, decay 1.6 per minute", from
// the curves themselves.
std::string horton_description(int row) {
  const HortonRow& r = kHortonRows[row - 1];
  char text[96];
  std::snprintf(text, sizeof text,
                "Horton curve %d: %g mm/h falling to %g mm/h, decay %g per minute", row, r.f0, r.fc,
                r.k);
  return text;
}

}  // namespace

std::span<const params::CodeName> horton_surfaces() {
  // The descriptions live as long as the program.
  static const std::array<std::string, 4> texts{horton_description(1), horton_description(2),
                                                horton_description(3), horton_description(4)};
  static const std::array<params::CodeName, 5> table{{
      {1, "horton-1", texts[0]},
      {2, "horton-2", texts[1]},
      {3, "horton-3", texts[2]},
      {4, "horton-4", texts[3]},
      {kFixedLossSurface, "fixed-loss",
       "fixed-loss surface: 5 % of the storm's mean intensity is lost"},
  }};
  return table;
}

double horton_capacity(int type, int t) {
  if (type < 1 || type > 4)
    console::stop_with("Surface type " + std::to_string(type) +
                       " has no Horton infiltration rate (types 1 to 4)");
  const HortonRow& r = kHortonRows[type - 1];
  return r.fc + (r.f0 - r.fc) * maths::exp(-r.k * static_cast<double>(t) / 60.0);
}

void horton_start(LossState& s) {
  const SubCatchments& subs = *s.subs;
  const int tend = 60 * s.storm->duration;
  for (int k = 0; k < subs.count; ++k)
    s.final_loss[k] = subs.surface[k] == kFixedLossSurface
                          ? fixed_loss_rate(s.storm->intensity)
                          : horton_capacity(subs.surface[k], tend) / 3600.0;
}

double final_horton_runoff_depth(LossState& s, int k, int, double dt, double P, int) {
  s.infilt = dt * s.final_loss[k];
  return P - s.infilt;
}

double horton_runoff_depth(LossState& s, int k, int t, double dt, double P, int) {
  const int type = s.subs->surface[k];
  const double fi = type == kFixedLossSurface ? s.final_loss[k] : horton_capacity(type, t) / 3600.0;
  s.infilt = dt * fi;
  return P - s.infilt;
}

}  // namespace sitedrain::runoff

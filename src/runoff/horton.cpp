#include "runoff/horton.h"

#include <cmath>
#include <string>

#include "maths/maths.h"
#include "runoff/fixed_loss.h"
#include "runoff/loss_model.h"
#include "runoff/runoff_step.h"
#include "textio/console.h"

namespace sitedrain::runoff {

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

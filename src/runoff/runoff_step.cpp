#include "runoff/runoff_step.h"

#include <algorithm>
#include <string>

#include "rainfall/profile.h"
#include "runoff/fixed_loss.h"
#include "runoff/horton.h"
#include "runoff/pdm.h"
#include "textio/console.h"

namespace sitedrain::runoff {

using params::LossModel;

StormRunoff::StormRunoff(const SubCatchments& subs, const StormSpec& storm)
    : subs_(subs), storm_(storm) {
  if (subs_.nsubc < 0 || subs_.nsubc > params::kMaxSubCatchments)
    console::stop_with("Runoff: " + std::to_string(subs_.nsubc) +
                       " sub-catchments given, at most 10 are allowed");
  // The end-of-storm Horton rates are the same in every step of the storm.
  if (subs_.model == LossModel::final_horton || subs_.model == LossModel::horton) {
    const int tend = 60 * storm_.duration;
    for (int k = 0; k < subs_.nsubc; ++k)
      final_loss_[k] = subs_.surface[k] == kFixedLossSurface
                           ? fixed_loss_rate(storm_.intensity)
                           : HORTONFN(subs_.surface[k], tend) / 3600.0;
  }
}

double StormRunoff::horton_loss(int k, int t) const {
  if (subs_.surface[k] == kFixedLossSurface) return final_loss_[k];
  return HORTONFN(subs_.surface[k], t) / 3600.0;
}

StepResult StormRunoff::step(int t, double dt) {
  StepResult r;
  const double tau = static_cast<double>(t) / (static_cast<double>(storm_.duration) * 60.0);
  const double P = rainfall::PROFILE(storm_.profile, tau) * dt * storm_.intensity;
  r.rain = P;
  const int first = t == 1 ? 1 : 0;
  const int n = subs_.nsubc;
  double R = 0.0;
  double Pv = 0.0;

  // Horton: a storm whose first step gives no runoff even at the lowest
  // (end-of-storm) loss rates gives none at all.
  if (subs_.model == LossModel::horton && t <= 1) {
    double Rend = 0.0;
    for (int k = 0; k < n; ++k) {
      const double iota = dt * final_loss(k);
      Rend = Rend + std::max((P - iota) / 1000.0 * subs_.area[k], 0.0);
    }
    if (Rend == 0.0) {
      r.end = true;
      r.infilt = infilt_;
      return r;
    }
  }

  for (int k = 0; k < n; ++k) {
    if (subs_.model == LossModel::green_ampt_pdm) {
      // the probability-distributed store gives the runoff depth itself
      const double fi = GREEN_AMPT(green_ampt_, subs_.surface[k], first, k + 1, P);
      const double ri = PDM_INFILTRATION_CAPACITY(P, fi);
      R = R + std::max(ri / 1000.0 * subs_.area[k], 0.0);
    } else {
      const double fi = subs_.model == LossModel::green_ampt
                            ? GREEN_AMPT(green_ampt_, subs_.surface[k], first, k + 1, P)
                        : subs_.model == LossModel::final_horton ? final_loss(k)
                                                                 : horton_loss(k, t);
      infilt_ = dt * fi;
      R = R + std::max((P - infilt_) / 1000.0 * subs_.area[k], 0.0);
    }
    Pv = Pv + P / 1000.0 * subs_.area[k];
  }

  r.rain_volume = Pv;
  r.runoff = R;
  r.infilt = infilt_;
  // Final-value Horton: the loss never falls during the (uniform) storm, so a
  // step without runoff means a storm without runoff.
  if (subs_.model == LossModel::final_horton && R == 0.0) r.end = true;
  return r;
}

}  // namespace sitedrain::runoff

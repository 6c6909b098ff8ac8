#include "runoff/runoff_step.h"

#include <algorithm>
#include <string>

#include "rainfall/profile.h"
#include "textio/console.h"

namespace sitedrain::runoff {

StormRunoff::StormRunoff(const SubCatchments& subs, const StormSpec& storm)
    : subs_(subs), storm_(storm), model_(loss_model(subs.model)) {
  if (subs_.count < 0 || subs_.count > params::kMaxSubCatchments)
    console::stop_with("Runoff: " + std::to_string(subs_.count) +
                       " sub-catchments given, at most 10 are allowed");
  loss_.subs = &subs_;
  loss_.storm = &storm_;
  if (model_.start != nullptr) model_.start(loss_);
}

StepResult StormRunoff::step(int t, double dt) {
  StepResult r;
  const double tau = static_cast<double>(t) / (static_cast<double>(storm_.duration) * 60.0);
  const double P = rainfall::profile_factor(storm_.profile, tau) * dt * storm_.intensity;
  r.rain = P;
  const int first = t == 1 ? 1 : 0;
  const int n = subs_.count;
  double R = 0.0;
  double Pv = 0.0;

  if (model_.ends_on_dry_start && t <= 1) {
    double Rend = 0.0;
    for (int k = 0; k < n; ++k) {
      const double iota = dt * loss_.final_loss[k];
      Rend = Rend + std::max((P - iota) / 1000.0 * subs_.area[k], 0.0);
    }
    if (Rend == 0.0) {
      r.end = true;
      r.infilt = loss_.infilt;
      return r;
    }
  }

  for (int k = 0; k < n; ++k) {
    const double depth = model_.runoff_depth(loss_, k, t, dt, P, first);
    R = R + std::max(depth / 1000.0 * subs_.area[k], 0.0);
    Pv = Pv + P / 1000.0 * subs_.area[k];
  }

  r.rain_volume = Pv;
  r.runoff = R;
  r.infilt = loss_.infilt;
  if (model_.ends_on_dry_step && R == 0.0) r.end = true;
  return r;
}

}  // namespace sitedrain::runoff

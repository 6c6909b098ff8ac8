#include "runoff/green_ampt.h"

#include <string>

#include "runoff/loss_model.h"
#include "runoff/runoff_step.h"
#include "textio/console.h"

namespace sitedrain::runoff {

namespace {

struct Soil {
  double thetas;  // saturated moisture content
  double psi;     // wetting-front suction, cm
  double K;       // saturated hydraulic conductivity, cm/h
  double Si;      // initial degree of saturation, fraction of thetas
};

constexpr Soil kSoils[11] = {
    {0.431, 5.34, 11.78, 0.5}, {0.424, 6.01, 2.99, 0.6},  {0.469, 15.24, 1.09, 0.6},
    {0.476, 10.01, 0.34, 0.7}, {0.514, 10.91, 0.65, 0.7}, {0.33, 21.85, 0.15, 0.75},
    {0.43, 27.0, 0.1, 0.75},   {0.477, 13.97, 0.1, 0.8},  {0.321, 23.9, 0.06, 0.85},
    {0.423, 29.22, 0.05, 0.9}, {0.385, 31.63, 0.03, 0.9},
};

constexpr params::CodeName kSoilTextures[11] = {
    {1, "sand", "sand"},
    {2, "loamy-sand", "loamy sand"},
    {3, "sandy-loam", "sandy loam"},
    {4, "loam", "loam"},
    {5, "silt-loam", "silt loam"},
    {6, "sandy-clay-loam", "sandy clay loam"},
    {7, "clay-loam", "clay loam"},
    {8, "silty-clay-loam", "silty clay loam"},
    {9, "sandy-clay", "sandy clay"},
    {10, "silty-clay", "silty clay"},
    {11, "clay", "clay"},
};

[[noreturn]] void bad_call(const char* what, int value) {
  console::stop_with(std::string("Green-Ampt infiltration: ") + what + " " + std::to_string(value) +
                     " is out of range");
}

}  // namespace

std::span<const params::CodeName> green_ampt_soil_textures() {
  return kSoilTextures;
}

double green_ampt_rate(GreenAmptState& state, int type, int first, int i, double rain) {
  if (type < 1 || type > 11) bad_call("soil row", type);
  if (i < 1 || i > static_cast<int>(state.slot.size())) bad_call("sub-catchment", i);
  const Soil& s = kSoils[type - 1];
  GreenAmptSlot& g = state.slot[i - 1];

  const double Ir = rain * 360.0;  // cm/h over the one-second step
  double f = Ir;

  g.first = first;
  if (first == 1) {
    g.M = s.thetas - s.Si * s.thetas;
    g.Fp = 0.01;
    g.F = 0.0;
  }

  if (g.F >= g.Fp) {
    f = s.K * (1.0 + g.M * s.psi / g.F);
  } else if (Ir > s.K) {
    g.Fp = g.M * s.psi / (Ir / s.K - 1.0);
  }

  // The test uses the ponding value just set above.
  if (g.F >= g.Fp) {
    g.F = g.F + f / 3600.0;
  } else if (Ir > s.K) {
    g.F = g.F + rain / 10.0;
  }
  return f / 360.0;
}

double green_ampt_runoff_depth(LossState& s, int k, int, double dt, double P, int first) {
  const double fi = green_ampt_rate(s.green_ampt, s.subs->surface[k], first, k + 1, P);
  s.infilt = dt * fi;
  return P - s.infilt;
}

}  // namespace sitedrain::runoff

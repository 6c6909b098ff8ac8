#include "runoff/horton.h"

#include <cmath>
#include <string>

#include "maths/maths.h"
#include "textio/console.h"

namespace sitedrain::runoff {

double HORTONFN(int type, int t) {
  struct Row {
    double k;   // decay constant, per minute
    double fc;  // final capacity, mm/h
    double f0;  // initial capacity, mm/h
  };
  static constexpr Row table[4] = {
      {1.6, 6.0, 280.0},
      {0.8, 20.0, 900.0},
      {2.0, 2.0, 210.0},
      {1.4, 10.0, 670.0},
  };
  if (type < 1 || type > 4)
    console::stop_with("Surface type " + std::to_string(type) +
                       " has no Horton infiltration rate (types 1 to 4)");
  const Row& r = table[type - 1];
  return r.fc + (r.f0 - r.fc) * maths::exp(-r.k * static_cast<double>(t) / 60.0);
}

}  // namespace sitedrain::runoff

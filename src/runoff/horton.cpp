#include "runoff/horton.h"

#include <cmath>
#include <string>

#include "maths/maths.h"
#include "textio/console.h"

namespace sitedrain::runoff {

double HORTONFN(int type, int t) {
  if (type < 1 || type > 4)
    console::stop_with("Surface type " + std::to_string(type) +
                       " has no Horton infiltration rate (types 1 to 4)");
  const HortonRow& r = kHortonRows[type - 1];
  return r.fc + (r.f0 - r.fc) * maths::exp(-r.k * static_cast<double>(t) / 60.0);
}

}  // namespace sitedrain::runoff

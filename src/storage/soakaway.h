// Outflow of a soakaway: infiltration into the ground through its base and
// through the sides chosen by the side code.
#pragma once

namespace sitedrain::storage {

// Outflow rate (m^3/h) of a soakaway with base L by W (m) and batter b,
// holding water to depth h (m), with infiltration coefficient infiltration_m_per_h (m/h).
// sides: 0 base only; 1 one length side; 2 one width side; 3 one of each;
// 4 both length sides; 5 both width sides; 6 one length and both width sides;
// 7 both length sides and one width side; any other value all four sides.
double soakaway_outflow(double L, double W, double b, int sides, double infiltration_m_per_h,
                        double h);

}  // namespace sitedrain::storage

// Storm profiles: the ratio of the rainfall intensity at normalised time x
// (0..1) to the storm's mean intensity.  1 uniform, 2 winter 75%, 3 summer 50%.
#pragma once

namespace sitedrain::rainfall {

double SUMMER50(double x);
double WINTER75(double x);
// strmprf 1, 2 or 3 (the parameter reader refuses other values).
double PROFILE(int strmprf, double x);

}  // namespace sitedrain::rainfall

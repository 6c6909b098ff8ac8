// Where the water balance sends the values of each step when the diagnostic
// flag is set.  Values are those at the end of the step, after the storage
// update and before the end conversions.
#pragma once

namespace sitedrain::storage {

struct DiagnosticStep {
  int t = 0;                 // step time, s
  double rain = 0.0;         // P, mm in the step
  double infilt = 0.0;       // infiltration depth of the last sub-catchment, mm
  double inflow = 0.0;       // R, runoff volume of the step, m^3
  double cumflow = 0.0;      // total inflow so far, m^3
  double meanflow = 0.0;     // mean inflow rate so far, m^3/s
  double rain_volume = 0.0;  // Pv, rain volume of the step, m^3
  double flowout = 0.0;      // outflow rate Q, m^3/s
  double depth = 0.0;        // h, m
  double storage = 0.0;      // S, m^3
};

class DiagnosticSink {
 public:
  virtual ~DiagnosticSink() = default;
  virtual void step(const DiagnosticStep& s) = 0;
};

}  // namespace sitedrain::storage

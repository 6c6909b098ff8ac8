// sitedrain: hydraulic design of small surface-water drainage works.
// One run designs one case, from the control file PSnamel.nml in the
// working directory.
#include "run/driver.h"

int main() { return sitedrain::run::run_program(); }

#include "run/driver.h"

#include "textio/console.h"

namespace sitedrain::run {

int MAIN_PROG() {
  console::line("PSnamel.nml");
  console::flush();
  return 0;
}

}  // namespace sitedrain::run

#include "fuzz/fuzz_support.h"

#include <cstdio>

namespace sitedrain::fuzz {

void quiet_console() {
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  if (!std::freopen("/dev/null", "r", stdin)) std::abort();
}

}  // namespace sitedrain::fuzz

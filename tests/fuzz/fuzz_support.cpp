#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>

namespace sitedrain::fuzz {

void quiet_console() {
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  if (!std::freopen("/dev/null", "r", stdin)) std::abort();
}

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "check failed: %s\n", what);
  std::abort();
}

}  // namespace sitedrain::fuzz

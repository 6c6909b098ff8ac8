// Ending a run.  Every fatal condition shows its message first, then calls
// stop(); the exception unwinds to main, which closes (and so flushes) every
// open file through the destructors and returns the exit status.
#pragma once

namespace sitedrain {

struct RunStop {
  int status;
};

// Ends the run with the given process exit status (1 for every stop).
[[noreturn]] inline void stop(int status = 1) { throw RunStop{status}; }

}  // namespace sitedrain

// The console: one line per message on standard output, and the pauses.
//
// Output is buffered (the PDM model writes a line at every call), so the
// buffer is flushed before every pause and at the end of the run.  A pause
// reads one line of keyboard input and returns at once at end of input, so a
// run without a terminal never hangs.
#pragma once

#include <string_view>

namespace sitedrain::console {

// Writes text as a line of its own.
void line(std::string_view text);

// Waits for one line of input (any text; it is not used).
void pause();

// Shows the message as a line, then pauses (the numerical routines' warnings).
void pause_with(std::string_view message);

// Shows the message, "Type any letter to stop the program", pauses and stops.
[[noreturn]] void stop_after_keypress(std::string_view message);

// Shows the message and stops at once (status 1).
[[noreturn]] void stop_with(std::string_view message);

void flush();

}  // namespace sitedrain::console

// The program driver: sequences the phases of one run and owns its files and
// working tables.  Returns the process exit status (0 normal end, 1 stop).
#pragma once

namespace sitedrain::run {

int MAIN_PROG();

}  // namespace sitedrain::run

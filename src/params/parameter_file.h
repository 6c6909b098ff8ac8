// GETPARAM: the parameter file, read strictly by position.  Column 1 of each
// record is a marker (non-blank on keyword records, blank on the second and
// later records of a list); the value field starts in column 17.
#pragma once

#include "params/design_params.h"
#include "textio/text_file.h"

namespace sitedrain::params {

// Reads every record in file order with its checks.  A failed check shows its
// message and "Type any letter to stop the program", waits for a line of
// input and stops; an unreadable number or a file that ends early shows a
// message naming the file, line and field and stops at once.
DesignParams GETPARAM(textio::LineReader& in);

}  // namespace sitedrain::params

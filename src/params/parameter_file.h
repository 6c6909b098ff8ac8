// read_parameter_file: the parameter file, read strictly by position.  Column 1 of each
// record is a marker (non-blank on keyword records, blank on the second and
// later records of a list); the value field starts in column 17.
#pragma once

#include <string>
#include <vector>

#include "params/design_params.h"
#include "textio/text_file.h"

namespace sitedrain::params {

// Reads every record in file order with its checks.  A failed check shows its
// message and "Type any letter to stop the program", waits for a line of
// input and stops; an unreadable number or a file that ends early shows a
// message naming the file, line and field and stops at once.
DesignParams read_parameter_file(textio::LineReader& in);

// One field of a record as the reader took it.
struct FieldRead {
  int first = 0;              // first column, from 1
  int width = 0;              // columns
  int implied_decimals = -1;  // -1: a whole number
};

// One record as the reader took it: the key it expected there and the fields
// it read from the line.
struct RecordRead {
  enum class Role { keyword, list_first, list_later };
  int line = 0;  // from 1
  std::string key;
  Role role = Role::keyword;
  std::string text;  // the line as read (without its line end)
  std::vector<FieldRead> fields;
};

// The records of a parameter file in the order read_parameter_file reads them.
struct ParameterTrace {
  std::vector<RecordRead> records;
  // A check or an unreadable field stopped the reading at the last record.
  bool stopped = false;
  DesignParams params;  // the values read, when the reading was not stopped
};

// Reads the file exactly as read_parameter_file does, silently (no console line, no
// pause), and returns the records it read: for advice on how the text was
// read, with the reader's own record order and field columns.
ParameterTrace trace_parameter_file(textio::LineReader& in);

}  // namespace sitedrain::params

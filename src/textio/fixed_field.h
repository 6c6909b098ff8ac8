// Fixed-column numeric fields of the input files.
//
// Rules shared by every reader: blanks anywhere in a field are ignored; an
// all-blank field, or a line that ends before the field, reads 0; a real
// field without a decimal point takes the implied decimals of its field (an
// exponent is allowed and applies after them); a decimal point in an integer
// field is an error.  Errors name the file, the line and the field, then stop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sitedrain::textio {

// Where a field is, for error messages.
struct FieldPlace {
  std::string_view file;
  int line = 0;
  std::string_view field;
};

// Columns [first, first + width) of a line (columns from 1); shorter or empty
// when the line ends early.
std::string_view columns(std::string_view line, int first, int width);

// Parsers of a field's text; on failure they return nothing and say why.
std::optional<std::int32_t> parse_int(std::string_view text, std::string* why = nullptr);
std::optional<double> parse_real(std::string_view text, int implied_decimals,
                                 std::string* why = nullptr);

// Readers of a field of a line: a bad field shows a message naming the file,
// line, field and columns, then stops the run (status 1, no pause).
std::int32_t read_int(std::string_view line, int first, int width, const FieldPlace& where);
double read_real(std::string_view line, int first, int width, int implied_decimals,
                 const FieldPlace& where);

// A field's text as a message shows it: a CR as \r, any other control
// character and every byte above 126 as \xNN (two upper-case hex
// digits), so that an echoed field never garbles the terminal.
std::string printable(std::string_view text);

// The message shown for a bad field (its text made printable).
std::string field_error(const FieldPlace& where, int first, int width, std::string_view text,
                        std::string_view why);

}  // namespace sitedrain::textio

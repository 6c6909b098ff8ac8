// SHA-256 (FIPS 180-4) of a byte string, for naming input files by their
// contents in reports.
#pragma once

#include <string>
#include <string_view>

namespace sitedrain::textio {

// In: bytes.  Out: their SHA-256 as 64 lower-case hex digits.
std::string sha256_hex(std::string_view bytes);

}  // namespace sitedrain::textio

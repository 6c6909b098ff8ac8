// SHA-256 (FIPS 180-4) of a byte string, for naming input files by their
// contents in reports.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace sitedrain::textio {

// In: bytes.  Out: their SHA-256 as 64 lower-case hex digits.
std::string sha256_hex(std::string_view bytes);

// The same over bytes given piece by piece (a file read in blocks).
class Sha256 {
 public:
  void update(std::string_view bytes);
  std::string hex();  // ends the digest

 private:
  std::array<std::uint32_t, 8> h_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::array<unsigned char, 64> block_{};
  std::size_t filled_ = 0;    // bytes in block_
  std::uint64_t length_ = 0;  // bytes so far
};

}  // namespace sitedrain::textio

// Shared parts of the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "textio/text_file.h"

namespace sitedrain::fuzz {

// Sends the console to /dev/null and reads keyboard input from /dev/null, so
// that a pause returns at once.  Call once, from LLVMFuzzerInitialize.
void quiet_console();

// The fuzzer's bytes as text.
inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A broken promise is a finding: say which, then abort.
void check(bool ok, const char* what);
#define SITEDRAIN_FUZZ_CHECK(condition) ::sitedrain::fuzz::check(condition, #condition)

// Swallows every line (the output files of the rainfall step).
class NullSink : public textio::LineSink {
 public:
  void line(std::string_view) override {}
};

}  // namespace sitedrain::fuzz

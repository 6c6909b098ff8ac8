#include "report/run_notes.h"

#include <array>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "textio/sha256.h"

namespace sitedrain::report {

std::string run_date_text(const char* source_date_epoch, std::time_t now) {
  std::time_t t = now;
  if (source_date_epoch && *source_date_epoch) {
    long long seconds = 0;
    const char* end = source_date_epoch + std::strlen(source_date_epoch);
    const auto [ptr, ec] = std::from_chars(source_date_epoch, end, seconds);
    if (ec == std::errc() && ptr == end && seconds >= 0) t = static_cast<std::time_t>(seconds);
  }
  // called once, before any other thread needs gmtime
  const std::tm* utc = std::gmtime(&t);
  if (!utc) utc = std::gmtime(&now);  // a year beyond the calendar's
  char buf[32];
  if (!utc || !std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M UTC", utc)) return "unknown";
  return buf;
}

InputFile input_file(const std::string& name) {
  InputFile f{name, ""};
  std::error_code ec;
  if (!std::filesystem::is_regular_file(name, ec)) return f;  // a device is never read whole
  std::ifstream in(name, std::ios::binary);
  if (!in) return f;
  textio::Sha256 digest;
  std::array<char, 1 << 16> buf;
  while (in.read(buf.data(), buf.size()) || in.gcount() > 0)
    digest.update(std::string_view(buf.data(), static_cast<std::size_t>(in.gcount())));
  if (in.bad()) return f;
  f.sha256 = digest.hex();
  return f;
}

}  // namespace sitedrain::report

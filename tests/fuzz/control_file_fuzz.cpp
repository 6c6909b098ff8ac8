// The control file reader: any text is either read into the ten file names
// and the line count, or refused with a message (a RunStop).
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "control/control_file.h"
#include "textio/stop.h"

using namespace sitedrain;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quiet_console();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const control::ControlItems items =
        control::parse_control(fuzz::as_text(data, size), "PSnamel.nml");
    const control::RunFiles files = control::resolve_files(items, "PSnamel.nml");
    if (files.numline < 1) std::abort();
    for (std::size_t j = 0; j < 8; ++j) {
      const std::string name = control::rebuild_name(files.opath[j], files.ofilename[j]);
      if (name.size() > control::kNameLength || files.output[j].size() > control::kNameLength)
        std::abort();
      (void)textio::padded_file_name(name);
    }
    for (const std::string& name : files.input)
      if (name.size() > control::kNameLength) std::abort();
    // The names the run would open: whole (never cut) and free of control characters.
    for (const std::string& name : control::output_names(files, 1 + static_cast<int>(size % 3))) {
      if (name.size() > control::kNameLength) std::abort();
      for (char c : name)
        if (static_cast<unsigned char>(c) < 32) std::abort();
    }
    if (files.location.size() > 34) std::abort();
  } catch (const RunStop&) {
  }
  return 0;
}

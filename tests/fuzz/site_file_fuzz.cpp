// The site file reader: any text is either read into a parameter set the run
// set-up accepts the counts of, or refused with a message (a RunStop).
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "site/site_file.h"
#include "site/site_writer.h"
#include "textio/stop.h"

using namespace sitedrain;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quiet_console();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const site::SiteCase c = site::parse_site_file(fuzz::as_text(data, size), "site.toml");
    const params::DesignParams& p = c.params;
    SITEDRAIN_FUZZ_CHECK(p.subcatchment_count >= 1 &&
                         p.subcatchment_count <= params::kMaxSubCatchments);
    SITEDRAIN_FUZZ_CHECK(p.return_period_count >= 0 &&
                         p.return_period_count <= params::kMaxReturnPeriods);
    SITEDRAIN_FUZZ_CHECK(p.duration_count >= 0 && p.duration_count <= params::kMaxListedDurations);
    SITEDRAIN_FUZZ_CHECK(c.files.numline >= 1);
    for (const std::string& name : c.files.input)
      SITEDRAIN_FUZZ_CHECK(name.size() <= control::kNameLength);
    // What was read is written again and reads back the same.
    const std::string again = site::site_file_text(p, c.files);
    const site::SiteCase d = site::parse_site_file(again, "site.toml");
    SITEDRAIN_FUZZ_CHECK(site::site_file_text(d.params, d.files) == again);
  } catch (const RunStop&) {
  } catch (const site::ConvertError&) {
    std::abort();  // every parameter set a site file gives has names
  }
  return 0;
}

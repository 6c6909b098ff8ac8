// The progress file's one record: the percentage of design storms begun.
#pragma once

#include <cstdint>
#include <string>

#include "textio/text_file.h"

namespace sitedrain::fixed_column {

// In: the storm's sequence number q (from 1) and the combination count.
// Out: 100*q/count as a real in an 8-character field without decimals
// ("     50." for a half).
std::string progress_record(std::int64_t q, std::int64_t combinations);

// In: as above and the freshly opened progress file.  Out: the record on it.
void write_progress(std::int64_t q, std::int64_t combinations, textio::LineSink& progress);

}  // namespace sitedrain::fixed_column

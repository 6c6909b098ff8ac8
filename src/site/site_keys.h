// The keys of a site file (site.toml), written once: name, group, unit,
// meaning, type, default, allowed choices, when the key must be given and
// the record of the control or parameter file it stands for.  The reader's
// messages, `sitedrain new`'s commented file, `sitedrain convert` and the
// browser form all read this table.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "params/code_names.h"
#include "params/modes.h"

namespace sitedrain::site {

// The kind of value a key takes, as TOML writes it.
enum class ValueType {
  text,            // a string ("cd_Hexham_2023.csv")
  choice,          // a string from the key's choices ("pond")
  flag,            // true or false
  whole,           // an integer
  number,          // an integer or a decimal (1.4), finite
  whole_series,    // a list of integers, or { from, to, step }
  whole_sweep,     // { from, to, step } of integers
  soil_class,      // a WRAP class by name ("low") or number (1 to 5)
  discharge_limit  // a number, or a table of numbers by return period { 30 = 5.0 }
};

// When a key must be given (otherwise its default, or the key is not used).
enum class Needed {
  always,
  optional,             // has a default
  not_greenfield_only,  // every run but a greenfield-only one
  design,               // run = "design" (a structure is sized)
  pond,                 // storage = "pond"
  sump,                 // storage = "sump"
  soakaway,             // storage = "soakaway"
  greenfield_rates,     // greenfield rates computed
  areal_reduction,      // areal_reduction = true
};

// Where a key lives in the file.
enum class Section {
  top,           // a key of the file itself
  subcatchment,  // a key of each [[subcatchment]] table
  output_files,  // a key of the [output_files] table
};

struct SiteKey {
  std::string_view name;  // as written in its section ("area_m2")
  Section section;
  std::string_view group;  // "site and rainfall", "storage", ...
  std::string_view unit;   // "m", "l/s"; empty for none
  std::string_view help;   // one line, what the value is for
  ValueType type;
  Needed needed;
  std::string_view default_value;             // TOML text of the default; empty: none
  std::string_view allowed;                   // what is allowed, in words ("greater than 0")
  std::string_view legacy;                    // the control or parameter file record ("cchgfac")
  std::span<const params::CodeName> choices;  // fixed choices (choice keys); else empty
};

// Every key, in the order of the groups and of a written site file.
std::span<const SiteKey> site_keys();

// The key of that name in a section, or none.
const SiteKey* find_site_key(std::string_view name, Section section = Section::top);

// The full name of a key as messages show it: "climate_change_factor",
// "subcatchment.area_m2", "output_files.report".
std::string full_key_name(const SiteKey& key);

// The known key of a section nearest to an unknown name (fewest edits,
// ties to the earlier key), or none when nothing is close.
std::optional<std::string> nearest_site_key(std::string_view unknown, Section section);

// The site file's key of a control or parameter file record: "cchgfac"
// gives "climate_change_factor", "area" "subcatchment.area_m2"; a record
// without a key is returned as it is.
std::string site_key_of_record(std::string_view record);

// The choices of a key under a loss model: the fixed ones, the surface
// types of the model (surface), the WRAP classes (soil_class), the side
// sets (soakaway_sides).
std::span<const params::CodeName> key_choices(const SiteKey& key, params::LossModel model);

// "when the run is a design", "always", ...: when a key must be given.
std::string_view needed_text(Needed needed);

// Choices of the keys whose values name the legacy codes.  The codes are
// the legacy record's value (run and storage: an enum of the site file).
std::span<const params::CodeName> run_choices();                // RunKind codes
std::span<const params::CodeName> storage_choices();            // StorageChoice codes
std::span<const params::CodeName> season_choices();             // season 1..3
std::span<const params::CodeName> storm_profile_choices();      // strmprf 1..3
std::span<const params::CodeName> loss_model_choices();         // rom 0..3
std::span<const params::CodeName> rainfall_model_choices();     // DdfModel as int
std::span<const params::CodeName> rainfall_estimate_choices();  // point 0, 1
std::span<const params::CodeName> areal_area_choices();         // ctchm 1, 2
std::span<const params::CodeName> lagoon_shape_choices();       // 1 rectangular, -1 elliptic

enum RunKind {
  run_design = 0,
  run_runoff_only = 1,
  run_rainfall_only = 2,
  run_greenfield_only = 3
};
enum StorageChoice { storage_pond = 0, storage_sump = 1, storage_soakaway = 2, storage_none = 3 };

// The default output file names (the bundled example's), in the control
// file's order: all-year, summer and winter rainfall, log, full results,
// report, diagnostic series, progress.
std::span<const std::string_view> default_output_names();

// The default number of descriptor file lines read.
inline constexpr int kDefaultDescriptorLines = 36;

}  // namespace sitedrain::site

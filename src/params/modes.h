// The run modes of a design and the limits every part of the program
// shares, each defined once.  The parameter file's mode codes (rom, ponds,
// sump, soak, rnf, strmprf, season) are decoded into these enums when the
// file is read; the computations and writers use the enums only.
#pragma once

#include <array>

namespace sitedrain::params {

// Sub-catchments of a run (the lists of surface types, soils and areas).
inline constexpr int kMaxSubCatchments = 10;
// Durations are whole minutes and the rainfall model ends at 16 days.
inline constexpr int kLongestStorm = 23040;

// The runoff (loss) model, from rom; a code of no model is final_horton.
enum class LossModel { final_horton, horton, green_ampt, green_ampt_pdm };

// What the run designs, from sump, soak and rnf (in that precedence); a
// pond otherwise.
enum class StorageKind { runoff_only, pond, sump, soakaway };

// The storm profile, from the code strmprf; any code but 2, 3 is uniform.
enum class StormProfile { uniform, winter75, summer50 };

// The season of the design rainfall, from season (1, 2, 3); none for a
// greenfield-only run, which need not give one.
enum class Season { none, all_year, summer, winter };

// True for a summer or winter season, whose depths take a seasonal factor.
constexpr bool seasonal(Season s) {
  return s == Season::summer || s == Season::winter;
}

// A loss model's code in the parameter file (rom) and the number of
// surface types it accepts (codes 1 to that number).  What a model computes
// and how it is named is its entry in runoff/loss_model.cpp.
struct LossModelCode {
  LossModel model;
  int code;
  int surface_types;
};

inline constexpr std::array<LossModelCode, 4> kLossModelCodes{{
    {LossModel::final_horton, 0, 5},
    {LossModel::horton, 1, 5},
    {LossModel::green_ampt, 2, 11},
    {LossModel::green_ampt_pdm, 3, 11},
}};

// In: rom.  Out: the code's row, or nullptr for a code of no model.
constexpr const LossModelCode* find_loss_model_code(int rom) {
  for (const LossModelCode& c : kLossModelCodes)
    if (c.code == rom) return &c;
  return nullptr;
}

// In: rom.  Out: its loss model.
constexpr LossModel decode_loss_model(int rom) {
  const LossModelCode* c = find_loss_model_code(rom);
  return c != nullptr ? c->model : LossModel::final_horton;
}

// In: a loss model.  Out: the number of surface types it accepts.
constexpr int surface_type_count(LossModel model) {
  for (const LossModelCode& c : kLossModelCodes)
    if (c.model == model) return c.surface_types;
  return 0;
}

// In: the sump, soak and rnf flags.  Out: the kind of storage designed.
constexpr StorageKind decode_storage_kind(int sump, int soak, int rnf) {
  return sump == 1   ? StorageKind::sump
         : soak == 1 ? StorageKind::soakaway
         : rnf == 1  ? StorageKind::runoff_only
                     : StorageKind::pond;
}

// In: the code strmprf.  Out: its profile.
constexpr StormProfile decode_profile(int code) {
  return code == 2   ? StormProfile::winter75
         : code == 3 ? StormProfile::summer50
                     : StormProfile::uniform;
}

// In: season.  Out: its season, none outside 1..3.
constexpr Season decode_season(int season) {
  return season == 1   ? Season::all_year
         : season == 2 ? Season::summer
         : season == 3 ? Season::winter
                       : Season::none;
}

}  // namespace sitedrain::params

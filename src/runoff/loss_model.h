// The loss models behind one table: each model is a file of this folder
// (horton.cpp, green_ampt.cpp, pdm.cpp) with its step function and its
// surface types, and one entry of the table (loss_model.cpp).  A new model
// is its own file, a value with its code and surface count in
// params/modes.h (LossModel, kLossModelCodes) and an entry.
#pragma once

#include <array>
#include <span>
#include <string>

#include "params/code_names.h"
#include "params/modes.h"
#include "runoff/green_ampt.h"

namespace sitedrain::runoff {

struct SubCatchments;
struct StormSpec;

// The state of the losses of one storm simulation.
struct LossState {
  const SubCatchments* subs = nullptr;
  const StormSpec* storm = nullptr;
  // Loss rate (mm/s) of each sub-catchment at the end of the storm (the
  // Horton models).
  std::array<double, params::kMaxSubCatchments> final_loss{};
  GreenAmptState green_ampt;
  double infilt = 0.0;  // infiltration depth (mm) of the last sub-catchment that set it
};

struct LossModelEntry {
  params::LossModel model;
  const char* key;          // the site file's name of the model ("green-ampt")
  const char* report_line;  // the report's model line
  const char* name;         // the model's name in plain words
  // The surface types the model accepts, in code order, and what a report
  // writes before a surface code ("Green-Ampt soil row 5").
  std::span<const params::CodeName> (*surface_types)();
  const char* surface_code_label;
  // Forms what the model needs before the first step (nullptr: nothing).
  void (*start)(LossState& s);
  // A first step that gives no runoff even at the final_loss rates means a
  // storm without runoff (the simulation ends at once).
  bool ends_on_dry_start;
  // A step without runoff ends the simulation (the loss never falls).
  bool ends_on_dry_step;
  // The model shows a console line at every step with rain.
  bool shows_every_step;
  // The runoff depth (mm, before the cut at 0) of sub-catchment k (from 0)
  // in the step ending at t s, of dt s, with rain P mm; first = 1 on the
  // storm's first step.  A model with an infiltration depth sets s.infilt.
  double (*runoff_depth)(LossState& s, int k, int t, double dt, double P, int first);
};

// The entry of a model.
const LossModelEntry& loss_model(params::LossModel m);

// The entry of a parameter file code, or nullptr for a code of no model
// (which the computations read as the final-value Horton model).
const LossModelEntry* loss_model_of_code(int rom);

// Every model by its code (rom), in code order: the code, the site file's
// key and the name in plain words.
std::span<const params::CodeName> loss_model_names();

// The surface types a loss model accepts, in code order.
std::span<const params::CodeName> surface_types(params::LossModel model);

// "silt loam (Green-Ampt soil row 5)", "fixed-loss surface: ... (5)": the
// description of a surface code under a model and the code in brackets;
// "code N (not a surface type of this model)" for any other code.
std::string surface_text(params::LossModel model, int code);

}  // namespace sitedrain::runoff

#include "runoff/loss_model.h"

#include "runoff/green_ampt.h"
#include "runoff/horton.h"
#include "runoff/pdm.h"

namespace sitedrain::runoff {

namespace {

using params::LossModel;

constexpr LossModelEntry kModels[] = {
    {LossModel::final_horton, "final-horton",
     " Runoff/infiltration model used: Final-value Horton model", "Final-value Horton",
     horton_surfaces, "", horton_start, false, true, false, final_horton_runoff_depth},
    {LossModel::horton, "horton", " Runoff/infiltration model used: Horton model", "Horton",
     horton_surfaces, "", horton_start, true, false, false, horton_runoff_depth},
    {LossModel::green_ampt, "green-ampt", " Runoff/infiltration model used: Green-Ampt model",
     "Green-Ampt", green_ampt_soil_textures, "Green-Ampt soil row ", nullptr, false, false, false,
     green_ampt_runoff_depth},
    {LossModel::green_ampt_pdm, "green-ampt-pdm",
     " Runoff/infiltration model used: Green-Ampt with PDM model",
     "Green-Ampt with a probability-distributed store", green_ampt_soil_textures,
     "Green-Ampt soil row ", nullptr, false, false, true, pdm_runoff_depth},
};

constexpr const LossModelEntry& entry_of(LossModel m) {
  for (const LossModelEntry& e : kModels)
    if (e.model == m) return e;
  return kModels[0];
}

constexpr auto kModelNames = [] {
  std::array<params::CodeName, params::kLossModelCodes.size()> names{};
  for (std::size_t i = 0; i < names.size(); ++i) {
    const params::LossModelCode& c = params::kLossModelCodes[i];
    names[i] = {c.code, entry_of(c.model).key, entry_of(c.model).name};
  }
  return names;
}();

}  // namespace

const LossModelEntry& loss_model(LossModel m) {
  return entry_of(m);
}

std::span<const params::CodeName> loss_model_names() {
  return kModelNames;
}

const LossModelEntry* loss_model_of_code(int rom) {
  const params::LossModelCode* c = params::find_loss_model_code(rom);
  return c != nullptr ? &loss_model(c->model) : nullptr;
}

std::span<const params::CodeName> surface_types(LossModel model) {
  return loss_model(model).surface_types();
}

std::string surface_text(LossModel model, int code) {
  const params::CodeName* c = params::find_code(surface_types(model), code);
  const std::string n = std::to_string(code);
  if (c == nullptr) return "code " + n + " (not a surface type of this model)";
  return std::string(c->description) + " (" + loss_model(model).surface_code_label + n + ")";
}

}  // namespace sitedrain::runoff

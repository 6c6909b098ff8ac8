#include "runoff/loss_model.h"

#include "runoff/green_ampt.h"
#include "runoff/horton.h"
#include "runoff/pdm.h"

namespace sitedrain::runoff {

namespace {

using params::LossModel;

constexpr LossModelEntry kModels[] = {
    {LossModel::final_horton, 0, " Runoff/infiltration model used: Final-value Horton model",
     "Final-value Horton", horton_start, false, true, false, final_horton_runoff_depth},
    {LossModel::horton, 1, " Runoff/infiltration model used: Horton model", "Horton", horton_start,
     true, false, false, horton_runoff_depth},
    {LossModel::green_ampt, 2, " Runoff/infiltration model used: Green-Ampt model", "Green-Ampt",
     nullptr, false, false, false, green_ampt_runoff_depth},
    {LossModel::green_ampt_pdm, 3, " Runoff/infiltration model used: Green-Ampt with PDM model",
     "Green-Ampt with a probability-distributed store", nullptr, false, false, true,
     pdm_runoff_depth},
};

}  // namespace

const LossModelEntry& loss_model(LossModel m) {
  for (const LossModelEntry& e : kModels)
    if (e.model == m) return e;
  return kModels[0];
}

const LossModelEntry* loss_model_of_code(int rom) {
  for (const LossModelEntry& e : kModels)
    if (e.code == rom) return &e;
  return nullptr;
}

}  // namespace sitedrain::runoff

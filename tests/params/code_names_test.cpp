// The names of the codes: the WRAP classes, the soakaway sides and the
// surface types of each loss model.
#include "params/code_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "runoff/loss_model.h"

namespace sitedrain::params {
namespace {

// Every code the parameter file accepts has a meaning, and keys and codes
// find each other in every table.
TEST(CodeNames, EveryAcceptedCodeIsNamedAndKeysRoundTrip) {
  struct Table {
    std::span<const CodeName> names;
    int first, last;
  };
  std::vector<Table> tables{{wrap_soil_classes(), 1, 5}, {soakaway_side_sets(), 0, 8}};
  // Each loss model names exactly the surface codes the parameter file
  // accepts under it.
  for (const LossModelCode& m : kLossModelCodes)
    tables.push_back({runoff::surface_types(m.model), 1, m.surface_types});
  for (const Table& t : tables) {
    std::set<std::string_view> keys;
    for (int code = t.first; code <= t.last; ++code) {
      const CodeName* c = find_code(t.names, code);
      ASSERT_NE(c, nullptr) << code;
      EXPECT_FALSE(c->description.empty());
      EXPECT_EQ(find_key(t.names, c->key), code);
      EXPECT_TRUE(keys.insert(c->key).second) << c->key;
    }
    EXPECT_EQ(find_code(t.names, t.last + 1), nullptr);
  }
}

TEST(CodeNames, TextsNameTheCodeUnderTheModel) {
  using runoff::surface_text;
  EXPECT_EQ(surface_text(LossModel::green_ampt, 5), "silt loam (Green-Ampt soil row 5)");
  EXPECT_EQ(surface_text(LossModel::horton, 5),
            "fixed-loss surface: 5 % of the storm's mean intensity is lost (5)");
  EXPECT_EQ(surface_text(LossModel::final_horton, 1),
            "Horton curve 1: 280 mm/h falling to 6 mm/h, decay 1.6 per minute (1)");
  EXPECT_EQ(surface_text(LossModel::horton, 9), "code 9 (not a surface type of this model)");
  EXPECT_EQ(wrap_class_text(4), "4 (low winter rain acceptance)");
  EXPECT_EQ(infiltrating_sides_text(4), "both length sides (4)");
  EXPECT_EQ(infiltrating_sides_text(-1), "all four sides (-1)");
  EXPECT_EQ(infiltrating_sides_text(99), "all four sides (99)");
}

}  // namespace
}  // namespace sitedrain::params

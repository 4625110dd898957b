#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "fractal/tRootManager.h"
#include "graphics/tPixel.h"
#include "graphics/tVector2.h"

namespace {

const tPixel kPresets[3] = {tPixel(159, 66, 238, 255), tPixel(92, 245, 60, 255),
                            tPixel(32, 137, 128, 255)};
const tPixel kFixed[3] = {tPixel(255, 255, 0, 255), tPixel(50, 50, 50, 255),
                          tPixel(255, 255, 255, 255)};

// The registry with no roots and the given colour mode.
tRootManager& freshManager(bool randomColors) {
  tRootManager& manager = tRootManager::instance();
  manager.clearRoots();
  manager.useRandomColors(randomColors);
  return manager;
}

// The colour the registry must produce after srand(seed): candidates are
// drawn blue, green, red from the same sequence; the first whose distance to
// every colour in use is at least 125 wins, else the 500th. Also reports
// whether a candidate was accepted.
tPixel expectedRandomColor(unsigned int seed, const std::vector<tPixel>& inUse, bool* accepted) {
  // One channel from one rand() value, as randInRange(64, 255) gives it.
  auto channelFromRand = [](int r) {
    return static_cast<unsigned char>(64.0f + 191.0f * static_cast<float>(r) / 2147483648.0f);
  };
  std::srand(seed);
  tPixel candidate;
  for (int attempt = 0; attempt < 500; ++attempt) {
    unsigned char blue = channelFromRand(std::rand());
    unsigned char green = channelFromRand(std::rand());
    unsigned char red = channelFromRand(std::rand());
    candidate = tPixel(red, green, blue, 255);
    *accepted = std::all_of(inUse.begin(), inUse.end(), [&](const tPixel& color) {
      return candidate.distance(color) >= 125.0f;
    });
    if (*accepted) return candidate;
  }
  return candidate;
}

TEST(tRootManagerTest, RootsCloserThanTheToleranceShareOneEntry) {
  tRootManager& manager = freshManager(false);
  EXPECT_EQ(kPresets[0], manager.getColorForRoot(tVector2(1.0, 2.0)));
  EXPECT_EQ(kPresets[0], manager.getColorForRoot(tVector2(1.0 + 5e-5, 2.0 - 5e-5)));
  ASSERT_EQ(1u, manager.getRoots().size());
  EXPECT_EQ(tVector2(1.0, 2.0), manager.getRoots()[0].first);  // the first representative stays
  EXPECT_EQ(kPresets[1], manager.getColorForRoot(tVector2(1.0 + 2e-4, 2.0)));
  // After clearing, the presets start again from the first.
  manager.clearRoots();
  EXPECT_EQ(kPresets[0], manager.getColorForRoot(tVector2(1.0 + 2e-4, 2.0)));
}

// The presets first unless random colours are asked for; then every new
// root's colour follows the rule, replayed from the same rand() sequence,
// until the colour space is so full that some searches give up.
TEST(tRootManagerTest, PresetsThenRandomColorsUntilTheSearchGivesUp) {
  for (bool randomColors : {false, true}) {
    tRootManager& manager = freshManager(randomColors);
    int givenUp = 0;
    for (unsigned int i = 0; i < 40; ++i) {
      std::vector<tPixel> inUse(kFixed, kFixed + 3);
      for (const auto& entry : manager.getRoots()) inUse.push_back(entry.second);
      bool accepted = true;
      tPixel expected = !randomColors && i < 3 ? kPresets[i]
                                               : expectedRandomColor(100 + i, inUse, &accepted);
      std::srand(100 + i);
      ASSERT_EQ(expected, manager.getColorForRoot(tVector2(i, 0.0))) << randomColors << i;
      givenUp += !accepted;
    }
    EXPECT_LT(0, givenUp) << randomColors;
  }
}

}  // namespace

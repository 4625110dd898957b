#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "fractal/tRandom.h"
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

// One channel from one raw rand() value, as randInRange(64, 255) gives it.
unsigned char channelFromRand(int r) {
  return static_cast<unsigned char>(
      static_cast<int>(64.0f + 191.0f * static_cast<float>(r) / 2147483648.0f));
}

// The colour the registry must produce after srand(seed): candidates are
// drawn blue, green, red from the same sequence; the first whose distance to
// every colour in use is at least 125 wins, else the 500th. Also reports
// whether a candidate was accepted.
tPixel expectedRandomColor(unsigned int seed, const std::vector<tPixel>& inUse, bool* accepted) {
  std::srand(seed);
  tPixel candidate;
  for (int attempt = 0; attempt < 500; ++attempt) {
    unsigned char blue = channelFromRand(std::rand());
    unsigned char green = channelFromRand(std::rand());
    unsigned char red = channelFromRand(std::rand());
    candidate = tPixel(red, green, blue, 255);
    bool far = true;
    for (const tPixel& color : inUse) far = far && candidate.distance(color) >= 125.0f;
    if (far) {
      *accepted = true;
      return candidate;
    }
  }
  *accepted = false;
  return candidate;
}

TEST(tRandomTest, ScalesTheNextRandValueIntoTheRange) {
  std::srand(11);
  int first = std::rand();
  int second = std::rand();
  std::srand(11);
  EXPECT_EQ(static_cast<float>(first) / 2147483648.0f, tRandom::randInRange(0.0f, 1.0f));
  EXPECT_EQ(-2.0f + 6.0f * static_cast<float>(second) / 2147483648.0f,
            tRandom::randInRange(-2.0f, 4.0f));
  for (int i = 0; i < 1000; ++i) {
    float value = tRandom::randInRange(64.0f, 255.0f);
    EXPECT_LE(64.0f, value);
    EXPECT_GE(255.0f, value);
  }
}

TEST(tRootManagerTest, RootsCloserThanTheToleranceShareOneEntry) {
  tRootManager& manager = freshManager(false);
  tPixel first = manager.getColorForRoot(tVector2(1.0, 2.0));
  EXPECT_EQ(first, manager.getColorForRoot(tVector2(1.0 + 5e-5, 2.0)));
  EXPECT_EQ(first, manager.getColorForRoot(tVector2(1.0, 2.0 - 5e-5)));
  ASSERT_EQ(1u, manager.getRoots().size());
  EXPECT_EQ(tVector2(1.0, 2.0), manager.getRoots()[0].first);  // the first representative stays

  tPixel second = manager.getColorForRoot(tVector2(1.0 + 2e-4, 2.0));
  EXPECT_NE(first, second);
  ASSERT_EQ(2u, manager.getRoots().size());
  EXPECT_EQ(tVector2(1.0 + 2e-4, 2.0), manager.getRoots()[1].first);
}

TEST(tRootManagerTest, PresetsComeFirstInOrderThenRandomColors) {
  tRootManager& manager = freshManager(false);
  const tVector2 roots[4] = {tVector2(0, 0), tVector2(1, 0), tVector2(0, 1), tVector2(1, 1)};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(kPresets[i], manager.getColorForRoot(roots[i])) << i;

  std::vector<tPixel> inUse(kPresets, kPresets + 3);
  inUse.insert(inUse.end(), kFixed, kFixed + 3);
  bool accepted = false;
  tPixel expected = expectedRandomColor(5, inUse, &accepted);
  EXPECT_TRUE(accepted);
  std::srand(5);
  EXPECT_EQ(expected, manager.getColorForRoot(roots[3]));
  EXPECT_EQ(expected, manager.getColorForRoot(roots[3]));  // met again: no new draw

  // After clearing, the presets start again from the first, in the new order.
  manager.clearRoots();
  EXPECT_EQ(kPresets[0], manager.getColorForRoot(roots[2]));
  EXPECT_EQ(kPresets[1], manager.getColorForRoot(roots[0]));
  EXPECT_EQ(kPresets[0], manager.getColorForRoot(roots[2]));
  EXPECT_EQ(2u, manager.getRoots().size());

  manager.clearRoots();
  manager.useRandomColors(true);
  std::srand(5);
  tPixel random = manager.getColorForRoot(roots[0]);
  EXPECT_EQ(expectedRandomColor(5, std::vector<tPixel>(kFixed, kFixed + 3), &accepted), random);
}

TEST(tRootManagerTest, FixedColors) {
  tRootManager& manager = tRootManager::instance();
  EXPECT_EQ(kFixed[0], manager.getSingularJacobianColor());
  EXPECT_EQ(kFixed[1], manager.getNoConvergenceColor());
  EXPECT_EQ(kFixed[2], manager.getTextColor());
}

// Every new root's colour is checked against the rule, replayed from the same
// rand() sequence, until the colour space is so full that some searches give
// up and take their 500th candidate.
TEST(tRootManagerTest, RandomColorsKeepTheirDistanceUntilTheSearchGivesUp) {
  tRootManager& manager = freshManager(true);
  int acceptedCount = 0;
  int givenUp = 0;
  for (unsigned int i = 0; i < 40; ++i) {
    std::vector<tPixel> inUse(kFixed, kFixed + 3);
    for (const auto& entry : manager.getRoots()) inUse.push_back(entry.second);
    bool accepted = false;
    tPixel expected = expectedRandomColor(100 + i, inUse, &accepted);
    std::srand(100 + i);
    tPixel color = manager.getColorForRoot(tVector2(i, 0.0));
    ASSERT_EQ(expected, color) << "root " << i;
    (accepted ? acceptedCount : givenUp) += 1;
    for (const tPixel& used : inUse) {
      EXPECT_TRUE(!accepted || color.distance(used) >= 125.0f) << "root " << i;
    }
    for (int channel = 0; channel < 3; ++channel) {
      EXPECT_LE(64, color[channel]);
      EXPECT_GE(254, color[channel]);
    }
    EXPECT_EQ(255, color[3]);
  }
  EXPECT_LT(0, acceptedCount);
  EXPECT_LT(0, givenUp);
}

}  // namespace

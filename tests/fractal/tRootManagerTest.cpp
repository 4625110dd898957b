#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
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

// A registry with no roots and the given colour mode, and its sequence.
struct tFreshManager {
  explicit tFreshManager(bool randomColors) : manager(random) {
    manager.useRandomColors(randomColors);
  }
  tRandom random;
  tRootManager manager;
};

// The colour the registry must produce after seeding its sequence with seed,
// modelled by the C library's own rand() after srand(seed): candidates are
// drawn blue, green, red from the same sequence; the first whose distance to
// the root colours and the three fixed ones is at least 125 wins, else the
// one farthest from the root colours and the two failure colours (the first
// of equals). Also reports whether a candidate was accepted.
tPixel expectedRandomColor(unsigned int seed, const std::vector<tPixel>& rootColors,
                           bool* accepted) {
  // One channel from one rand() value, as randInRange(64, 255) gives it.
  auto channelFromRand = [](int r) {
    return static_cast<unsigned char>(64.0f + 191.0f * static_cast<float>(r) / 2147483648.0f);
  };
  auto nearest = [](const tPixel& candidate, const std::vector<tPixel>& colors) {
    float d = 1e9f;
    for (const tPixel& color : colors) d = std::min(d, candidate.distance(color));
    return d;
  };
  std::vector<tPixel> basinColors = rootColors;
  basinColors.insert(basinColors.end(), kFixed, kFixed + 2);
  std::srand(seed);
  tPixel farthest;
  float farthestDistance = -1.0f;
  for (int attempt = 0; attempt < 500; ++attempt) {
    unsigned char blue = channelFromRand(std::rand());
    unsigned char green = channelFromRand(std::rand());
    unsigned char red = channelFromRand(std::rand());
    const tPixel candidate(red, green, blue, 255);
    const float distance = nearest(candidate, basinColors);
    *accepted = distance >= 125.0f && candidate.distance(kFixed[2]) >= 125.0f;
    if (*accepted) return candidate;
    if (distance > farthestDistance) {
      farthest = candidate;
      farthestDistance = distance;
    }
  }
  return farthest;
}

// A point within the tolerance of two roots is the first one's, also right
// after the later one was found; and points in runs around crowded roots, as
// neighbouring pixels reach them, find what a scan for the first root whose
// distance (by its length) is below the tolerance finds, registering the
// same new roots.
TEST(tRootManagerTest, APointIsTheFirstRootWithinTheTolerance) {
  tFreshManager fresh(false);
  tRootManager& manager = fresh.manager;
  EXPECT_EQ(0u, manager.registerRoot(tVector2(0.0, 0.0)));
  EXPECT_EQ(1u, manager.registerRoot(tVector2(1.5e-4, 0.0)));
  EXPECT_EQ(1u, manager.registerRoot(tVector2(2e-4, 0.0)));
  EXPECT_EQ(0u, manager.registerRoot(tVector2(0.9e-4, 0.0)));
  EXPECT_EQ(tVector2(0.0, 0.0), manager.getRoots()[0].first);  // the first representative stays
  EXPECT_EQ(kPresets[1], manager.getColorForRoot(tVector2(1.5e-4, 5e-5)));

  manager.clearRoots();
  std::vector<tVector2> scanned;
  std::mt19937 random(7);
  std::uniform_real_distribution<double> plane(-5e-4, 5e-4);
  std::uniform_int_distribution<int> step(-4, 4);
  for (int run = 0; run < 2000; ++run) {
    const tVector2 center(plane(random), plane(random));
    for (int k = 0; k < 5; ++k) {
      // Offsets in quarters of the tolerance put points at its very edge.
      const tVector2 point = center + tVector2(step(random) * 0.25e-4, step(random) * 0.25e-4);
      std::size_t first = 0;
      while (first < scanned.size() && !((scanned[first] - point).length() < 1e-4)) ++first;
      if (first == scanned.size()) scanned.push_back(point);
      ASSERT_EQ(first, manager.registerRoot(point)) << run << " " << k;
    }
  }
  EXPECT_EQ(scanned.size(), manager.getRoots().size());
  // After clearing, the presets start again from the first.
  manager.clearRoots();
  EXPECT_EQ(kPresets[0], manager.getColorForRoot(tVector2(1.0, 2.0)));
}

// The presets first unless random colours are asked for; then every new
// root's colour follows the rule, replayed from the same rand() sequence and
// leaving it at the same place, until the colour space is so full that some
// searches give up.
TEST(tRootManagerTest, PresetsThenRandomColorsUntilTheSearchGivesUp) {
  for (bool randomColors : {false, true}) {
    tFreshManager fresh(randomColors);
    tRootManager& manager = fresh.manager;
    int givenUp = 0;
    for (unsigned int i = 0; i < 40; ++i) {
      std::vector<tPixel> rootColors;
      for (const auto& entry : manager.getRoots()) rootColors.push_back(entry.second);
      bool accepted = true;
      tPixel expected = !randomColors && i < 3
                            ? kPresets[i]
                            : expectedRandomColor(100 + i, rootColors, &accepted);
      const float nextDraw = static_cast<float>(std::rand()) / 2147483648.0f;
      fresh.random.seed(100 + i);
      ASSERT_EQ(expected, manager.getColorForRoot(tVector2(i, 0.0))) << randomColors << i;
      if (randomColors || i >= 3) {
        EXPECT_EQ(nextDraw, fresh.random.randInRange(0.0f, 1.0f)) << randomColors << i;
      }
      givenUp += !accepted;
    }
    EXPECT_LT(0, givenUp) << randomColors;
  }
}

}  // namespace

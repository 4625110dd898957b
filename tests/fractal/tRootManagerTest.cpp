#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "fractal/tColorGrid.h"
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

// The registry as a scan over every root and every colour in use makes it:
// the first root within the tolerance, else a new one with the next preset
// (when asked for) or the first random candidate at least 125 from all
// colours, or the farthest. A channel is 64 + 191 u for the sequence's u.
class tScanRegistry {
 public:
  explicit tScanRegistry(bool presets = false) : presets_(presets) {}

  std::size_t registerRoot(const tVector2& point) {
    for (std::size_t i = 0; i < roots_.size(); ++i) {
      if ((roots_[i] - point).length() < 1e-4) return i;
    }
    roots_.push_back(point);
    colors_.push_back(presets_ && colors_.size() < 3 ? kPresets[colors_.size()] : randomColor());
    return roots_.size() - 1;
  }
  const std::vector<tPixel>& colors() const { return colors_; }
  tRandom& random() { return random_; }
  int givenUp() const { return givenUp_; }

 private:
  unsigned char channel() {
    return static_cast<unsigned char>(64.0f + 191.0f * random_.randInRange(0.0f, 1.0f));
  }

  tPixel randomColor() {
    tPixel farthest;
    float farthestDistance = -1.0f;
    for (int attempt = 0; attempt < 500; ++attempt) {
      unsigned char blue = channel();
      unsigned char green = channel();
      unsigned char red = channel();
      const tPixel candidate(red, green, blue, 255);
      float distance = std::min(candidate.distance(kFixed[0]), candidate.distance(kFixed[1]));
      for (const tPixel& color : colors_) distance = std::min(distance, candidate.distance(color));
      if (distance >= 125.0f && candidate.distance(kFixed[2]) >= 125.0f) return candidate;
      if (distance > farthestDistance) {
        farthest = candidate;
        farthestDistance = distance;
      }
    }
    ++givenUp_;
    return farthest;
  }

  bool presets_;
  tRandom random_;
  std::vector<tVector2> roots_;
  std::vector<tPixel> colors_;
  int givenUp_ = 0;
};

// The presets first unless random colours are asked for; then every new
// root's colour follows the rule, leaving the sequence where the rule
// leaves it, until the colour space is so full that some searches give up.
TEST(tRootManagerTest, PresetsThenRandomColorsUntilTheSearchGivesUp) {
  for (bool randomColors : {false, true}) {
    tFreshManager fresh(randomColors);
    tScanRegistry scan(!randomColors);
    fresh.random.seed(100);
    scan.random().seed(100);
    for (unsigned int i = 0; i < 40; ++i) {
      ASSERT_EQ(scan.colors().at(scan.registerRoot(tVector2(i, 0.0))),
                fresh.manager.getColorForRoot(tVector2(i, 0.0)))
          << randomColors << i;
    }
    EXPECT_EQ(scan.random().randInRange(0.0f, 1.0f), fresh.random.randInRange(0.0f, 1.0f));
    EXPECT_LT(0, scan.givenUp()) << randomColors;
  }
}

// Points as the pixels of a picture could reach them: clouds dense enough
// for hundreds of roots and their colours, points on the grid's square
// borders and a quarter-tolerance apart around them (equal distances to two
// roots, distances of exactly the tolerance), very large coordinates, and
// coordinates that are not finite. Each is registered as the scan does it.
TEST(tRootManagerTest, IndexedSearchesAreTheScans) {
  const double width = 1.0 / 4096.0;
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::mt19937 random(11);
  auto cloud = [&](double center, double radius, int count) {
    std::uniform_real_distribution<double> plane(center - radius, center + radius);
    std::vector<tVector2> points;
    for (int k = 0; k < count; ++k) points.emplace_back(plane(random), plane(random));
    return points;
  };
  auto borders = [&](double origin) {
    std::vector<tVector2> points;
    std::uniform_int_distribution<int> square(-3, 3);
    std::uniform_int_distribution<int> quarter(-6, 6);
    for (int k = 0; k < 1500; ++k) {
      double x = origin + square(random) * width + quarter(random) * 0.25e-4;
      double y = origin + square(random) * width + quarter(random) * 0.25e-4;
      if (k % 3 == 0) x = std::nextafter(x, k % 2 ? inf : -inf);
      points.emplace_back(x, y);
    }
    return points;
  };
  const struct {
    std::string name;
    std::vector<tVector2> points;
  } cases[] = {
      {"cloud", cloud(0.0, 1.2e-3, 2500)},
      {"far cloud", cloud(-3.7e5, 1e-3, 1500)},
      {"borders at 0", borders(0.0)},
      {"borders at -1", borders(-1.0)},
      {"borders at 2^20", borders(1048576.0)},
      {"large",
       {{1e17, 0.0},
        {1e17, 1e-5},
        {std::nextafter(1e17, inf), 0.0},
        {-1e300, 1e300},
        {-1e300, 1e300},
        {1e308, -1e308},
        {std::numeric_limits<double>::max(), 0.0},
        {std::numeric_limits<double>::max(), 0.0},
        {0.0, -0.0},
        {-0.0, 5e-5},
        {4e-324, 0.0}}},
      {"not finite",
       {{nan, 0.0},
        {nan, 0.0},
        {0.0, 0.0},
        {inf, 0.0},
        {inf, 0.0},
        {-inf, inf},
        {0.0, nan},
        {5e-5, 0.0},
        {nan, nan}}},
  };
  for (const auto& c : cases) {
    tFreshManager fresh(true);
    tScanRegistry scan;
    for (std::size_t k = 0; k < c.points.size(); ++k) {
      ASSERT_EQ(scan.registerRoot(c.points[k]), fresh.manager.registerRoot(c.points[k]))
          << c.name << " " << k;
    }
    ASSERT_EQ(scan.colors().size(), fresh.manager.getRoots().size()) << c.name;
    for (std::size_t i = 0; i < scan.colors().size(); ++i) {
      ASSERT_EQ(scan.colors()[i], fresh.manager.getRoots()[i].second) << c.name << " " << i;
    }
  }
}

// The nearest colour by the grid, laid out again as colours come, is the
// nearest by a scan; searches that may stop early stop only on a colour at
// most as far as allowed, however near the allowed distance is to the
// nearest. Colours cover the whole cube, its corners and many equal
// distances (lattice points).
TEST(tRootManagerTest, ColorGridFindsTheNearestColor) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> channel(0, 255);
  std::uniform_int_distribution<int> lattice(0, 8);
  std::uniform_int_distribution<int> enoughs(-1, 20000);
  auto draw = [&](bool onLattice) {
    auto one = [&] {
      return static_cast<unsigned char>(onLattice ? std::min(255, lattice(random) * 32)
                                                  : channel(random));
    };
    const unsigned char red = one();
    const unsigned char green = one();
    return tPixel(red, green, one(), 255);
  };
  tColorGrid grid;
  std::vector<tPixel> colors;
  for (int count = 1; count <= 5000; ++count) {
    colors.push_back(draw(count % 4 == 0));
    grid.add(colors.back());
    if (count % 97 != 1 && count != 5000) continue;
    for (int query = 0; query < 60; ++query) {
      const tPixel candidate = draw(query % 2 == 0);
      int nearest = INT_MAX;
      for (const tPixel& color : colors) {
        nearest = std::min(nearest, tColorGrid::squaredDistance(candidate, color));
      }
      // Searches that must measure all the way, any way, or stop just
      // short of the nearest colour, at it or just past it.
      const int enoughOf[] = {-1, enoughs(random), nearest - 1, nearest, nearest + 1};
      const int enough = enoughOf[query % 5];
      const int found = grid.nearestSquared(candidate, enough);
      // A hint is a colour added, so no nearer than the nearest.
      auto someColorAt = [&](int squared) {
        return std::any_of(colors.begin(), colors.end(), [&](const tPixel& color) {
          return tColorGrid::squaredDistance(candidate, color) == squared;
        });
      };
      int hinted;
      grid.hintedSquared(&candidate, 1, &hinted);
      ASSERT_TRUE(hinted == INT_MAX || someColorAt(hinted)) << count << " " << query;
      ASSERT_LE(nearest, hinted);
      if (nearest > enough) {
        ASSERT_EQ(nearest, found) << count << " " << query;
      } else {
        ASSERT_TRUE(found <= enough && found >= nearest) << count << " " << query;
      }
    }
  }
  grid.clear();
  EXPECT_EQ(INT_MAX, grid.nearestSquared(tPixel(), -1));
}

}  // namespace

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "fractal/tFractal.h"
#include "fractal/tQuadTree.h"
#include "graphics/tImage.h"

namespace {

const double kMinusInfinity = -std::numeric_limits<double>::infinity();

// Counts 1, ratio, ratio^2, ... over the given number of levels.
std::vector<int> geometric(int levels, int ratio) {
  std::vector<int> counts{1};
  while (static_cast<int>(counts.size()) < levels) counts.push_back(counts.back() * ratio);
  return counts;
}

}  // namespace

TEST(tQuadTreeTest, MottledBoxCountsAndDimension) {
  const tPixel a(10, 20, 30, 255);
  const tPixel b(10, 20, 30, 254);  // differs in alpha only
  std::vector<int> straddling(9, 0);
  straddling[0] = 1;
  const struct {
    const char* name;
    unsigned int side;
    std::function<bool(int row, int column)> isB;
    std::vector<int> counts;
    double dimension;
  } cases[] = {
      {"boundary on a box edge", 512, [](int, int c) { return c >= 256; }, straddling,
       kMinusInfinity},
      {"boundary inside boxes", 512, [](int, int c) { return c >= 257; }, geometric(9, 2), 1.0},
      {"row boundary, 256", 256, [](int r, int) { return r >= 129; }, geometric(8, 2), 1.0},
      {"checkerboard", 512, [](int r, int c) { return (r + c) % 2 == 1; }, geometric(9, 4), 2.0},
      {"one odd pixel", 512, [](int r, int c) { return r == 300 && c == 77; }, geometric(9, 1),
       0.0},
      {"one colour", 256, [](int, int) { return false; }, std::vector<int>(8, 0), kMinusInfinity},
  };
  for (const auto& c : cases) {
    std::unique_ptr<tFractal> fractal(tFractal::create(c.side, -1, 1, -1, 1));
    for (unsigned int r = 0; r < c.side; ++r) {
      for (unsigned int col = 0; col < c.side; ++col) {
        fractal->image_->setPixel(r, col, c.isB(r, col) ? b : a);
      }
    }
    tQuadTree tree(fractal.get(), 2);
    std::vector<int> counts(static_cast<std::size_t>(tree.getMaxDepth()), 0);
    tree.countMottledBoxes(0, counts.data());
    EXPECT_EQ(c.counts, counts) << c.name;

    EXPECT_EQ(c.dimension, fractal->calculateDimension()) << c.name;
    EXPECT_EQ(c.dimension, fractal->dimension_) << c.name;
    ASSERT_NE(nullptr, fractal->quadTree_);
    EXPECT_EQ(tree.getMaxDepth(), fractal->quadTree_->getMaxDepth());
  }
}

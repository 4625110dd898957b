#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "fractal/tPalette.h"
#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"
#include "graphics/tPixel.h"
#include "graphics/tVector2.h"

namespace {

// The n-th roots of unity, counterclockwise from 1.
std::vector<tVector2> rootsOfUnity(int n) {
  std::vector<tVector2> roots;
  for (int k = 0; k < n; ++k) {
    const double angle = 2.0 * M_PI * k / n;
    roots.emplace_back(std::cos(angle), std::sin(angle));
  }
  return roots;
}

std::vector<tVector2> operator+(std::vector<tVector2> a, const std::vector<tVector2>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

using tRGB = std::tuple<int, int, int>;

// The colours a fresh registry under the palette gives the roots, met in
// order.
std::vector<tRGB> colorsOf(const std::string& palette, const std::vector<tVector2>& roots) {
  tRandom random;
  tRootManager registry(random);
  registry.usePalette(*tPalette::find(palette));
  std::vector<tRGB> colors;
  for (const tVector2& root : roots) {
    const tPixel color = registry.getColorForRoot(root);
    colors.emplace_back(color[0], color[1], color[2]);
  }
  return colors;
}

// Roots at 0 (within the root tolerance) and off the unit circle, after
// the roots of unity.
const std::vector<tVector2> kOffCircle = {tVector2(-3e-5, 4e-5), tVector2(2.0, 0.0),
                                          tVector2(0.0, 0.5)};

// Each palette's colours for known roots. The categorical one takes the
// order of discovery alone; the argument ones give the roots of unity
// evenly spaced hues (red at 1), a root at 0 (within the root tolerance)
// white or black, and a modulus of 2 or 1/2 a paler or darker hue.
TEST(tPaletteTest, EachPaletteColoursKnownRoots) {
  const struct {
    const char* palette;
    std::vector<tVector2> roots;
    std::vector<tRGB> colors;
  } rows[] = {
      {"okabe-ito",
       rootsOfUnity(9),
       {{230, 159, 0},
        {86, 180, 233},
        {0, 158, 115},
        {0, 114, 178},
        {213, 94, 0},
        {204, 121, 167},
        {240, 228, 66},
        {0, 0, 0},
        {119, 0, 255}}},
      {"argument",
       rootsOfUnity(6) + kOffCircle,
       {{255, 0, 0},
        {255, 255, 0},
        {0, 255, 0},
        {0, 255, 255},
        {0, 0, 255},
        {255, 0, 255},
        {255, 255, 255},
        {255, 0, 0},
        {128, 255, 0}}},
      {"argument", rootsOfUnity(4), {{255, 0, 0}, {128, 255, 0}, {0, 255, 255}, {128, 0, 255}}},
      {"argument",
       rootsOfUnity(5),
       {{255, 0, 0}, {204, 255, 0}, {0, 255, 102}, {0, 102, 255}, {204, 0, 255}}},
      {"argument-modulus",
       rootsOfUnity(3) + kOffCircle,
       {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}, {255, 92, 92}, {82, 163, 0}}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.colors, colorsOf(row.palette, row.roots)) << row.palette;
  }
}

// Under a named palette the registry draws nothing from the random
// sequence, whatever _useRandomColors says; and the categorical colours,
// the extension included, are distinct and none is a failure colour or the
// markers' white.
TEST(tPaletteTest, NamedPalettesDrawNothingAndCategoricalColoursAreDistinct) {
  tRandom random;
  tRootManager registry(random);
  registry.useRandomColors(true);
  registry.usePalette(*tPalette::find("okabe-ito"));
  random.seed(5);
  std::set<tRGB> seen = {{255, 255, 0}, {50, 50, 50}, {255, 255, 255}};
  for (std::size_t i = 0; i < tPalette::EXTENDED_COLORS; ++i) {
    const tPixel color = registry.getColorForRoot(tVector2(static_cast<double>(i), 1.0));
    EXPECT_TRUE(seen.insert({color[0], color[1], color[2]}).second) << i;
  }
  // The sequence starts again after its last colour.
  EXPECT_EQ(registry.getRoots()[0].second, registry.getColorForRoot(tVector2(-1.0, -1.0)));
  tRandom fresh;
  fresh.seed(5);
  EXPECT_EQ(fresh.randInRange(0.0f, 1.0f), random.randInRange(0.0f, 1.0f));
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "File/tFileUtils.h"
#include "graphics/tTGALoader.h"
#include "graphics/tTextPainter.h"

namespace {

// Text drawn with the program's font at caption size: all its ink inside the
// box of the pen's advance and the font's reach about the baseline, ink at
// both ends of that box, strokes dark enough to read, and a longer text
// wider. The last text runs past the image's edge and is clipped.
TEST(tTextPainterTest, DrawsInsideItsBoxAndGrowsWithTheText) {
  tImage font;
  ASSERT_TRUE(tTGALoader().load(tFileUtils::getResourceDirectory() + "Daduz.tga", &font));
  const tTextPainter painter(font);
  ASSERT_TRUE(painter.ok());
  const double size = 14, x = 10.25, baseline = 12.5;
  const double top = baseline + painter.getAscent(size);
  const double bottom = baseline - painter.getDescent(size);
  EXPECT_GT(top - bottom, size);
  EXPECT_LT(top - bottom, 1.3 * size);
  const tPixel white(255, 255, 255, 255);
  double narrower = 0;
  for (const std::string text : {"i", "Newton", "NewtonSolver", "NewtonSolver (z^3 - 1) gjpqy|"}) {
    tImage image(200, 30);
    std::fill(image.getPixelData(), image.getPixelData() + 200 * 30, white);
    painter.draw(image, text, x, baseline, size, tPixel(64, 64, 64, 255));
    const double width = painter.getWidth(text, size);
    EXPECT_GT(width, narrower) << text;
    narrower = width;
    int left = 200, right = -1, low = 30, high = -1, darkest = 255;
    for (int row = 0; row < 30; ++row) {
      for (int column = 0; column < 200; ++column) {
        if (image(row, column) == white) continue;
        left = std::min(left, column);
        right = std::max(right, column);
        low = std::min(low, row);
        high = std::max(high, row);
        darkest = std::min<int>(darkest, image(row, column)[0]);
      }
    }
    EXPECT_GE(left, std::floor(x)) << text;
    EXPECT_LE(left, x + 2) << text;
    EXPECT_LE(right, std::min(199.0, std::ceil(x + width))) << text;
    if (x + width < 200) {
      EXPECT_GE(right, x + width - 4) << text;
    }
    EXPECT_GE(low, std::floor(bottom)) << text;
    EXPECT_LE(high, std::ceil(top)) << text;
    EXPECT_LE(darkest, 100) << text;
  }
}

}  // namespace

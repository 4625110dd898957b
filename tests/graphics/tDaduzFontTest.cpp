#include <gtest/gtest.h>

#include <string>

#include "File/tFileUtils.h"
#include "graphics/tFontDesc.h"
#include "graphics/tFontManager.h"

// The font picture that the build renders into the test programs' resources.

namespace {

TEST(tDaduzFontTest, EveryPrintableGlyphHasInkOnOneBaseline) {
  tFontManager& fonts = tFontManager::instance();
  ASSERT_TRUE(fonts.setCurrentFont("Daduz") ||
              fonts.loadAndSetFont(tFileUtils::getResourcePath("Daduz.tga"), "Daduz"));
  const tFontDesc& font = *fonts.getCurrentFont();
  const float baseline = font.getGlyph('A').baseline;
  EXPECT_GT(font.getMaxCharHeight(), 0.8f);  // the tallest glyph fills most of the cell
  for (int c = 0; c < 128; ++c) {
    const tFontDesc::tGlyph& g = font.getGlyph(static_cast<unsigned char>(c));
    EXPECT_EQ(baseline, g.baseline) << c;
    if (c <= ' ' || c == 127) continue;
    EXPECT_GT(g.width, 0.0f) << c;
    EXPECT_GT(g.height, 0.0f) << c;
    // A margin inside every cell edge keeps filtering from reaching a neighbour.
    EXPECT_GE(g.left, 2 / 64.0f) << c;
    EXPECT_LE(g.left + g.width, 61 / 64.0f) << c;
    EXPECT_LE(g.top, 61 / 64.0f) << c;
    EXPECT_GE(g.top - g.height, 2 / 64.0f) << c;
  }
  for (char c : std::string("gjpqy,;_"))
    EXPECT_LT(font.getGlyph(c).top - font.getGlyph(c).height, baseline) << c;
  for (char c : std::string("AHx."))
    EXPECT_EQ(baseline, font.getGlyph(c).top - font.getGlyph(c).height) << c;
  // The space: measured, wider than a narrow glyph, and never drawn.
  EXPECT_GT(font.getGlyph(' ').width, font.getGlyph('i').width);
  EXPECT_EQ(0.0f, font.getGlyph(' ').height);
}

}  // namespace

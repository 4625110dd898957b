#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "File/tFileUtils.h"
#include "graphics/tFontDesc.h"
#include "graphics/tTGALoader.h"
#include "graphics/tTextRenderer.h"
#include "graphics/tTextTestSupport.h"

// The font picture that the build renders into the test programs' resources.
// Setting ROOTWEAVER_TEXT_PREVIEW to a .tga path writes the composed sample
// text there, for a person to look at.

namespace {

const std::string kSample = "Rootweaver 2k6 | Mode Select! Vadoduraraz, BLAM it up (jygpq_)";

bool useDaduz() { return useFont(tFileUtils::getResourcePath("Daduz.tga"), "Daduz"); }

TEST(tDaduzFontTest, EveryPrintableGlyphHasInkOnOneBaseline) {
  ASSERT_TRUE(useDaduz());
  const tFontDesc& font = *tFontManager::instance().getCurrentFont();
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
  for (char c : std::string("gjpqy,;_")) {
    const tFontDesc::tGlyph& g = font.getGlyph(c);
    EXPECT_LT(g.top - g.height, baseline) << c;
  }
  for (char c : std::string("AHx."))
    EXPECT_EQ(baseline, font.getGlyph(c).top - font.getGlyph(c).height) << c;
  // The space: measured, wider than a narrow glyph, and never drawn.
  EXPECT_GT(font.getGlyph(' ').width, font.getGlyph('i').width);
  EXPECT_EQ(0.0f, font.getGlyph(' ').height);
}

TEST(tDaduzFontTest, TextOfSizeSIsSPixelsHigh) {
  ASSERT_TRUE(useDaduz());
  tImage picture;
  ASSERT_TRUE(tTGALoader::instance().load(tFileUtils::getResourcePath("Daduz.tga"), &picture));
  for (unsigned int y = 0; y < picture.getHeight(); ++y) {
    for (unsigned int x = 0; x < picture.getWidth(); x += 64) picture.setPixelub(y, x, 0, 3);
  }
  const tFontDesc& font = *tFontManager::instance().getCurrentFont();
  unsigned char tallest = 0;
  for (int c = 1; c < 128; ++c) {
    if (font.getGlyph(c).height > font.getGlyph(tallest).height)
      tallest = static_cast<unsigned char>(c);
  }

  // Each line starts with the tallest glyph, whose ink must cover s rows
  // (give or take the half-covered rows at its ends).
  tTextRenderer& text = tTextRenderer::instance();
  const std::string line = std::string(1, static_cast<char>(tallest)) + " " + kSample;
  tRecordingSink all;
  float baseline = 10;
  for (float s : {16.0f, 20.0f, 30.0f, 40.0f}) {
    baseline += 1.6f * s;
    tRecordingSink one;
    text.layoutString(line, 4, baseline, s, tTextRenderer::TTEXT_LEFT, tClipRect{0, 1100, 0, 300},
                      one);
    all.quads_.insert(all.quads_.end(), one.quads_.begin(), one.quads_.end());
    const tImage composed = composeText(one.quads_, picture, 1100, 300);
    int inkRows = 0;
    for (unsigned int y = 0; y < 300; ++y) {
      bool ink = false;
      for (int x = 4; x < 4 + static_cast<int>(0.3f * s); ++x)
        ink = ink || composed.getPixelub(y, x, 0) > 127;
      inkRows += ink ? 1 : 0;
    }
    EXPECT_NEAR(s, inkRows, 1.5f) << "size " << s;
  }
  if (const char* preview = std::getenv("ROOTWEAVER_TEXT_PREVIEW")) {
    tImage composed = composeText(all.quads_, picture, 1100, 300);
    tTGALoader::instance().write(preview, &composed, 24, false);
  }
}

}  // namespace

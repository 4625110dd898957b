#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "graphics/tFontDesc.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tTGALoader.h"
#include "graphics/tTextRenderer.h"
#include "graphics/tTextTestSupport.h"
#include "graphics/tTexture.h"

namespace {

// Paints a glyph's ink box and its baseline marker into the cell of code c of
// a 1024 x 512 picture; rows count upwards from the cell's bottom edge.
void paintGlyph(tImage& picture, int c, int firstColumn, int lastColumn, int lowRow, int highRow,
                int markerRow) {
  const int x0 = (c % 16) * 64;
  const int y0 = (7 - c / 16) * 64;
  for (int y = lowRow; y <= highRow; ++y) {
    for (int x = firstColumn; x <= lastColumn; ++x)
      picture.setPixelub(y0 + y, x0 + x, 255, 255, 255, 200);
  }
  picture.setPixelub(y0 + markerRow, x0, 255, 255, 255, 255);
}

// 'a' is 31/64 wide and 24/64 high, 'b' 39/64 wide and 48/64 high (the
// tallest: 3/4 of the cell), both on the baseline 16/64; every other cell is
// empty, so the space measures 0.
tImage syntheticPicture() {
  tImage picture(1024, 512);
  for (unsigned int r = 0; r < 512; ++r) {
    for (unsigned int c = 0; c < 1024; ++c) picture.setPixelub(r, c, 255, 255, 255, 0);
  }
  paintGlyph(picture, 'a', 2, 33, 16, 40, 16);
  paintGlyph(picture, 'b', 1, 40, 10, 58, 16);
  return picture;
}

// Makes the synthetic font current, writing and loading it the first time.
void useSyntheticFont() {
  if (tFontManager::instance().setCurrentFont("Synthetic")) return;
  tScratchDirectory dir;
  tImage picture = syntheticPicture();
  ASSERT_TRUE(tTGALoader::instance().write(dir / "synthetic.tga", &picture, 32, false));
  ASSERT_TRUE(useFont(dir / "synthetic.tga", "Synthetic"));
}

const float kA = 31.0f / 64.0f;  // width of 'a'
const float kB = 39.0f / 64.0f;  // width of 'b'
const float kScale40 = 40.0f / 0.75f;

TEST(tFontDescTest, MeasuresGlyphsFromThePictureAndErasesTheMarkers) {
  tRecordingUploader uploads;
  tTexture::setUploader(&uploads);
  tFontDesc font(syntheticPicture());
  tTexture::setUploader(nullptr);
  ASSERT_TRUE(font.ok());

  // In 64ths of a cell: left, width, top, height, baseline; the texture
  // rectangle of the cell of 'b' (row 6, column 2: texture rows 64 ... 127,
  // columns 128 ... 191).
  auto describe = [](const tFontDesc::tGlyph& g, const tTexCoords& tc) {
    char text[128];
    std::snprintf(text, sizeof text, "%g %g %g %g %g | %g %g %g %g", g.left * 64, g.width * 64,
                  g.top * 64, g.height * 64, g.baseline * 64, tc.s0, tc.s1, tc.t0, tc.t1);
    return std::string(text);
  };
  EXPECT_EQ("1 39 58 48 16 | 0.125 0.1875 0.125 0.25",
            describe(font.getGlyph('b'), font.getTexCoordsForChar('b')));
  EXPECT_EQ("0 0 0 0 0 | 0 0 0 0", describe(font.getGlyph(' '), tTexCoords{}));
  EXPECT_EQ(0.0f, font.getGlyph(128 + 'a').width);  // past the font's 128 codes
  EXPECT_FLOAT_EQ(0.75f, font.getMaxCharHeight());
  EXPECT_EQ("upload 1024x512 mipmaps -> 8", uploads.log_.back());
  EXPECT_EQ(0, uploads.last_.getPixelub(64 + 16, 128, 3));  // marker gone
  EXPECT_EQ(200, uploads.last_.getPixelub(64 + 16, 129, 3));
}

TEST(tFontManagerTest, MissingPictureOrTakenNameChangesNothing) {
  useSyntheticFont();
  tFontManager& fonts = tFontManager::instance();
  tFontDesc* current = fonts.getCurrentFont();
  EXPECT_FALSE(fonts.loadAndSetFont("/nonexistent/none.tga", "Missing"));
  EXPECT_FALSE(fonts.setCurrentFont("Missing"));
  EXPECT_FALSE(fonts.loadAndSetFont("/nonexistent/none.tga", "Synthetic"));
  EXPECT_EQ(current, fonts.getCurrentFont());
}

TEST(tTextRendererTest, WidthsHeightsAndScale) {
  useSyntheticFont();
  tTextRenderer& text = tTextRenderer::instance();
  const std::string orange = tTextRenderer::getColorChangeStringf(1.0f, 0.5f, 0.0f, 1.0f);
  EXPECT_EQ("\001A \001A", orange);
  EXPECT_EQ(std::string(5, '\x01'), tTextRenderer::getColorChangeStringf(0, 0, 0, 0));

  EXPECT_NEAR(53.3333f, text.getScale(40), 1e-3);
  EXPECT_NEAR((kA + kB + 2 * 0.08f) * kScale40, text.getStringWidth("ab", 40), 1e-3);
  EXPECT_NEAR(text.getStringWidth("ab", 40), text.getStringWidth("a" + orange + "b", 40), 1e-4);
  EXPECT_NEAR(0.08f * kScale40, text.getStringWidth(" ", 40), 1e-4);
  EXPECT_NEAR(text.getStringWidth("ab", 40), text.getStringWidth("a\nab\r", 40), 1e-4);
  // A UTF-8 sequence is one character.
  EXPECT_NEAR(text.getStringWidth("?", 40), text.getStringWidth("\xC3\xA9", 40), 1e-4);

  EXPECT_FLOAT_EQ(88.0f, text.getStringHeight("Vadoduraraz\nMode", 40));
  EXPECT_FLOAT_EQ(136.0f, text.getStringHeight("a\r\nb", 40));
  // A colour byte of 10 is not a line feed.
  const std::string dim = tTextRenderer::getColorChangeStringf(0.15f, 0.15f, 0.15f, 1.0f);
  ASSERT_EQ('\n', dim[1]);
  EXPECT_FLOAT_EQ(40.0f, text.getStringHeight("a" + dim + "b", 40));
}

TEST(tTextRendererTest, WordWrapping) {
  useSyntheticFont();
  tTextRenderer& text = tTextRenderer::instance();
  // At size 40, "aaaa " is 124.67 wide, "aaaa b" 161.43, "bbbb" 147.07.
  const std::string orange = tTextRenderer::getColorChangeStringf(1.0f, 0.5f, 0.0f, 1.0f);
  const struct { std::string in; float width; std::string out; } rows[] = {
      {"aaaa bbbb", 150, "aaaa\nbbbb"},
      {"aaaa bbbb", 300, "aaaa bbbb"},
      {"  aaaa   ", 200, "aaaa"},
      {"aaaaaaaa", 100, "aa-\naa-\naa-\naa"},
      // Too narrow for any character: each stands alone instead of looping.
      {"ab c", 1, "a\nb\nc"},
      {"abc", 1, "a\nb\nc"},
      // The escape holds a byte 32, which is not a place to break.
      {"aaaa" + orange + "bbbb", 150, "aaaa-\n" + orange + "bbbb"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.out, text.formatStringToWidth(row.in, row.width, 40)) << row.in;
}

TEST(tTextRendererTest, LayoutOfLinesColoursAndClipping) {
  useSyntheticFont();
  tTextRenderer& text = tTextRenderer::instance();
  const tClipRect view{0, 800, 0, 600};
  const std::string orange = tTextRenderer::getColorChangeStringf(1.0f, 0.5f, 0.0f, 1.0f);

  // 'a' moves left by 2/64 k and down by 16/64 k; the pen then moves on by
  // (31/64 + 0.08) k = 30.10. The space is not drawn but advances 0.08 k.
  tRecordingSink left;
  text.layoutString("a" + orange + " b", 10, 100, 40, tTextRenderer::TTEXT_LEFT, view, left);
  EXPECT_EQ(
      "quad x 8.33..61.67 y 60.00..113.33 s 0.0625..0.1250 t 0.1250..0.2500\n"
      "color 255 124 0 255\n"
      "quad x 43.53..96.87 y 60.00..113.33 s 0.1250..0.1875 t 0.1250..0.2500\n",
      left.log_);

  // Lines are centred one by one, each 1.2 x 40 below the one before.
  tRecordingSink centred;
  text.layoutString("ab\na", 200, 100, 40, tTextRenderer::TTEXT_CENTERED, view, centred);
  EXPECT_EQ(
      "quad x 164.90..218.23 y 60.00..113.33 s 0.0625..0.1250 t 0.1250..0.2500\n"
      "quad x 195.83..249.17 y 60.00..113.33 s 0.1250..0.1875 t 0.1250..0.2500\n"
      "quad x 183.28..236.62 y 108.00..161.33 s 0.0625..0.1250 t 0.1250..0.2500\n",
      centred.log_);

  // Ending at x = 100, clipped at x <= 90 and y >= 70: 'b' loses its right
  // side and its top, with its texture rectangle cut in proportion.
  tRecordingSink right;
  text.layoutString("b", 100, 100, 40, tTextRenderer::TTEXT_RIGHT, tClipRect{0, 90, 70, 600},
                    right);
  EXPECT_EQ("quad x 62.40..90.00 y 70.00..113.33 s 0.1250..0.1573 t 0.1250..0.2266\n", right.log_);
  // Wholly outside the rectangle: nothing drawn, the pen still moves on.
  EXPECT_NEAR(kB * kScale40,
              text.layoutChar('b', 100, 100, kScale40, tClipRect{0, 50, 0, 600}, right), 1e-4);
  EXPECT_EQ(1u, right.quads_.size());
}

}  // namespace

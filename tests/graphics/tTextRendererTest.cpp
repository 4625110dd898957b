#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "File/tFileUtils.h"
#include "graphics/tFontDesc.h"
#include "graphics/tFontManager.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tTGALoader.h"
#include "graphics/tTextRenderer.h"
#include "graphics/tTexture.h"

namespace {

// Records laid-out text as lines: each quad with its texture rectangle, and
// each colour change.
class tRecordingSink : public tTextRenderer::tGlyphSink {
 public:
  void drawGlyph(const tTexturedQuad& q) override {
    char line[160];
    std::snprintf(line, sizeof line, "quad x %.2f..%.2f y %.2f..%.2f s %.4f..%.4f t %.4f..%.4f\n",
                  q.left, q.right, q.top, q.bottom, q.tex.s0, q.tex.s1, q.tex.t0, q.tex.t1);
    log_ += line;
  }
  void setColor(unsigned char r, unsigned char g, unsigned char b, unsigned char a) override {
    log_ += "color " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b) + " " +
            std::to_string(a) + "\n";
  }
  std::string log_;
};

// A 1024 x 512 font picture of 64 x 64 cells, white with alpha as ink: 'a' is
// 31/64 wide and 24/64 high, 'b' 39/64 wide and 48/64 high (the tallest: 3/4
// of the cell), both on the baseline 16/64, marked by an opaque pixel at the
// cell's left edge; every other cell is empty. Rows count up from the cell's
// bottom edge.
tImage syntheticPicture() {
  tImage picture(1024, 512);
  for (unsigned int r = 0; r < 512; ++r)
    for (unsigned int c = 0; c < 1024; ++c) picture(r, c) = tPixel(255, 255, 255, 0);
  const struct { int code, left, right, low, high; } glyphs[] = {{'a', 2, 33, 16, 40},
                                                                {'b', 1, 40, 10, 58}};
  for (const auto& g : glyphs) {
    const int x0 = (g.code % 16) * 64, y0 = (7 - g.code / 16) * 64;
    for (int y = g.low; y <= g.high; ++y)
      for (int x = g.left; x <= g.right; ++x) picture(y0 + y, x0 + x)[3] = 200;
    picture(y0 + 16, x0)[3] = 255;
  }
  return picture;
}

// Makes the synthetic font current, writing and loading it the first time.
void useSyntheticFont() {
  if (tFontManager::instance().setCurrentFont("Synthetic")) return;
  tScratchDirectory dir;
  tImage picture = syntheticPicture();
  ASSERT_TRUE(tTGALoader().write(dir / "synthetic.tga", &picture, 32, false));
  ASSERT_TRUE(tFontManager::instance().loadAndSetFont(dir / "synthetic.tga", "Synthetic"));
}

const float kA = 31.0f / 64.0f;  // width of 'a'
const float kB = 39.0f / 64.0f;  // width of 'b'
const float kScale40 = 40.0f / 0.75f;

TEST(tFontDescTest, MeasuresGlyphsFromThePictureAndErasesTheMarkers) {
  tScratchDirectory dir;
  tImage picture = syntheticPicture();
  ASSERT_TRUE(tTGALoader().write(dir / "synthetic.tga", &picture, 32, false));
  tRecordingUploader uploads;
  tTexture::setUploader(&uploads);
  tFontDesc font(dir / "synthetic.tga");
  tTexture::setUploader(nullptr);
  ASSERT_TRUE(font.ok());

  // The layout tests below check the measures; here what lies outside them.
  EXPECT_EQ(0.0f, font.getGlyph(' ').width);
  EXPECT_EQ(0.0f, font.getGlyph(128 + 'a').width);  // past the font's 128 codes
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

TEST(tTextRendererTest, Widths) {
  useSyntheticFont();
  tTextRenderer& text = tTextRenderer::instance();
  EXPECT_EQ(std::string(5, '\x01'), tTextRenderer::getColorChangeStringf(0, 0, 0, 0));
  // The widest line counts; colour changes and line ends take no room, and a
  // colour byte of 10 is no line feed.
  const std::string dim = tTextRenderer::getColorChangeStringf(0.15f, 0.15f, 0.15f, 1.0f);
  ASSERT_EQ('\n', dim[1]);
  EXPECT_NEAR((kA + kB + 2 * 0.08f) * kScale40, text.getStringWidth("a\na" + dim + "b\r", 40),
              1e-3);
  // A UTF-8 sequence is one character.
  EXPECT_NEAR(text.getStringWidth("?", 40), text.getStringWidth("\xC3\xA9", 40), 1e-4);
}

TEST(tTextRendererTest, WordWrapping) {
  useSyntheticFont();
  tTextRenderer& text = tTextRenderer::instance();
  // At size 40, "aaaa " is 124.67 wide, "aaaa b" 161.43, "bbbb" 147.07.
  const std::string orange = tTextRenderer::getColorChangeStringf(1.0f, 0.5f, 0.0f, 1.0f);
  const struct { std::string in; float width; std::string out; } rows[] = {
      {"aaaa bbbb", 150, "aaaa\nbbbb"}, {"aaaa bbbb", 300, "aaaa bbbb"}, {"  aaaa   ", 200, "aaaa"},
      {"aaaaaaaa", 100, "aa-\naa-\naa-\naa"},
      // Too narrow for any character: each stands alone instead of looping.
      {"ab c", 1, "a\nb\nc"},
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
  text.layoutString("b", 100 - text.getStringWidth("b", 40), 100, 40, tTextRenderer::TTEXT_LEFT,
                    tClipRect{0, 90, 70, 600}, right);
  // Then cut on the left and at the bottom (which shows t0), and on both sides.
  text.layoutString("b", 10, 100, 40, tTextRenderer::TTEXT_LEFT, tClipRect{20, 800, 0, 100}, right);
  text.layoutString("b", 10, 100, 40, tTextRenderer::TTEXT_LEFT, tClipRect{20, 40, 0, 600}, right);
  EXPECT_EQ(
      "quad x 62.40..90.00 y 70.00..113.33 s 0.1250..0.1573 t 0.1250..0.2266\n"
      "quad x 20.00..62.50 y 60.00..100.00 s 0.1377..0.1875 t 0.1562..0.2500\n"
      "quad x 20.00..40.00 y 60.00..113.33 s 0.1377..0.1611 t 0.1250..0.2500\n",
      right.log_);
  // Wholly outside the rectangle: nothing drawn, the pen still moves on.
  tRecordingSink outside;
  EXPECT_NEAR(kB * kScale40,
              text.layoutChar('b', 100, 100, kScale40, tClipRect{0, 50, 0, 600}, outside), 1e-4);
  EXPECT_EQ("", outside.log_);
}

// The font picture that the build renders into the test programs' resources.
TEST(tDaduzFontTest, EveryPrintableGlyphHasInkOnOneBaseline) {
  tFontManager& fonts = tFontManager::instance();
  ASSERT_TRUE(fonts.setCurrentFont("Daduz") ||
              fonts.loadAndSetFont(tFileUtils::getResourceDirectory() + "Daduz.tga", "Daduz"));
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

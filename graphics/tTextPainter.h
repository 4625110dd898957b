#ifndef ROOTWEAVER_GRAPHICS_TTEXTPAINTER_H
#define ROOTWEAVER_GRAPHICS_TTEXTPAINTER_H

#include <string>

#include "graphics/tFontMetrics.h"
#include "graphics/tImage.h"
#include "graphics/tPixel.h"

// Draws text into an image with a font picture, for the pictures the program
// writes without a window. It follows the window's text rules
// (tTextRenderer): a text size s is the drawn height of the font's tallest
// glyph, every cell is drawn as a square of k = s / (tallest glyph height)
// pixels, and the pen moves on by the glyph's ink width plus 0.08 k after
// every character. Bytes of 128 and above are drawn as "?", one for each
// UTF-8 sequence.
//
// A cell of the font picture is far larger than the text drawn from it, so
// each pixel takes the mean alpha of the part of the cell it covers (area
// averaging): every stroke darkens the pixels it crosses in proportion, and
// thin strokes stay visible where sampling would miss them.
//
// Positions are in the image's pixels, rows counted upwards as the image
// keeps them (row 0 at the bottom): pixel (row, column) covers [column,
// column + 1) x [row, row + 1).
class tTextPainter {
 public:
  // Measures the font picture (tFontMetrics) and keeps it without its
  // baseline markers.
  explicit tTextPainter(tImage picture);

  // Whether the picture holds glyphs to draw.
  bool ok() const { return metrics_.getMaxCharHeight() > 0.0f; }
  // The pen's advance over the text at size s, the spacing after each
  // character included.
  double getWidth(const std::string& text, double size) const;
  // How far the font's ink reaches above and below the baseline at size s.
  double getAscent(double size) const;
  double getDescent(double size) const;
  // Draws the text at size s in the colour, the pen starting at x on the
  // baseline y, clipped to the image.
  void draw(tImage& image, const std::string& text, double x, double y, double size,
            const tPixel& color) const;

 private:
  // The font's characters for the text's bytes.
  static std::string characters(const std::string& text);
  double getScale(double size) const;
  // Blends the character's cell, drawn as a square of side k with its
  // bottom-left corner at (left, bottom), into the image.
  void drawCell(tImage& image, unsigned char c, double left, double bottom, double k,
                const tPixel& color) const;
  // The mean alpha, from 0 to 1, of the cell's part [u0, u1) x [v0, v1) in
  // the cell's pixels.
  double coverage(unsigned char c, double u0, double u1, double v0, double v1) const;

  tImage picture_;        // the font picture, markers erased
  tFontMetrics metrics_;  // of its glyphs
};

#endif

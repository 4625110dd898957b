#include "graphics/tFontMetrics.h"

// Every cell is scanned from its four sides towards its middle: the first
// column from the left and from the right, and the first row from the bottom
// and from the top, that hold ink give the glyph's box; the cell's first
// column is left out of those scans because it holds the baseline marker,
// which is found by scanning that column upwards. A side that finds no ink
// leaves its value 0, so an empty cell measures 0 wide and 0 high.

namespace {

const tFontMetrics::tGlyph kNoGlyph = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};

bool isInk(const tImage& image, int row, int column) {
  return image.getPixelub(row, column, 3) != 0;
}

bool columnHasInk(const tImage& image, int x, int y0, int ch) {
  for (int y = y0; y < y0 + ch; ++y) {
    if (isInk(image, y, x)) return true;
  }
  return false;
}

bool rowHasInk(const tImage& image, int y, int x0, int cw) {
  for (int x = x0 + 1; x < x0 + cw; ++x) {
    if (isInk(image, y, x)) return true;
  }
  return false;
}

tFontMetrics::tGlyph measureCell(tImage& image, int x0, int y0, int cw, int ch) {
  tFontMetrics::tGlyph g = kNoGlyph;
  const float fw = static_cast<float>(cw);
  const float fh = static_cast<float>(ch);
  for (int x = x0 + 1; x < x0 + cw; ++x) {
    if (columnHasInk(image, x, y0, ch)) {
      g.left = (x - x0) / fw;
      break;
    }
  }
  float right = 0.0f;
  for (int x = x0 + cw - 1; x > x0; --x) {
    if (columnHasInk(image, x, y0, ch)) {
      right = (x - x0) / fw;
      break;
    }
  }
  g.width = right - g.left;
  float bottom = 0.0f;
  for (int y = y0; y < y0 + ch; ++y) {
    if (rowHasInk(image, y, x0, cw)) {
      bottom = (y - y0) / fh;
      break;
    }
  }
  for (int y = y0 + ch - 1; y >= y0; --y) {
    if (rowHasInk(image, y, x0, cw)) {
      g.top = (y - y0) / fh;
      break;
    }
  }
  g.height = g.top - bottom;
  for (int y = y0; y < y0 + ch; ++y) {
    if (isInk(image, y, x0)) {
      g.baseline = (y - y0) / fh;
      image.setPixel(y, x0, tPixel(0, 0, 0, 0));
      break;
    }
  }
  return g;
}

}  // namespace

tFontMetrics::tFontMetrics() {
  for (tGlyph& g : glyphs_) g = kNoGlyph;
}

tFontMetrics::tFontMetrics(tImage& picture) : tFontMetrics() {
  const int cw = static_cast<int>(picture.getWidth()) / kColumns;
  const int ch = static_cast<int>(picture.getHeight()) / kRows;
  if (cw == 0 || ch == 0) return;
  cellWidth_ = cw;
  cellHeight_ = ch;
  for (int code = 0; code < kCharCount; ++code) {
    const unsigned char c = static_cast<unsigned char>(code);
    glyphs_[code] = measureCell(picture, cellColumn(c), cellRow(c), cw, ch);
    if (glyphs_[code].height > maxHeight_) maxHeight_ = glyphs_[code].height;
  }
}

const tFontMetrics::tGlyph& tFontMetrics::getGlyph(unsigned char c) const {
  return c < kCharCount ? glyphs_[c] : kNoGlyph;
}

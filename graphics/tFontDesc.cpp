#include "graphics/tFontDesc.h"

#include <GL/gl.h>

#include "graphics/tTextureLoader.h"

// Measuring a font picture.
//
// Every cell is scanned from its four sides towards its middle: the first
// column from the left and from the right, and the first row from the bottom
// and from the top, that hold ink give the glyph's box; the cell's first
// column is left out of those scans because it holds the baseline marker,
// which is found by scanning that column upwards. A side that finds no ink
// leaves its value 0, so an empty cell measures 0 wide and 0 high.
//
// The picture is measured after the texture has brought it to power-of-two
// sides, so the cells are measured as they will be drawn; the texture is then
// built again from the picture without its markers, and the picture is freed.

namespace {

const int kColumns = 16;  // cells per row of the picture
const int kRows = 8;      // rows of cells

const tFontDesc::tGlyph kNoGlyph = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};

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

tFontDesc::tGlyph measureCell(tImage& image, int x0, int y0, int cw, int ch) {
  tFontDesc::tGlyph g = kNoGlyph;
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

tFontDesc::tFontDesc(const std::string& path)
    : texture_(tTextureLoader().loadTexture(path, true, true)), maxHeight_(0.0f) {
  finishLoading();
}

tFontDesc::tFontDesc(const tImage& picture) : texture_(new tTexture()), maxHeight_(0.0f) {
  texture_->bindWithImage(&picture, true, true);
  finishLoading();
}

tFontDesc::~tFontDesc() = default;

const tFontDesc::tGlyph& tFontDesc::getGlyph(unsigned char c) const {
  return c < kCharCount ? glyphs_[c] : kNoGlyph;
}

float tFontDesc::getCharWidth(unsigned char c, float k) const { return getGlyph(c).width * k; }

tTexCoords tFontDesc::getTexCoordsForChar(unsigned char c) const {
  tTexCoords tc;
  tc.s0 = static_cast<float>(c % kColumns) / kColumns;
  tc.s1 = tc.s0 + 0.0625f;
  tc.t0 = static_cast<float>(kRows - 1 - c / kColumns) / kRows;
  tc.t1 = tc.t0 + 0.125f;
  return tc;
}

void tFontDesc::adjustCharacterPosition(unsigned char c, float k, float& x, float& y) const {
  x -= getGlyph(c).left * k;
  y += getGlyph(c).baseline * k;
}

void tFontDesc::setupFont() const {
  glBindTexture(GL_TEXTURE_2D, texture_ != nullptr ? texture_->getTexID() : 0);
}

void tFontDesc::releaseFont() const { glBindTexture(GL_TEXTURE_2D, 0); }

void tFontDesc::finishLoading() {
  for (tGlyph& g : glyphs_) g = kNoGlyph;
  if (texture_ == nullptr) return;
  setupKerning();
  texture_->rebind(true);
  texture_->deleteImage();
}

void tFontDesc::setupKerning() {
  tImage* image = texture_->getImage();
  if (image == nullptr) return;
  const int cw = static_cast<int>(image->getWidth()) / kColumns;
  const int ch = static_cast<int>(image->getHeight()) / kRows;
  if (cw == 0 || ch == 0) return;
  for (int code = 0; code < kCharCount; ++code) {
    const int x0 = (code % kColumns) * cw;
    const int y0 = (kRows - 1 - code / kColumns) * ch;
    glyphs_[code] = measureCell(*image, x0, y0, cw, ch);
    if (glyphs_[code].height > maxHeight_) maxHeight_ = glyphs_[code].height;
  }
}

#include "graphics/tFontDesc.h"

#include <GL/gl.h>

#include "graphics/tTextureLoader.h"

// The picture is measured after the texture has brought it to power-of-two
// sides, so the cells are measured as they will be drawn; the texture is then
// built again from the picture without its markers, and the picture is freed.

namespace {

const int kColumns = tFontMetrics::kColumns;
const int kRows = tFontMetrics::kRows;

}  // namespace

tFontDesc::tFontDesc(const std::string& path)
    : texture_(tTextureLoader().loadTexture(path, true, true)) {
  finishLoading();
}

tFontDesc::~tFontDesc() = default;

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

void tFontDesc::finishLoading() {
  if (texture_ == nullptr) return;
  if (tImage* image = texture_->getImage()) metrics_ = tFontMetrics(*image);
  texture_->rebind(true);
  texture_->deleteImage();
}

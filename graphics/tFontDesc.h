#ifndef ROOTWEAVER_GRAPHICS_TFONTDESC_H
#define ROOTWEAVER_GRAPHICS_TFONTDESC_H

#include <memory>
#include <string>

#include "graphics/tFontMetrics.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tTexture.h"

// One texture font: a picture of 16 x 8 cells holding the characters 0 to 127
// and the metrics of each glyph, measured from the picture itself by the
// rules of tFontMetrics; the baseline markers are erased once measured, so
// they are never drawn.
class tFontDesc {
 public:
  using tGlyph = tFontMetrics::tGlyph;

  // Loads the picture (TGA or BMP with alpha) as a mipmapped texture; when
  // that fails the font is not ok and has no glyphs.
  explicit tFontDesc(const std::string& path);
  ~tFontDesc();
  tFontDesc(const tFontDesc&) = delete;
  tFontDesc& operator=(const tFontDesc&) = delete;

  bool ok() const { return texture_ != nullptr; }
  const tGlyph& getGlyph(unsigned char c) const { return metrics_.getGlyph(c); }
  float getCharWidth(unsigned char c, float k) const;
  // The greatest glyph height of the font.
  float getMaxCharHeight() const { return metrics_.getMaxCharHeight(); }
  // The texture rectangle of the character's whole cell.
  tTexCoords getTexCoordsForChar(unsigned char c) const;
  // Moves a pen position (view pixels, y downwards) to the bottom-left corner
  // of the character's cell drawn at scale k: the glyph's ink then starts at
  // the pen and its baseline marker lies on the pen's baseline.
  void adjustCharacterPosition(unsigned char c, float k, float& x, float& y) const;

  // Binds the font's texture as the current 2-D texture.
  void setupFont() const;

 private:
  void finishLoading();

  std::unique_ptr<tTexture> texture_;  // the picture as a texture; null when loading failed
  tFontMetrics metrics_;               // of the glyphs; none when loading failed
};

#endif

#ifndef ROOTWEAVER_GRAPHICS_TFONTDESC_H
#define ROOTWEAVER_GRAPHICS_TFONTDESC_H

#include <memory>
#include <string>

#include "graphics/tImage.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tTexture.h"

// One texture font: a picture of 16 x 8 cells holding the characters 0 to 127
// (code k in cell row k / 16 from the top of the displayed picture, column
// k % 16) and the metrics of each glyph, measured from the picture itself.
//
// In a cell, a pixel with non-zero alpha is ink, except in the cell's first
// column, whose lowest such pixel marks the glyph's baseline; the markers are
// erased once measured, so they are never drawn. All metrics are fractions of
// the cell size, rows counted upwards from the cell's bottom edge (image row
// 0 is the bottom of the picture). Codes 128 and above have no glyph.
class tFontDesc {
 public:
  // Metrics of one glyph, in fractions of the cell's width or height.
  struct tGlyph {
    float left;      // first ink column
    float width;     // last ink column minus the first
    float top;       // topmost ink row
    float height;    // topmost ink row minus the lowest
    float baseline;  // the marker's row
  };

  // Loads the picture (TGA or BMP with alpha) as a mipmapped texture; when
  // that fails the font is not ok and has no glyphs.
  explicit tFontDesc(const std::string& path);
  // The same from a picture in memory.
  explicit tFontDesc(const tImage& picture);
  ~tFontDesc();
  tFontDesc(const tFontDesc&) = delete;
  tFontDesc& operator=(const tFontDesc&) = delete;

  bool ok() const { return texture_ != nullptr; }
  const tGlyph& getGlyph(unsigned char c) const;
  float getCharWidth(unsigned char c, float k) const;
  // The greatest glyph height of the font.
  float getMaxCharHeight() const { return maxHeight_; }
  // The texture rectangle of the character's whole cell.
  tTexCoords getTexCoordsForChar(unsigned char c) const;
  // Moves a pen position (view pixels, y downwards) to the bottom-left corner
  // of the character's cell drawn at scale k: the glyph's ink then starts at
  // the pen and its baseline marker lies on the pen's baseline.
  void adjustCharacterPosition(unsigned char c, float k, float& x, float& y) const;

  // Binds the font's texture as the current 2-D texture / binds none.
  void setupFont() const;
  void releaseFont() const;

 private:
  void finishLoading();
  void setupKerning();

  static constexpr int kCharCount = 128;  // characters of a font

  tGlyph glyphs_[kCharCount];          // metrics by character code
  std::unique_ptr<tTexture> texture_;  // the picture as a texture; null when loading failed
  float maxHeight_;                    // greatest height among the glyphs
};

#endif

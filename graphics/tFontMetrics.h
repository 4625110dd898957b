#ifndef ROOTWEAVER_GRAPHICS_TFONTMETRICS_H
#define ROOTWEAVER_GRAPHICS_TFONTMETRICS_H

#include "graphics/tImage.h"

// The glyph metrics of a font picture of 16 x 8 cells holding the characters
// 0 to 127 (code k in cell row k / 16 from the top of the displayed picture,
// column k % 16), measured from the picture itself.
//
// In a cell, a pixel with non-zero alpha is ink, except in the cell's first
// column, whose lowest such pixel marks the glyph's baseline. All metrics are
// fractions of the cell size, rows counted upwards from the cell's bottom
// edge (image row 0 is the bottom of the picture). Codes 128 and above have
// no glyph.
class tFontMetrics {
 public:
  // Metrics of one glyph, in fractions of the cell's width or height.
  struct tGlyph {
    float left;      // first ink column
    float width;     // last ink column minus the first
    float top;       // topmost ink row
    float height;    // topmost ink row minus the lowest
    float baseline;  // the marker's row
  };

  static constexpr int kColumns = 16;                  // cells per row of the picture
  static constexpr int kRows = 8;                      // rows of cells
  static constexpr int kCharCount = kColumns * kRows;  // characters of a font

  // A font without glyphs: every code measures 0.
  tFontMetrics();
  // Measures every cell of the picture and erases the baseline markers, so
  // that they are never drawn.
  explicit tFontMetrics(tImage& picture);

  const tGlyph& getGlyph(unsigned char c) const;
  // The greatest glyph height of the font.
  float getMaxCharHeight() const { return maxHeight_; }
  // The cell's size in pixels of the picture measured; 0 without glyphs.
  int getCellWidth() const { return cellWidth_; }
  int getCellHeight() const { return cellHeight_; }
  // The picture column of the cell's first column, and the picture row of
  // its bottom row.
  int cellColumn(unsigned char c) const { return (c % kColumns) * cellWidth_; }
  int cellRow(unsigned char c) const { return (kRows - 1 - c / kColumns) * cellHeight_; }

 private:
  tGlyph glyphs_[kCharCount];  // metrics by character code
  float maxHeight_ = 0.0f;     // greatest height among the glyphs
  int cellWidth_ = 0;          // pixels of a cell's side in the picture measured
  int cellHeight_ = 0;
};

#endif

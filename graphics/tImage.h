#ifndef ROOTWEAVER_GRAPHICS_TIMAGE_H
#define ROOTWEAVER_GRAPHICS_TIMAGE_H

#include <cstddef>
#include <vector>

#include "graphics/tPixel.h"

// A width x height array of pixels, addressed (row, column). Row 0 is first in
// memory, first in the TGA and BMP files and first uploaded to a texture,
// which makes it the bottom row of the picture.
//
// Accessors do not check their arguments: callers stay inside the image.
// Resampling is bilinear; at the last row or column the missing neighbour is
// the edge pixel itself, so no read ever leaves the image. Copies are deep.
class tImage {
 public:
  tImage();
  tImage(unsigned int width, unsigned int height);

  // Every pixel becomes (0, 0, 0, 255).
  void reinitialize(unsigned int width, unsigned int height);
  void swap(tImage& other);

  unsigned int getWidth() const { return width_; }
  unsigned int getHeight() const { return height_; }
  // Null for an empty image.
  tPixel* getPixelData();
  const tPixel* getPixelData() const;
  unsigned char* getRawData();
  const unsigned char* getRawData() const;

  tPixel& operator()(int row, int column) { return data_[index(row, column)]; }
  const tPixel& operator()(int row, int column) const { return data_[index(row, column)]; }
  tPixel getPixel(int row, int column) const { return data_[index(row, column)]; }
  void setPixel(int row, int column, const tPixel& p) { data_[index(row, column)] = p; }

  unsigned char getPixelub(int row, int column, unsigned int channel) const;

  tPixel getPixelBilinear(float row, float column) const;

  void resize(unsigned int width, unsigned int height);
  // Resizes each side to the nearer power of two (by ratio).
  void makeUseableAsTexture();
  void flipVertical();
  void flipHorizontal();

 private:
  std::size_t index(int row, int column) const {
    return std::size_t{width_} * static_cast<std::size_t>(row) + static_cast<std::size_t>(column);
  }

  std::vector<tPixel> data_;  // pixels row by row: (row, column) is at width_ * row + column
  unsigned int width_;        // pixels per row
  unsigned int height_;       // number of rows
};

#endif

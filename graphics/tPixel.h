#ifndef ROOTWEAVER_GRAPHICS_TPIXEL_H
#define ROOTWEAVER_GRAPHICS_TPIXEL_H

// One RGBA colour: red, green, blue and alpha bytes, in that order in memory,
// so an array of pixels is the byte layout that textures and codecs expect.
//
// Sums and products of pixels are computed in wider integers and brought back
// into byte range by a proportional clamp: when any channel exceeds 255, all
// four are scaled down together so that the largest becomes 255. The sum of
// two opaque pixels (alpha 510) therefore comes out as their average, which is
// what the bilinear resampling of images relies on.
class tPixel {
 public:
  tPixel() : channels_{0, 0, 0, 255} {}
  tPixel(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
      : channels_{r, g, b, a} {}

  unsigned char& operator[](unsigned int i) { return channels_[i]; }
  unsigned char operator[](unsigned int i) const { return channels_[i]; }

  bool operator==(const tPixel& p) const;
  bool operator!=(const tPixel& p) const { return !(*this == p); }

  tPixel operator+(const tPixel& p) const;
  tPixel operator*(float factor) const;

  // Brings four channel values into byte range in place (see the class
  // comment); values already in range are left alone.
  static void clamp(unsigned int* channels);

  // Euclidean distance over all four channels.
  float distance(const tPixel& p) const;

 private:
  // Takes four channel values already in byte range.
  explicit tPixel(const unsigned int* channels);

  unsigned char channels_[4];  // red, green, blue, alpha
};

#endif

#include "fractal/tZoomPreview.h"

#include <cmath>
#include <vector>

#include "fractal/tFractal.h"
#include "graphics/tImage.h"

namespace {

const long kOutside = -1;

// For each of `count` new pixels along an axis, the old pixel whose area
// holds its centre, or kOutside; old and new extents run from lo to hi.
std::vector<long> mapAxis(unsigned int count, double oldLo, double oldHi, double newLo,
                          double newHi) {
  std::vector<long> map(count, kOutside);
  for (unsigned int i = 0; i < count; ++i) {
    const double point = newLo + (i + 0.5) / count * (newHi - newLo);
    const double old = std::floor((point - oldLo) / (oldHi - oldLo) * count);
    if (old >= 0.0 && old < count) map[i] = static_cast<long>(old);
  }
  return map;
}

}  // namespace

void tZoomPreview::moveTo(tFractal* fractal, double minX, double maxX, double minY, double maxY) {
  tImage& image = *fractal->getImage();
  const tImage old = image;
  const std::vector<long> columns =
      mapAxis(image.getWidth(), fractal->getMinX(), fractal->getMaxX(), minX, maxX);
  const std::vector<long> rows =
      mapAxis(image.getHeight(), fractal->getMinY(), fractal->getMaxY(), minY, maxY);
  const tPixel black;
  for (unsigned int r = 0; r < image.getHeight(); ++r) {
    for (unsigned int c = 0; c < image.getWidth(); ++c) {
      const bool known = rows[r] != kOutside && columns[c] != kOutside;
      image.setPixel(r, c, known ? old.getPixel(rows[r], columns[c]) : black);
    }
  }
  fractal->setBounds(minX, maxX, minY, maxY);
  fractal->getBasinLabels().clear();
}

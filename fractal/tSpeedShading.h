#ifndef ROOTWEAVER_FRACTAL_TSPEEDSHADING_H
#define ROOTWEAVER_FRACTAL_TSPEEDSHADING_H

#include <cstdint>

class tBasinLabels;
class tImage;

// Shading of a finished basin picture by convergence speed: each converged
// pixel is darkened by how many iterations its first sample took, which
// shows the structure inside every basin (the bands of equal speed around
// each root, the slow filaments along the boundaries) that flat colours hide.
//
// With k the pixel's count and K the largest count of a converged pixel in
// the picture, the pixel's channels are multiplied by
//     1 - DARKENING * ln(1 + k) / ln(1 + K),
// rounded to the nearest byte. The logarithm spreads the few fast counts
// near the roots as widely as the many slow ones near the boundaries, and
// taking K from the picture itself gives every picture the full range
// whatever the iteration limit. A root at a pixel's corner (k = 0) keeps its
// colour; the slowest pixels keep 1 - DARKENING of it.
//
// Shading reads the labels of the finished picture and changes nothing
// else: pixels whose first sample failed, pixels that a later jittered
// sample painted a failure's colour, and singular-set pictures (which have
// no labels) stay as painted. It is applied after the picture is measured,
// so the dimension and the statistics are those of the flat picture.
class tSpeedShading {
 public:
  // The share of brightness the slowest converged pixels lose, chosen by
  // looking at z^3 - 1, z^5 - 1 and sin z under Newton's method: at 0.4 the
  // bands of equal speed around the roots barely show; at 0.8 the darkest
  // preset colour sinks towards the grey of no convergence along the slow
  // boundaries, where the basins can then no longer be told apart; 0.6
  // shows the bands and keeps every basin's colour.
  static constexpr double DARKENING = 0.6;

  // The brightness factor of a pixel whose first sample took k iterations
  // when the slowest converged pixel took K; 1 when K is 0.
  static double factor(uint32_t k, uint32_t K);
  // Darkens the converged pixels of the image whose labels these are.
  static void shade(tImage* image, const tBasinLabels& labels);
};

#endif

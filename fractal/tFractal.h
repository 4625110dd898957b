#ifndef ROOTWEAVER_FRACTAL_TFRACTAL_H
#define ROOTWEAVER_FRACTAL_TFRACTAL_H

#include <cstdint>
#include <memory>

#include "fractal/tBasinLabels.h"
#include "fractal/tPacketSolver.h"
#include "graphics/tMatrix2.h"
#include "graphics/tPixel.h"
#include "graphics/tVector2.h"

class tFunction;
class tImage;
class tIterativeSolver;
class tPictureContext;
class tQuadTree;

// One picture of the basins of attraction of a function over a rectangle of
// the plane.
//
// A picture made from a dimension is a square image whose side is the power
// of two that a texture would give it (so that a view can show it while it
// is being computed); one made from a width and a height has exactly that
// size. Every later step reads the image's own size. Pixel (row, column) stands for the point whose
// x grows with the column and y with the row, row 0 holding minY_. A pixel is computed on request
// from outside: one solve per sample from the pixel's lower-left corner (jittered samples around it
// when asked), painted with the colour of the root reached, or with the failure colour of the first
// sample that fails. The callers compute rows in the outer loop and columns in the inner one, the
// order in which roots meet the registry and so get their colours.
//
// In singular-set mode a pixel is instead painted black when the trajectories
// from its four corners do not all stay on one side of the set where the
// Jacobian has no inverse, and light grey when they do. A finished picture is
// measured with a quad tree whose finest level of mottled boxes gives the
// box-counting dimension.
class tFractal {
 public:
  // The largest side of a picture; larger ones are refused.
  static constexpr unsigned int MAX_PICTURE_SIDE = 16384;

  // A black picture of dimension x dimension pixels brought to a power-of-two
  // side, owned by the caller; null for a dimension of 0 or one whose side
  // would exceed MAX_PICTURE_SIDE. Its roots meet the context's registry and
  // its jitter draws from the context's random sequence; the context must
  // outlive the picture.
  static tFractal* create(unsigned int dimension, double minX, double maxX, double minY,
                          double maxY, tPictureContext& context);
  // Whether create takes the dimension: not 0, and a side within
  // MAX_PICTURE_SIDE.
  static bool acceptsDimension(unsigned int dimension);
  // A black picture of exactly width x height pixels, x across the width;
  // null unless acceptsSize holds.
  static tFractal* create(unsigned int width, unsigned int height, double minX, double maxX,
                          double minY, double maxY, tPictureContext& context);
  // Whether both sides are from 1 to MAX_PICTURE_SIDE.
  static bool acceptsSize(unsigned int width, unsigned int height);
  ~tFractal();
  tFractal(const tFractal&) = delete;
  tFractal& operator=(const tFractal&) = delete;

  // The colour of a singular-set pixel: black when on the set, else grey.
  static tPixel singularSetColor(bool on);
  // Whether points whose inverse Jacobians are these four stand on the
  // singular set or on both sides of it.
  static bool straddles(const tMatrix2 inverses[4]);
  // Whether the solver's paths from the four corners, compared at equal
  // iteration counts, ever straddle the singular set.
  static bool pathsStraddle(const tIterativeSolver& solver, tFunction* f,
                            const tVector2 corners[4]);

  // One pixel in the current mode.
  void computate(tFunction* f, tIterativeSolver* solver, unsigned int row, unsigned int column);
  void computatePixel(int row, int column, tIterativeSolver* solver, tFunction* f);
  void computateSingularSetPixel(int row, int column, tIterativeSolver* solver, tFunction* f);
  // Paints a basin pixel from its samples: draws the jitter offsets in
  // sample order, stops at the first failed sample and paints its colour,
  // else the average of the roots' colours; the first sample's outcome is
  // the pixel's label. sample(s, dx, dy) gives sample s
  // at offsets (dx, dy) from the pixel's corner, in pixels; which root it
  // reaches, and so the order in which roots meet the registry, is its own.
  // A template, as it runs for every pixel of every picture.
  template <typename tSampler>
  void paintPixel(int row, int column, tSampler&& sample) {
    // No samples would leave nothing to average: a count of 0 takes one.
    const uint32_t samples = jitter_ > 1 ? jitter_ : 1;
    tColorSum sum = {0, 0, 0};
    for (uint32_t s = 0; s < samples; ++s) {
      double dx = 0.0;
      double dy = 0.0;
      if (s > 0 || jitterFirst_) drawOffsets(dx, dy);
      if (!addSample(row, column, sample(s, dx, dy), s == 0, sum)) return;
    }
    paintAverage(row, column, sum, samples);
  }

  // Paints `count` pixels in row-major order from the row-major index
  // `pixel` on, each as paintPixel paints a pixel of one unjittered sample
  // (a jitter of at most 1, the first sample not jittered) whose outcome is
  // outcomes[i]; the registry meets the roots in the same order.
  void paintOutcomes(std::size_t pixel, const tPacketSolver::tOutcome* outcomes, std::size_t count);

  tPictureContext& getContext() const { return context_; }
  double getWidth() const;
  double getHeight() const;
  tPixel getPixel(unsigned int row, unsigned int column) const;

  // Rebuilds the quad tree and returns the dimension estimated from it; minus
  // infinity when no box of the finest level is mottled, and for a picture
  // whose tree is of side 1 or 2, which has no box smaller than itself. The
  // tree covers the largest square of power-of-two side in the middle of the
  // picture: all of a picture made from a dimension.
  double calculateDimension();
  // Whether the pixel corner nearest to (x, y) has corners on both sides of
  // the singular set, or on it.
  bool pointInSingularSet(double x, double y, tFunction* f) const;

  // Drawing, defined with the windowed program (fractal/tFractalDraw.cpp).
  // The quad tree of the last estimate laid over the same box; nothing before
  // the first estimate.
  void drawTree(double centerX, double centerY, double halfWidth, double halfHeight);

  // Samples per pixel (0 is taken as 1), and whether the first sample is
  // jittered too.
  uint32_t getJitter() const { return jitter_; }
  void setJitter(uint32_t jitter) { jitter_ = jitter; }
  bool getJitterFirst() const { return jitterFirst_; }
  void setJitterFirst(bool jitterFirst) { jitterFirst_ = jitterFirst; }
  // Whether pixels paint the singular set instead of the basins.
  bool isSingularSet() const { return singularSet_; }
  void setSingularSet(bool singularSet) { singularSet_ = singularSet; }
  // The last dimension estimated; 0 before any.
  double getDimension() const { return dimension_; }
  // The rectangle: x from getMinX() at the left edge to getMaxX(), y from
  // getMinY() at the bottom edge to getMaxY().
  double getMinX() const { return minX_; }
  double getMaxX() const { return maxX_; }
  double getMinY() const { return minY_; }
  double getMaxY() const { return maxY_; }
  void setBounds(double minX, double maxX, double minY, double maxY);
  // The picture.
  tImage* getImage() const { return image_.get(); }
  // Each basin pixel's first outcome, as painted.
  const tBasinLabels& getBasinLabels() const { return labels_; }
  tBasinLabels& getBasinLabels() { return labels_; }

  // The point of the plane at fractional pixel indices (row, column): x is
  // xAt(column) and y is yAt(row).
  tVector2 pointAt(double row, double column) const;
  double xAt(double column) const;
  double yAt(double row) const;
  // The four corners of the pixel whose indices, in single precision, are
  // (row, column), in the order they are compared.
  void cornersOf(float row, float column, tVector2 corners[4]) const;

 private:
  // Colour channels summed over a pixel's samples, wide enough for any count.
  struct tColorSum {
    std::uint64_t red;
    std::uint64_t green;
    std::uint64_t blue;
  };

  tFractal(unsigned int width, unsigned int height, double minX, double maxX, double minY,
           double maxY, tPictureContext& context);
  // A jitter offset pair drawn from the random sequence, x first.
  void drawOffsets(double& dx, double& dy);
  // Adds a converged sample's root colour to the sum; a failed sample paints
  // its colour instead and gives false (the pixel is done). The first sample
  // is recorded as the pixel's label.
  bool addSample(int row, int column, const tPacketSolver::tOutcome& outcome, bool first,
                 tColorSum& sum);
  void paintAverage(int row, int column, const tColorSum& sum, uint32_t samples);

  uint32_t jitter_;                      // samples per pixel; 0 is taken as 1
  bool jitterFirst_;                     // whether the first sample is jittered too
  bool singularSet_;                     // paint the singular set instead of the basins
  double dimension_;                     // the last dimension estimated; 0 before any
  double minX_;                          // left edge of the rectangle
  double maxX_;                          // right edge of the rectangle
  double minY_;                          // bottom edge of the rectangle
  double maxY_;                          // top edge of the rectangle
  std::unique_ptr<tImage> image_;        // the picture
  std::unique_ptr<tQuadTree> quadTree_;  // tree of the last estimate; null before any
  tBasinLabels labels_;                  // each basin pixel's first outcome, as painted
  tPictureContext& context_;             // the registry and random sequence it draws on
};

#endif

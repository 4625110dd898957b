#ifndef ROOTWEAVER_FRACTAL_TBASINSTATISTICS_H
#define ROOTWEAVER_FRACTAL_TBASINSTATISTICS_H

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class tBasinLabels;

// The measures of a finished basin picture, computed once from its labels
// (tBasinLabels), never from its colours, which can collide. The batch, its
// CSV files and the view all read them from here.
//
// Let the picture be W x H pixels, row 0 at the bottom, each with a label:
// a root, no convergence, or a singular Jacobian.
//
// - Fractions: each label's share of the W H pixels; the roots' shares and
//   the two failures' sum to 1. Only roots that label some pixel are basins.
// - Basin entropy (Daza et al., Scientific Reports 2016): the picture is cut
//   into whole boxes of ENTROPY_BOX x ENTROPY_BOX pixels from pixel (0, 0),
//   the rest of the last rows and columns left out. A box's entropy is
//   S_i = -sum p ln p over the shares p of the labels in it; S_b is the mean
//   over all boxes, S_bb the mean over the boxes holding more than one label.
//   S_bb > ln 2 shows a fractal boundary.
// - Box dimension, on the largest square of power-of-two side N in the
//   middle of the picture (all of a square picture of such a side, as the
//   program's are unless a size is given): a pixel is on the boundary when its right neighbour
//   (column + 1) or its upper one (row + 1) has another label; one side only,
//   so a straight boundary is one pixel wide. N(s) counts the s x s boxes
//   (s = 1, 2, 4, ..., while the picture holds at least MIN_BOXES boxes a
//   side) that hold a boundary pixel. The dimension is the least-squares
//   slope of ln N(s) against ln(1/s), with the slope's standard error
//   (sqrt(sum of squared residuals / (n - 2) / sum (x - mean x)^2)).
// - Uncertainty exponent alpha (McDonald, Grebogi, Ott and Yorke, 1985): the
//   share f(e) of the pixels whose outcome differs from that of some pixel e
//   away along the axes scales as e^alpha, for e = 1, 2, 4, ... up to
//   min(W, H) / MIN_BOXES; alpha is the least-squares slope of ln f against ln e over
//   the e where f > 0, with its standard error as the dimension's. The
//   pixels counted are those at least that far from every edge, the same
//   for every e, so that all their neighbours lie inside the picture and a
//   straight boundary gives exactly 1. 2 - alpha estimates the boundary's dimension by another
//   route than the boxes: perturbing a start by e changes its outcome with
//   probability f(e), and a boundary of dimension D makes that share go as
//   e^(2 - D).
// - Wada test by merging (Daza et al., Scientific Reports 2018): with three
//   basins or more, basin k's boundary is its pixels with a 4-neighbour of
//   another label (the boundary that merging every other label gives; the
//   failures are outside every basin). The Wada distance is the largest
//   Hausdorff distance between two of these boundaries, in pixels
//   (Euclidean, between pixel centres).
// - The fractal-boundary verdict: S_bb > ln 2 is a sufficient condition for
//   a fractal boundary in the plane (Puy et al.), but a grid that samples a
//   straight boundary exactly (a row or column of starts that fail, between
//   two basins) puts three outcomes in a box and passes it. So the verdict
//   also asks the fitted box dimension to exceed 1 by more than twice its
//   standard error: a straight boundary has dimension 1, however it lies on
//   the grid.
//
// A measure that is not defined is NaN: entropies without a whole box (or,
// for S_bb, without a box of two labels), a dimension without a boundary or
// with fewer than two sides to fit (its error with fewer than three), the
// Wada distance with fewer than three basins, and every measure of a picture
// without labels (a singular-set picture).
//
// The cost is a few passes over the labels, plus exact Euclidean distance
// transforms for the Wada distance: one per basin whose bound (a hull
// corner's distance, see boundsOf) could still beat the farthest distance
// found, so that a picture of hundreds of small basins takes a few. Each
// transform is the distance in rows to the basin's boundary in each column,
// then along each row the nearest of those, and runs over the boundary pixels alone, a few
// hundredths of the picture's: the rows are swept upwards holding each column's nearest boundary
// rows of the basin below and above. A pixel of another boundary tries the nearby columns
// first, since in pictures worth the test it lies a few pixels from the boundary; a row holding a
// pixel farther away builds the lower envelope of its columns' parabolas (Felzenszwalb and
// Huttenlocher), linear in the row. The transforms run on every CPU granted, in stripes
// of rows, as the picture itself was computed, and so do the passes of the other measures
// (in stripes of rows, each stripe's integer counts added, the entropies summed in one order
// afterwards, so every number is the one thread's), so the measures take a small share of its time
// (make bench shows it).
class tBasinStatistics {
 public:
  static constexpr std::size_t ENTROPY_BOX = 5;
  static constexpr std::size_t MIN_BOXES = 16;

  // One basin: a root that labels some pixel.
  struct tBasin {
    uint16_t label;             // its label in the picture
    std::size_t registryIndex;  // its place in the root registry
    double fraction;            // its share of the pixels
  };

  // Measures with `threads` threads; 0 means tThreadCount::get().
  explicit tBasinStatistics(const tBasinLabels& labels, unsigned int threads = 0);

  // The picture had labels to measure.
  bool isMeasured() const { return measured_; }
  // The basins in order of the registry.
  const std::vector<tBasin>& getBasins() const { return basins_; }
  // Shares of pixels; NaN without labels.
  double getConvergedFraction() const { return convergedFraction_; }
  double getNoConvergenceFraction() const { return noConvergenceFraction_; }
  double getSingularFraction() const { return singularFraction_; }
  double getBasinEntropy() const { return basinEntropy_; }
  double getBoundaryBasinEntropy() const { return boundaryBasinEntropy_; }
  // S_bb > ln 2 and a box dimension above 1 by more than twice its error.
  bool hasFractalBoundary() const;
  double getBoxDimension() const { return boxDimension_; }
  double getBoxDimensionError() const { return boxDimensionError_; }
  double getUncertaintyExponent() const { return uncertaintyExponent_; }
  double getUncertaintyExponentError() const { return uncertaintyExponentError_; }
  double getWadaDistance() const { return wadaDistance_; }

 private:
  void measureFractions(const std::vector<uint16_t>& labels, std::size_t rootCount,
                        const tBasinLabels& source);
  void measureEntropy(const std::vector<uint16_t>& labels);
  void measureBoxes(const std::vector<uint16_t>& labels);
  void measureUncertainty(const std::vector<uint16_t>& labels);
  void measureWada(const std::vector<uint16_t>& labels);
  // The pixels on the basins' boundaries, each with its basin.
  struct tBoundaryPixels;
  tBoundaryPixels boundaryPixels(const std::vector<uint16_t>& labels) const;
  // The largest distance from a pixel of another basin's boundary to the
  // boundary of basin `label`, squared, or `floor` when that is larger.
  double farthestFromBoundary(const tBoundaryPixels& boundary, uint16_t label, double floor) const;
  // For each basin, a bound on that squared distance, with its label.
  std::vector<std::pair<double, uint16_t>> boundsOf(const tBoundaryPixels& boundary) const;
  // N: the side of the largest power-of-two square within the picture.
  std::size_t squareSide() const;
  // The labels of the N x N square in the middle of the picture, row-major.
  std::vector<uint16_t> middleSquare(const std::vector<uint16_t>& labels) const;

  unsigned int threads_;          // threads the passes over the labels run on
  bool measured_;                 // the picture had labels
  std::size_t width_;             // W
  std::size_t height_;            // H
  std::vector<tBasin> basins_;    // by registry place
  double convergedFraction_;      // share of pixels whose first sample converged
  double noConvergenceFraction_;  // share that gave up
  double singularFraction_;       // share that met a singular Jacobian
  double basinEntropy_;           // S_b
  double boundaryBasinEntropy_;   // S_bb
  double boxDimension_;           // fitted slope of ln N(s) against ln(1/s)
  double boxDimensionError_;      // its standard error
  double uncertaintyExponent_;    // alpha
  double uncertaintyExponentError_;  // its standard error
  double wadaDistance_;           // largest Hausdorff distance between basin boundaries
};

#endif

#ifndef ROOTWEAVER_FRACTAL_TSOLVEDPIXELS_H
#define ROOTWEAVER_FRACTAL_TSOLVEDPIXELS_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fractal/tPacketSolver.h"

// The first samples of the pixels of every 2nd row and column of a picture,
// solved before the picture is painted (a coarse preview solves them), so
// that painting takes them instead of solving them again. A basin pixel keeps
// the outcome of its unjittered sample, a singular-set pixel its verdict.
// Nothing here meets the root registry or the random sequence: the painting
// does, in row-major order, as it would without them. Only a quarter of the
// pixels can be held, which keeps a large picture's memory within a few bytes
// a pixel.
class tSolvedPixels {
 public:
  tSolvedPixels(std::size_t width, std::size_t height, bool singular)
      : columns_((width + 1) / 2),
        count_(columns_ * ((height + 1) / 2)),
        solved_(count_, 0),
        outcomes_(singular ? 0 : count_),
        straddles_(singular ? count_ : 0) {}

  // Whether pixel (row, column) is held.
  bool has(std::size_t row, std::size_t column) const {
    return row % 2 == 0 && column % 2 == 0 && solved_[indexOf(row, column)] != 0;
  }
  // The pixel's first sample or verdict, of a pixel held.
  const tPacketSolver::tOutcome& outcome(std::size_t row, std::size_t column) const {
    return outcomes_[indexOf(row, column)];
  }
  bool straddles(std::size_t row, std::size_t column) const {
    return straddles_[indexOf(row, column)] != 0;
  }
  // Holds the first sample or verdict of a pixel of even row and column.
  void setOutcome(std::size_t row, std::size_t column, const tPacketSolver::tOutcome& outcome) {
    outcomes_[indexOf(row, column)] = outcome;
    solved_[indexOf(row, column)] = 1;
  }
  void setStraddles(std::size_t row, std::size_t column, bool straddles) {
    straddles_[indexOf(row, column)] = straddles ? 1 : 0;
    solved_[indexOf(row, column)] = 1;
  }

 private:
  std::size_t indexOf(std::size_t row, std::size_t column) const {
    return row / 2 * columns_ + column / 2;
  }

  std::size_t columns_;                            // pixels held per row held
  std::size_t count_;                              // pixels that can be held
  std::vector<uint8_t> solved_;                    // per pixel held: it is solved
  std::vector<tPacketSolver::tOutcome> outcomes_;  // basins: each pixel's first sample
  std::vector<uint8_t> straddles_;                 // singular set: each pixel's verdict
};

#endif

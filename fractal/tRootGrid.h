#ifndef ROOTWEAVER_FRACTAL_TROOTGRID_H
#define ROOTWEAVER_FRACTAL_TROOTGRID_H

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "graphics/tVector2.h"

// The registered roots by the square of the plane they lie in, so that the
// roots near a point are found without looking at the others.
//
// The squares are 2^-12 wide, a power of two, so that a coordinate's square
// is the floor of an exact product: two points whose coordinates differ by
// less than one width lie in the same or in neighbouring squares, however
// large the coordinates (the squares of very large ones are clamped, which
// keeps that). Points with a coordinate that is not finite are not kept: no
// distance from them is below any limit, so they are near no point.
class tRootGrid {
 public:
  // The width of a square.
  static constexpr double WIDTH = 1.0 / 4096.0;

  // Keeps `index` under the point's square; indices of a square stay in the
  // order added.
  void add(const tVector2& point, std::size_t index);
  void clear() { cells_.clear(); }

  // Calls visit(index) for the indices of every square whose row and column
  // lie within `reach` of the point's, square by square, each square's in
  // the order added; nothing for a point that is not finite. Every point
  // closer to `point` than reach widths on both axes is among them.
  // visit returns false to stop looking at the rest of that square.
  template <typename tVisit>
  void visitNear(const tVector2& point, int reach, tVisit visit) const;

 private:
  struct tCell {
    int64_t column;
    int64_t row;
    bool operator==(const tCell& c) const { return column == c.column && row == c.row; }
  };
  struct tCellHash {
    std::size_t operator()(const tCell& c) const;
  };

  static bool finite(const tVector2& point);
  static int64_t cellOf(double coordinate);

  std::unordered_map<tCell, std::vector<std::size_t>, tCellHash> cells_;  // indices by square
};

template <typename tVisit>
void tRootGrid::visitNear(const tVector2& point, int reach, tVisit visit) const {
  if (cells_.empty() || !finite(point)) return;
  const int64_t column = cellOf(point.x_);
  const int64_t row = cellOf(point.y_);
  for (int64_t r = row - reach; r <= row + reach; ++r) {
    for (int64_t c = column - reach; c <= column + reach; ++c) {
      const auto found = cells_.find(tCell{c, r});
      if (found == cells_.end()) continue;
      for (std::size_t index : found->second) {
        if (!visit(index)) break;
      }
    }
  }
}

#endif

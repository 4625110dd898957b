#ifndef ROOTWEAVER_FRACTAL_TROOTGRID_H
#define ROOTWEAVER_FRACTAL_TROOTGRID_H

#include <cstddef>
#include <cstdint>
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
  void clear();

  // Calls visit(index) for the indices of every square that holds a point
  // within `radius` of `point` on both axes, square by square, each square's
  // in the order added; nothing for a point that is not finite. Every point
  // closer than `radius` on both axes is among them. visit returns false to
  // stop looking at the rest of that square.
  template <typename tVisit>
  void visitNear(const tVector2& point, double radius, tVisit visit) const;

 private:
  // A square with roots: its place and its list in lists_. The squares are
  // kept by open addressing, in a table a power of two long and at most half
  // full, so that finding one takes a hash and a probe or two.
  struct tSlot {
    int64_t column;
    int64_t row;
    uint32_t list;  // kNoList for a free slot
  };
  static constexpr uint32_t kNoList = UINT32_MAX;

  static bool finite(const tVector2& point);
  static int64_t cellOf(double coordinate);
  static std::size_t hash(int64_t column, int64_t row);
  // The slot of the square, or the free slot where it would go.
  std::size_t slotOf(int64_t column, int64_t row) const;
  void grow();

  std::vector<tSlot> slots_;                     // the squares with roots
  std::vector<std::vector<std::size_t>> lists_;  // indices by square, in the order added
};

template <typename tVisit>
void tRootGrid::visitNear(const tVector2& point, double radius, tVisit visit) const {
  if (lists_.empty() || !finite(point)) return;
  // Rounding is monotonic, so a coordinate within the radius lies between
  // the rounded ends, and so does its square.
  const int64_t lastColumn = cellOf(point.x_ + radius);
  const int64_t lastRow = cellOf(point.y_ + radius);
  for (int64_t r = cellOf(point.y_ - radius); r <= lastRow; ++r) {
    for (int64_t c = cellOf(point.x_ - radius); c <= lastColumn; ++c) {
      const uint32_t list = slots_[slotOf(c, r)].list;
      if (list == kNoList) continue;
      for (std::size_t index : lists_[list]) {
        if (!visit(index)) break;
      }
    }
  }
}

#endif

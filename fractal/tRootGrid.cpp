#include "fractal/tRootGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// Far beyond any square a root of a picture reaches, and small enough that
// the squares around it are still integers.
const double kLargestCell = 4611686018427387904.0;  // 2^62

}  // namespace

void tRootGrid::add(const tVector2& point, std::size_t index) {
  if (!finite(point)) return;
  cells_[tCell{cellOf(point.x_), cellOf(point.y_)}].push_back(index);
}

std::size_t tRootGrid::tCellHash::operator()(const tCell& c) const {
  const uint64_t mixed = static_cast<uint64_t>(c.column) * 0x9E3779B97F4A7C15ull ^
                         static_cast<uint64_t>(c.row) * 0xC2B2AE3D27D4EB4Full;
  return static_cast<std::size_t>(mixed ^ (mixed >> 29));
}

bool tRootGrid::finite(const tVector2& point) {
  return std::isfinite(point.x_) && std::isfinite(point.y_);
}

int64_t tRootGrid::cellOf(double coordinate) {
  // Multiplying by a power of two is exact (short of overflow, which the
  // clamp catches), so the square is monotonic in the coordinate.
  const double scaled = std::floor(coordinate / WIDTH);
  return static_cast<int64_t>(std::clamp(scaled, -kLargestCell, kLargestCell));
}

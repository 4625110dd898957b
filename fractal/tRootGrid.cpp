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
  const int64_t column = cellOf(point.x_);
  const int64_t row = cellOf(point.y_);
  if (2 * (lists_.size() + 1) > slots_.size()) grow();
  tSlot& slot = slots_[slotOf(column, row)];
  if (slot.list == kNoList) {
    slot = tSlot{column, row, static_cast<uint32_t>(lists_.size())};
    lists_.emplace_back();
  }
  lists_[slot.list].push_back(index);
}

void tRootGrid::clear() {
  slots_.clear();
  lists_.clear();
}

void tRootGrid::grow() {
  std::vector<tSlot> slots(std::max<std::size_t>(16, 2 * slots_.size()), tSlot{0, 0, kNoList});
  slots.swap(slots_);
  for (const tSlot& slot : slots) {
    if (slot.list != kNoList) slots_[slotOf(slot.column, slot.row)] = slot;
  }
}

std::size_t tRootGrid::hash(int64_t column, int64_t row) {
  const uint64_t mixed = static_cast<uint64_t>(column) * 0x9E3779B97F4A7C15ull ^
                         static_cast<uint64_t>(row) * 0xC2B2AE3D27D4EB4Full;
  return static_cast<std::size_t>(mixed ^ (mixed >> 29));
}

std::size_t tRootGrid::slotOf(int64_t column, int64_t row) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash(column, row) & mask;; slot = (slot + 1) & mask) {
    const tSlot& at = slots_[slot];
    if (at.list == kNoList || (at.column == column && at.row == row)) return slot;
  }
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

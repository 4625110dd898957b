#include "graphics/tVector2.h"

#include <cmath>

double tVector2::length() const { return std::sqrt(x_ * x_ + y_ * y_); }

std::ostream& operator<<(std::ostream& out, const tVector2& v) {
  return out << "[" << v.x_ << ", " << v.y_ << "]";
}

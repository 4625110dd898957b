#include "graphics/tVector2.h"

#include <cmath>

double tVector2::length() const { return std::sqrt(x_ * x_ + y_ * y_); }

tVector2& tVector2::normalize() {
  double len = length();
  x_ /= len;
  y_ /= len;
  return *this;
}

tVector2 tVector2::direction() const {
  tVector2 copy(*this);
  return copy.normalize();
}

std::ostream& operator<<(std::ostream& out, const tVector2& v) {
  return out << "[" << v.x_ << ", " << v.y_ << "]";
}

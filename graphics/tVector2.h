#ifndef ROOTWEAVER_GRAPHICS_TVECTOR2_H
#define ROOTWEAVER_GRAPHICS_TVECTOR2_H

#include <ostream>

// A point or direction of the plane: two doubles, compared exactly.
class tVector2 {
 public:
  tVector2() : x_(0.0), y_(0.0) {}
  tVector2(double x, double y) : x_(x), y_(y) {}

  tVector2& operator-=(const tVector2& v) {
    x_ -= v.x_;
    y_ -= v.y_;
    return *this;
  }

  double& operator[](unsigned int i) { return i == 0 ? x_ : y_; }
  double operator[](unsigned int i) const { return i == 0 ? x_ : y_; }

  bool operator==(const tVector2& v) const { return x_ == v.x_ && y_ == v.y_; }

  double length() const;
  double lengthSquared() const { return x_ * x_ + y_ * y_; }

  double x_;  // index 0
  double y_;  // index 1
};

inline tVector2 operator+(const tVector2& a, const tVector2& b) { return tVector2(a.x_ + b.x_, a.y_ + b.y_); }
inline tVector2 operator-(const tVector2& a, const tVector2& b) {
  return tVector2(a.x_ - b.x_, a.y_ - b.y_);
}
inline tVector2 operator*(double s, const tVector2& v) { return tVector2(v.x_ * s, v.y_ * s); }
inline tVector2 operator/(const tVector2& v, double s) { return tVector2(v.x_ / s, v.y_ / s); }

std::ostream& operator<<(std::ostream& out, const tVector2& v);

#endif

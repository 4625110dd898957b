#ifndef ROOTWEAVER_GRAPHICS_TMATRIX2_H
#define ROOTWEAVER_GRAPHICS_TMATRIX2_H

#include <ostream>

#include "graphics/tVector2.h"

// A 2x2 matrix of doubles in row-major order. The zero matrix doubles as the
// marker of a Jacobian without inverse, so comparison is exact.
class tMatrix2 {
 public:
  tMatrix2() : m_{0.0, 0.0, 0.0, 0.0} {}
  tMatrix2(double a, double b, double c, double d) : m_{a, b, c, d} {}

  tMatrix2& operator+=(const tMatrix2& b);
  tMatrix2& operator-=(const tMatrix2& b);

  double operator()(unsigned int r, unsigned int c) const { return m_[r * 2 + c]; }

  bool operator==(const tMatrix2& b) const {
    return m_[0] == b.m_[0] && m_[1] == b.m_[1] && m_[2] == b.m_[2] && m_[3] == b.m_[3];
  }
  bool operator!=(const tMatrix2& b) const { return !(*this == b); }

  double determinant() const { return m_[0] * m_[3] - m_[2] * m_[1]; }
  tMatrix2& invert();
  tMatrix2 inverse() const;

  double m_[4];  // a00, a01, a10, a11
};

tMatrix2 operator+(const tMatrix2& a, const tMatrix2& b);
tMatrix2 operator-(const tMatrix2& a, const tMatrix2& b);
tMatrix2 operator-(const tMatrix2& a);
tMatrix2 operator*(const tMatrix2& a, const tMatrix2& b);
inline tMatrix2 operator*(const tMatrix2& a, double s) {
  return tMatrix2(a.m_[0] * s, a.m_[1] * s, a.m_[2] * s, a.m_[3] * s);
}
inline tMatrix2 operator*(double s, const tMatrix2& a) { return a * s; }
inline tVector2 operator*(const tMatrix2& a, const tVector2& v) {
  return tVector2(a.m_[0] * v.x_ + a.m_[1] * v.y_, a.m_[2] * v.x_ + a.m_[3] * v.y_);
}

std::ostream& operator<<(std::ostream& out, const tMatrix2& a);

#endif

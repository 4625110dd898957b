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
  explicit tMatrix2(const double* p) : m_{p[0], p[1], p[2], p[3]} {}
  explicit tMatrix2(double** p) : m_{p[0][0], p[0][1], p[1][0], p[1][1]} {}

  tMatrix2& operator+=(const tMatrix2& b);
  tMatrix2& operator-=(const tMatrix2& b);
  tMatrix2& operator*=(double s);
  tMatrix2& operator/=(double s);
  tMatrix2& operator*=(const tMatrix2& b);  // this = this * b

  double& operator()(unsigned int r, unsigned int c) { return m_[r * 2 + c]; }
  double operator()(unsigned int r, unsigned int c) const { return m_[r * 2 + c]; }

  bool operator==(const tMatrix2& b) const {
    return m_[0] == b.m_[0] && m_[1] == b.m_[1] && m_[2] == b.m_[2] && m_[3] == b.m_[3];
  }
  bool operator!=(const tMatrix2& b) const { return !(*this == b); }

  double determinant() const { return m_[0] * m_[3] - m_[2] * m_[1]; }
  tMatrix2& invert();
  tMatrix2 inverse() const;
  tMatrix2& transpose();
  tMatrix2 transposed() const;

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
// The scalar is the divisor whichever side it stands on.
tMatrix2 operator/(const tMatrix2& a, double s);
tMatrix2 operator/(double s, const tMatrix2& a);
inline tVector2 operator*(const tMatrix2& a, const tVector2& v) {
  return tVector2(a.m_[0] * v.x_ + a.m_[1] * v.y_, a.m_[2] * v.x_ + a.m_[3] * v.y_);
}
inline tVector2 operator*(const tVector2& v, const tMatrix2& a) {
  return tVector2(v.x_ * a.m_[0] + v.y_ * a.m_[2], v.x_ * a.m_[1] + v.y_ * a.m_[3]);
}

std::ostream& operator<<(std::ostream& out, const tMatrix2& a);

#endif

#include "graphics/tMatrix2.h"

tMatrix2& tMatrix2::operator+=(const tMatrix2& b) {
  for (int i = 0; i < 4; ++i) m_[i] += b.m_[i];
  return *this;
}

tMatrix2& tMatrix2::operator-=(const tMatrix2& b) {
  for (int i = 0; i < 4; ++i) m_[i] -= b.m_[i];
  return *this;
}

tMatrix2& tMatrix2::invert() {
  double d = determinant();
  double a00 = m_[0];
  m_[0] = m_[3] / d;
  m_[1] = -m_[1] / d;
  m_[2] = -m_[2] / d;
  m_[3] = a00 / d;
  return *this;
}

tMatrix2 tMatrix2::inverse() const {
  tMatrix2 copy(*this);
  return copy.invert();
}

tMatrix2 operator+(const tMatrix2& a, const tMatrix2& b) {
  tMatrix2 r(a);
  return r += b;
}

tMatrix2 operator-(const tMatrix2& a, const tMatrix2& b) {
  tMatrix2 r(a);
  return r -= b;
}

tMatrix2 operator-(const tMatrix2& a) { return tMatrix2(-a.m_[0], -a.m_[1], -a.m_[2], -a.m_[3]); }

tMatrix2 operator*(const tMatrix2& a, const tMatrix2& b) {
  return tMatrix2(a.m_[0] * b.m_[0] + a.m_[1] * b.m_[2], a.m_[0] * b.m_[1] + a.m_[1] * b.m_[3],
                  a.m_[2] * b.m_[0] + a.m_[3] * b.m_[2], a.m_[2] * b.m_[1] + a.m_[3] * b.m_[3]);
}

std::ostream& operator<<(std::ostream& out, const tMatrix2& a) {
  return out << "[[" << a.m_[0] << ", " << a.m_[1] << "], [" << a.m_[2] << ", " << a.m_[3] << "]]";
}

#ifndef ROOTWEAVER_FRACTAL_TCOMPLEX_H
#define ROOTWEAVER_FRACTAL_TCOMPLEX_H

#include <cmath>

// A complex number in doubles with its arithmetic written out, so that every
// operation rounds in an order fixed here and not by a library: the
// higher-order solvers' steps must come out bit for bit the same wherever
// they are computed.
struct tComplex {
  double re;
  double im;

  bool isZero() const { return re == 0.0 && im == 0.0; }
  // |a|^2, rounded as the quotient's norm.
  double norm() const { return re * re + im * im; }
};

inline tComplex operator+(const tComplex& a, const tComplex& b) {
  return {a.re + b.re, a.im + b.im};
}

inline tComplex operator-(const tComplex& a, const tComplex& b) {
  return {a.re - b.re, a.im - b.im};
}

// (ac - bd) + i(ad + bc).
inline tComplex operator*(const tComplex& a, const tComplex& b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

inline tComplex operator*(double s, const tComplex& a) { return {s * a.re, s * a.im}; }

// a conj(b) / |b|^2, without the scaling that guards against overflow: the
// pictures never come near it, and the plain form is the one a packet of
// lanes repeats cheaply. b must not be zero.
inline tComplex operator/(const tComplex& a, const tComplex& b) {
  const double norm = b.re * b.re + b.im * b.im;
  return {(a.re * b.re + a.im * b.im) / norm, (a.im * b.re - a.re * b.im) / norm};
}

// The principal square root, from m = |a| (the correctly rounded square root
// of the norm, not hypot, whose rounding differs between libraries; unscaled,
// as the quotient): for
// re >= 0, s = sqrt((m + re) / 2) and s + i im / (2 s); otherwise
// t = sqrt((m - re) / 2) and |im| / (2 t) + i t with the sign of im, so that
// neither half-plane cancels, and -0 in im takes the lower side of the cut
// along the negative reals, as std::sqrt does.
inline tComplex squareRoot(const tComplex& a) {
  const double m = std::sqrt(a.norm());
  if (m == 0.0) return {0.0, a.im};
  if (a.re >= 0.0) {
    const double s = std::sqrt(0.5 * (m + a.re));
    return {s, a.im / (2.0 * s)};
  }
  const double t = std::sqrt(0.5 * (m - a.re));
  return {std::fabs(a.im) / (2.0 * t), std::copysign(t, a.im)};
}

#endif

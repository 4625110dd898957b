#ifndef ROOTWEAVER_FRACTAL_TCOMPLEX_H
#define ROOTWEAVER_FRACTAL_TCOMPLEX_H

// A complex number in doubles with its arithmetic written out, so that every
// operation rounds in an order fixed here and not by a library: the
// higher-order solvers' steps must come out bit for bit the same wherever
// they are computed.
struct tComplex {
  double re;
  double im;

  bool isZero() const { return re == 0.0 && im == 0.0; }
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

#endif

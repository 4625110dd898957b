#ifndef ROOTWEAVER_FRACTAL_TPACKETSTEPBODY_H
#define ROOTWEAVER_FRACTAL_TPACKETSTEPBODY_H

// The body of tPacketStep, included by the translation unit of each
// instruction set, which instantiates it with its lane type.

#include <limits>
#include <stdexcept>

#include "expr/tExactPower.h"
#include "expr/tFunction.h"
#include "fractal/tPacketStep.h"

namespace {

// tMatrix2's determinant and inverse of the matrix with rows (f11, f12) and
// (f21, f22) in every lane, zero below the cutoff and all NaN where the
// determinant is not finite (tFunction::invertJacobian); returns |det|.
// Divisions bound the step: where the formulas give f11 and f22, or f12 and
// f21, from one register (as maps of a complex variable often do), their
// quotients are one and the same and are divided once.
template <typename tVectorLanes, typename V>
V invertLanes(V f11, V f12, V f21, V f22, V& m0, V& m1, V& m2, V& m3, bool sameDiagonal = false,
              bool sameOffDiagonal = false) {
  const V d = f11 * f22 - f21 * f12;
  const V size = tVectorLanes::valuesOf(tVectorLanes::bitsOf(d) & kAbsMask);
  const auto singular = size < tFunction::INVERTIBLE_CUTOFF;
  const auto finite = size <= std::numeric_limits<double>::max();
  const V zero = {};
  const V nan = zero + std::numeric_limits<double>::quiet_NaN();
  m0 = finite ? (singular ? zero : f22 / d) : nan;
  m1 = finite ? (singular ? zero : -f12 / d) : nan;
  m2 = sameOffDiagonal ? m1 : finite ? (singular ? zero : -f21 / d) : nan;
  m3 = sameDiagonal ? m0 : finite ? (singular ? zero : f11 / d) : nan;
  return size;
}

// The values and inverse Jacobians of one vector of lanes.
template <typename tVectorLanes>
struct tEvaluation {
  typedef typename tVectorLanes::tValues V;
  V f1;
  V f2;
  V m0;
  V m1;
  V m2;
  V m3;
  V size;  // |det| of the matrix inverted

  tEvaluation(const tPacketStep::tOutputs& out, unsigned l)
      : f1(tVectorLanes::load(out[0] + l)), f2(tVectorLanes::load(out[1] + l)) {
    size = invertLanes<tVectorLanes>(tVectorLanes::load(out[2] + l), tVectorLanes::load(out[3] + l),
                                     tVectorLanes::load(out[4] + l), tVectorLanes::load(out[5] + l),
                                     m0, m1, m2, m3, out[2] == out[5], out[3] == out[4]);
  }
  // The values (f1, f2), and the inverse of the matrix with rows (a, b) and
  // (c, d): the Jacobian, or where a step inverts another matrix, that one.
  tEvaluation(V value1, V value2, V a, V b, V c, V d) : f1(value1), f2(value2) {
    size = invertLanes<tVectorLanes>(a, b, c, d, m0, m1, m2, m3);
  }

  // The zero matrix: testIterate's first test, and the singular-set test's,
  // told from the determinant as tIterativeSolver::singularJacobian tells it,
  // so that a step that needs no inverse makes no division for it.
  auto singular() const { return size < tFunction::INVERTIBLE_CUTOFF; }
  // |F| below the epsilon: testIterate's second test.
  auto converged(double residualLimit) const { return f1 * f1 + f2 * f2 < residualLimit; }
  // tMatrix2::determinant above zero, for the singular-set test.
  auto positive() const {
    const V zero = {};
    return m0 * m3 - m2 * m1 > zero;
  }
};

// The bits of what a vector of lanes found at an iterate (atIterate), and
// which lanes stop: with a full path the stopping tests are skipped, so
// nothing stops.
template <bool kFullPath, typename tVectorLanes, typename tMask>
tMask reportIterate(const tEvaluation<tVectorLanes>& e, tMask atIterate, double residualLimit,
                    unsigned l, tPacketStep::tFound& found) {
  const tMask singular = atIterate & e.singular();
  const tMask converged = atIterate & e.converged(residualLimit) & ~singular;
  const tMask stops = kFullPath ? atIterate & ~atIterate : singular | converged;
  found.singular |= tVectorLanes::maskBits(singular) << l;
  if (kFullPath) {
    // Only the singular-set test reads these.
    found.iterate |= tVectorLanes::maskBits(atIterate) << l;
    found.positive |= tVectorLanes::maskBits(e.positive()) << l;
  } else {
    found.converged |= tVectorLanes::maskBits(converged) << l;
  }
  return stops;
}

// Ends a step on a vector of lanes: (newX, newY) is each lane's iterate and
// the next point evaluated, with its count; in a solve, the lanes that
// moved and reached the limit give up.
template <typename tVectorLanes, bool kFullPath, typename V, typename tMask>
void storeIterate(const tPacketStep::tParameters& p, tPacketStep::tLanes& lanes,
                  const tPacketStep::tPoints& next, unsigned l, V newX, V newY, V iteration,
                  tMask moves, tPacketStep::tFound& found) {
  tVectorLanes::store(lanes.x + l, newX);
  tVectorLanes::store(lanes.y + l, newY);
  tVectorLanes::store(next.x + l, newX);
  tVectorLanes::store(next.y + l, newY);
  tVectorLanes::store(lanes.iteration + l, iteration);
  if (!kFullPath) {
    found.gaveUp |= tVectorLanes::maskBits(moves & (iteration >= p.maxIterations)) << l;
  }
}

// One Newton step on a vector of lanes: x -= (h m) F unless the iterate stops.
template <typename tVectorLanes, bool kFullPath>
void newtonLanes(const tPacketStep::tParameters& p,
                 const tPacketStep::tOutputs& out, tPacketStep::tLanes& lanes,
                 const tPacketStep::tPoints& next, unsigned l, tPacketStep::tFound& found) {
  typedef typename tVectorLanes::tValues V;
  const tEvaluation<tVectorLanes> e(out, l);
  const V zero = {};
  const V one = zero + 1.0;
  const auto stops = reportIterate<kFullPath>(e, zero == zero, p.residualLimit, l, found);
  const V x = tVectorLanes::load(lanes.x + l);
  const V y = tVectorLanes::load(lanes.y + l);
  const V nextX = x - ((e.m0 * p.h) * e.f1 + (e.m1 * p.h) * e.f2);
  const V nextY = y - ((e.m2 * p.h) * e.f1 + (e.m3 * p.h) * e.f2);
  const V newX = stops ? x : nextX;
  const V newY = stops ? y : nextY;
  const V iteration = tVectorLanes::load(lanes.iteration + l) + (stops ? zero : one);
  storeIterate<tVectorLanes, kFullPath>(p, lanes, next, l, newX, newY, iteration, ~stops, found);
}

// One evaluation of a fourth-order Runge-Kutta step on a vector of lanes,
// each at its own stage: the slope k = (-m) F is kept and the next stage
// point taken (0.5 h, 0.5 h, then h along it), or at the last stage the
// step is finished; only an iterate (stage 0) is tested. A lane that stops
// keeps its iterate whatever is stored besides.
template <typename tVectorLanes, bool kFullPath>
void rungeKutta4Lanes(const tPacketStep::tParameters& p,
                      const tPacketStep::tOutputs& out, tPacketStep::tLanes& lanes,
                      const tPacketStep::tPoints& next, unsigned l, tPacketStep::tFound& found) {
  typedef typename tVectorLanes::tValues V;
  const tEvaluation<tVectorLanes> e(out, l);
  const V stage = tVectorLanes::load(lanes.stage + l);
  const V zero = {};
  const V one = zero + 1.0;
  const auto atIterate = stage == zero;
  const auto atSecond = stage == one;
  const auto atThird = stage == 2.0;
  const auto atLast = stage == 3.0;
  reportIterate<kFullPath>(e, atIterate, p.residualLimit, l, found);

  const V kx = (-e.m0) * e.f1 + (-e.m1) * e.f2;
  const V ky = (-e.m2) * e.f1 + (-e.m3) * e.f2;
  const V x = tVectorLanes::load(lanes.x + l);
  const V y = tVectorLanes::load(lanes.y + l);
  V k[3][2];
  for (int s = 0; s < 3; ++s) {
    k[s][0] = tVectorLanes::load(lanes.slopes[s][0] + l);
    k[s][1] = tVectorLanes::load(lanes.slopes[s][1] + l);
  }
  const V half = zero + 0.5 * p.h;
  const V along = atThird ? zero + p.h : half;
  const V stageX = kx * along + x;
  const V stageY = ky * along + y;
  const V endX = x + ((kx + (k[2][0] * 2.0 + (k[1][0] * 2.0 + k[0][0]))) * p.h) / 6.0;
  const V endY = y + ((ky + (k[2][1] * 2.0 + (k[1][1] * 2.0 + k[0][1]))) * p.h) / 6.0;

  tVectorLanes::store(lanes.slopes[0][0] + l, atIterate ? kx : k[0][0]);
  tVectorLanes::store(lanes.slopes[0][1] + l, atIterate ? ky : k[0][1]);
  tVectorLanes::store(lanes.slopes[1][0] + l, atSecond ? kx : k[1][0]);
  tVectorLanes::store(lanes.slopes[1][1] + l, atSecond ? ky : k[1][1]);
  tVectorLanes::store(lanes.slopes[2][0] + l, atThird ? kx : k[2][0]);
  tVectorLanes::store(lanes.slopes[2][1] + l, atThird ? ky : k[2][1]);
  tVectorLanes::store(lanes.x + l, atLast ? endX : x);
  tVectorLanes::store(lanes.y + l, atLast ? endY : y);
  tVectorLanes::store(next.x + l, atLast ? endX : stageX);
  tVectorLanes::store(next.y + l, atLast ? endY : stageY);
  tVectorLanes::store(lanes.stage + l, atLast ? zero : stage + 1.0);
  const V iteration = tVectorLanes::load(lanes.iteration + l) + (atLast ? one : zero);
  tVectorLanes::store(lanes.iteration + l, iteration);
  if (!kFullPath) {
    found.gaveUp |= tVectorLanes::maskBits(atLast & (iteration >= p.maxIterations)) << l;
  }
}

// A complex number in each lane of a vector, with tComplex's arithmetic
// written out the same way: the same operations on the same operands in the
// same order, so that every lane rounds as tComplex does.
template <typename V>
struct tComplexLanes {
  V re;
  V im;

  auto isZero() const {
    const V zero = {};
    return (re == zero) & (im == zero);
  }
  V norm() const { return re * re + im * im; }
};

template <typename V>
tComplexLanes<V> operator+(const tComplexLanes<V>& a, const tComplexLanes<V>& b) {
  return {a.re + b.re, a.im + b.im};
}

template <typename V>
tComplexLanes<V> operator-(const tComplexLanes<V>& a, const tComplexLanes<V>& b) {
  return {a.re - b.re, a.im - b.im};
}

template <typename V>
tComplexLanes<V> operator*(const tComplexLanes<V>& a, const tComplexLanes<V>& b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

template <typename V>
tComplexLanes<V> operator*(double s, const tComplexLanes<V>& a) {
  return {s * a.re, s * a.im};
}

template <typename V>
tComplexLanes<V> operator/(const tComplexLanes<V>& a, const tComplexLanes<V>& b) {
  const V norm = b.re * b.re + b.im * b.im;
  return {(a.re * b.re + a.im * b.im) / norm, (a.im * b.re - a.re * b.im) / norm};
}

// The corrections of tHalleySolver, tChebyshevHalleySolver and
// tSchroderSolver on every lane: c, and the lanes where a denominator is
// zero and the method fails (c is then whatever the division gave).
template <typename V>
auto halleyCorrection(const tComplexLanes<V>& f, const tComplexLanes<V>& d1,
                      const tComplexLanes<V>& d2, tComplexLanes<V>& c) {
  const tComplexLanes<V> p = f * d1;
  const tComplexLanes<V> q = d1 * d1;
  const tComplexLanes<V> r = f * d2;
  const tComplexLanes<V> denominator = 2.0 * q - r;
  c = (2.0 * p) / denominator;
  return denominator.isZero();
}

template <typename V>
auto chebyshevHalleyCorrection(double a, const tComplexLanes<V>& f, const tComplexLanes<V>& d1,
                               const tComplexLanes<V>& d2, tComplexLanes<V>& c) {
  const V zero = {};
  const tComplexLanes<V> one = {zero + 1.0, zero};
  const tComplexLanes<V> q = d1 * d1;
  const tComplexLanes<V> newton = f / d1;
  const tComplexLanes<V> l = (f * d2) / q;
  const tComplexLanes<V> d = 2.0 * (one - a * l);
  c = (one + l / d) * newton;
  return q.isZero() | d.isZero();
}

template <typename V>
auto schroderCorrection(const tComplexLanes<V>& f, const tComplexLanes<V>& d1,
                        const tComplexLanes<V>& d2, tComplexLanes<V>& c) {
  const tComplexLanes<V> p = f * d1;
  const tComplexLanes<V> q = d1 * d1;
  const tComplexLanes<V> r = f * d2;
  const tComplexLanes<V> denominator = q - r;
  c = p / denominator;
  return denominator.isZero();
}

// tComplex.h's squareRoot on every lane: both half-planes' roots are made
// and the lane's chosen, with fabs and copysign as sign bits.
template <typename tVectorLanes, typename V>
tComplexLanes<V> squareRootLanes(const tComplexLanes<V>& a) {
  const V zero = {};
  const V m = tVectorLanes::squareRoot(a.norm());
  const V s = tVectorLanes::squareRoot(0.5 * (m + a.re));
  const V t = tVectorLanes::squareRoot(0.5 * (m - a.re));
  const V absIm = tVectorLanes::valuesOf(tVectorLanes::bitsOf(a.im) & kAbsMask);
  const V signedT = tVectorLanes::valuesOf((tVectorLanes::bitsOf(t) & kAbsMask) |
                                           (tVectorLanes::bitsOf(a.im) & ~kAbsMask));
  const auto origin = m == zero;
  const auto right = a.re >= zero;
  return {origin  ? zero
          : right ? s
                  : absIm / (2.0 * t),
          origin  ? a.im
          : right ? a.im / (2.0 * s)
                  : signedT};
}

// tLaguerreSolver's correction with its n; n = 0 (no degree known) fails
// everywhere.
template <typename tVectorLanes, typename V>
auto laguerreCorrection(double n, const tComplexLanes<V>& f, const tComplexLanes<V>& d1,
                        const tComplexLanes<V>& d2, tComplexLanes<V>& c) {
  const V zero = {};
  const tComplexLanes<V> g = d1 / f;
  const tComplexLanes<V> g2 = g * g;
  const tComplexLanes<V> h = g2 - d2 / f;
  const tComplexLanes<V> s = squareRootLanes<tVectorLanes>((n - 1.0) * (n * h - g2));
  const tComplexLanes<V> plus = g + s;
  const tComplexLanes<V> minus = g - s;
  const auto larger = plus.norm() >= minus.norm();
  const tComplexLanes<V> denominator = {larger ? plus.re : minus.re, larger ? plus.im : minus.im};
  const tComplexLanes<V> degree = {zero + n, zero};
  c = degree / denominator;
  return (degree.re == zero) | f.isZero() | denominator.isZero();
}

// The one-point scheme's correction.
template <typename tVectorLanes, tPacketStep::SCHEME kScheme, typename V>
auto correction(double a, const tComplexLanes<V>& f, const tComplexLanes<V>& d1,
                const tComplexLanes<V>& d2, tComplexLanes<V>& c) {
  if constexpr (kScheme == tPacketStep::SCHEME_HALLEY) {
    return halleyCorrection(f, d1, d2, c);
  } else if constexpr (kScheme == tPacketStep::SCHEME_SCHRODER) {
    return schroderCorrection(f, d1, d2, c);
  } else if constexpr (kScheme == tPacketStep::SCHEME_LAGUERRE) {
    return laguerreCorrection<tVectorLanes>(a, f, d1, d2, c);
  } else {
    return chebyshevHalleyCorrection(a, f, d1, d2, c);
  }
}

// One step z <- z - h c of a method on f(z) on a vector of lanes, as
// tComplexMapSolver::solve makes it: the iterate is tested as Newton's is,
// then the correction is made from f = f1 + i f2, f' = f11 + i f21 and
// f'' = f1xx + i f2xx. A lane whose correction fails stays where it is: its
// solve ends there as singular, or its full path goes on from it.
template <typename tVectorLanes, bool kFullPath, tPacketStep::SCHEME kScheme>
void correctionLanes(const tPacketStep::tParameters& p, const tPacketStep::tOutputs& out,
                     tPacketStep::tLanes& lanes, const tPacketStep::tPoints& next, unsigned l,
                     tPacketStep::tFound& found) {
  typedef typename tVectorLanes::tValues V;
  const tEvaluation<tVectorLanes> e(out, l);
  const V zero = {};
  const V one = zero + 1.0;
  const auto stops = reportIterate<kFullPath>(e, zero == zero, p.residualLimit, l, found);
  const tComplexLanes<V> f = {e.f1, e.f2};
  const tComplexLanes<V> d1 = {tVectorLanes::load(out[2] + l), tVectorLanes::load(out[4] + l)};
  const tComplexLanes<V> d2 = {tVectorLanes::load(out[6] + l), tVectorLanes::load(out[7] + l)};
  tComplexLanes<V> c;
  const auto failed = correction<tVectorLanes, kScheme>(p.a, f, d1, d2, c);
  const auto stays = stops | failed;
  // A full path counts every iteration; a solve stops counting where it ends.
  const auto counts = kFullPath ? zero == zero : ~stays;
  const V x = tVectorLanes::load(lanes.x + l);
  const V y = tVectorLanes::load(lanes.y + l);
  // x -= h (c.re, c.im), as tVector2 scales and subtracts.
  const V newX = stays ? x : x - c.re * p.h;
  const V newY = stays ? y : y - c.im * p.h;
  const V iteration = tVectorLanes::load(lanes.iteration + l) + (counts ? one : zero);
  storeIterate<tVectorLanes, kFullPath>(p, lanes, next, l, newX, newY, iteration, ~stays, found);
  if (!kFullPath) found.singular |= tVectorLanes::maskBits(~stops & failed) << l;
}

// What a two-point step keeps from its iterate z, in the lanes' slopes:
// n = f / f' (where the method forms it), f and f' there.
template <typename V>
struct tKept {
  tComplexLanes<V> n;
  tComplexLanes<V> f;
  tComplexLanes<V> d1;
};

template <typename tVectorLanes, typename V = typename tVectorLanes::tValues>
tKept<V> loadKept(const tPacketStep::tLanes& lanes, unsigned l) {
  tComplexLanes<V> kept[3];
  for (int k = 0; k < 3; ++k) {
    kept[k] = {tVectorLanes::load(lanes.slopes[k][0] + l),
               tVectorLanes::load(lanes.slopes[k][1] + l)};
  }
  return {kept[0], kept[1], kept[2]};
}

// The operands of the second half's first quotient, with f and f' at w:
// Traub's and King's f(w) / f', Jarratt's (p + f') / (p - f') with
// p = 3 f'(w), Steffensen's (f f) / (f(w) - f). A lane divides once a round:
// at the iterate f / f', at w this.
template <tPacketStep::SCHEME kScheme, typename V>
void secondQuotient(const tKept<V>& at, const tComplexLanes<V>& fw, const tComplexLanes<V>& dw,
                    tComplexLanes<V>& numerator, tComplexLanes<V>& denominator) {
  if constexpr (kScheme == tPacketStep::SCHEME_JARRATT) {
    const tComplexLanes<V> p = 3.0 * dw;
    numerator = p + at.d1;
    denominator = p - at.d1;
  } else if constexpr (kScheme == tPacketStep::SCHEME_STEFFENSEN) {
    numerator = at.f * at.f;
    denominator = fw - at.f;
  } else {
    numerator = fw;
    denominator = at.d1;
  }
}

// The first half of a two-point step at the iterate z, with f and f' there
// and q = f / f': the point w of the second evaluation, and the lanes where
// the step fails already (f' is zero).
template <tPacketStep::SCHEME kScheme, typename V>
auto firstHalf(const tComplexLanes<V>& z, const tComplexLanes<V>& q, tKept<V>& at,
               tComplexLanes<V>& w) {
  if constexpr (kScheme == tPacketStep::SCHEME_STEFFENSEN) {
    w = z + at.f;
    const V zero = {};
    return zero != zero;
  } else {
    at.n = q;
    w = kScheme == tPacketStep::SCHEME_JARRATT ? z - (2.0 / 3.0) * at.n : z - at.n;
    return at.d1.isZero();
  }
}

// The second half, with f at w and the quotient q of secondQuotient's
// operands: the correction c, and the lanes where a denominator is zero.
template <tPacketStep::SCHEME kScheme, typename V>
auto secondHalf(double b, const tKept<V>& at, const tComplexLanes<V>& fw, const tComplexLanes<V>& q,
                const tComplexLanes<V>& denominator, tComplexLanes<V>& c) {
  if constexpr (kScheme == tPacketStep::SCHEME_TRAUB) {
    const V zero = {};
    c = at.n + q;
    return zero != zero;
  } else if constexpr (kScheme == tPacketStep::SCHEME_KING) {
    const tComplexLanes<V> weight = at.f + (b - 2.0) * fw;
    c = at.n + q * ((at.f + b * fw) / weight);
    return weight.isZero();
  } else if constexpr (kScheme == tPacketStep::SCHEME_JARRATT) {
    c = (0.5 * q) * at.n;
    return denominator.isZero();
  } else {
    c = q;
    return denominator.isZero();
  }
}

// The first round of a two-point step on f(z) on a vector of lanes, at
// their iterates z, as tComplexMapSolver::solve and the method's correction
// make it: z is tested as Newton's is, f / f', f and f' there are kept and w
// is evaluated next, at stage 1. A step that fails here ends the solve as
// singular; on a full path it is evaluated at z once more, at stage 2, so
// that it still takes two rounds and the corner walks keep in step. (On f(z)
// a zero f' is a singular Jacobian, which settles the corners at once; a
// real map read as f1 + i f2 may have a zero first column beside an
// infinite second.)
template <typename tVectorLanes, bool kFullPath, tPacketStep::SCHEME kScheme>
void twoPointFirstLanes(const tPacketStep::tParameters& p, const tPacketStep::tOutputs& out,
                        tPacketStep::tLanes& lanes, const tPacketStep::tPoints& next, unsigned l,
                        tPacketStep::tFound& found) {
  typedef typename tVectorLanes::tValues V;
  const tEvaluation<tVectorLanes> e(out, l);
  const V zero = {};
  const V one = zero + 1.0;
  const auto stops = reportIterate<kFullPath>(e, zero == zero, p.residualLimit, l, found);
  const V x = tVectorLanes::load(lanes.x + l);
  const V y = tVectorLanes::load(lanes.y + l);
  const tComplexLanes<V> value = {e.f1, e.f2};
  const tComplexLanes<V> derivative = {tVectorLanes::load(out[2] + l),
                                       tVectorLanes::load(out[4] + l)};
  tKept<V> now = {{}, value, derivative};
  tComplexLanes<V> w;
  const auto fails = firstHalf<kScheme>(tComplexLanes<V>{x, y}, value / derivative, now, w);
  const tComplexLanes<V> nowParts[3] = {now.n, now.f, now.d1};
  for (int k = 0; k < 3; ++k) {
    tVectorLanes::store(lanes.slopes[k][0] + l, nowParts[k].re);
    tVectorLanes::store(lanes.slopes[k][1] + l, nowParts[k].im);
  }
  tVectorLanes::store(next.x + l, fails ? x : w.re);
  tVectorLanes::store(next.y + l, fails ? y : w.im);
  tVectorLanes::store(lanes.stage + l, fails ? one + 1.0 : one);
  if (!kFullPath) found.singular |= tVectorLanes::maskBits(~stops & fails) << l;
}

// The end of a two-point step's second round on a vector of lanes, for f(z)
// and for any map alike: the lanes that move take (newX, newY), every lane
// goes back to stage 0, a full path counts every lane that did not wait and
// a solve only the lanes that moved; failed lanes end as singular.
template <typename tVectorLanes, bool kFullPath, typename V, typename tMask>
void finishTwoPointLanes(const tPacketStep::tParameters& p, tPacketStep::tLanes& lanes,
                         const tPacketStep::tPoints& next, unsigned l, V newX, V newY, tMask waits,
                         tMask moves, tMask fails, tPacketStep::tFound& found) {
  const V zero = {};
  const V one = zero + 1.0;
  const V iteration =
      tVectorLanes::load(lanes.iteration + l) + ((kFullPath ? ~waits : moves) ? one : zero);
  tVectorLanes::store(lanes.stage + l, zero);
  storeIterate<tVectorLanes, kFullPath>(p, lanes, next, l, newX, newY, iteration, moves, found);
  if (!kFullPath) found.singular |= tVectorLanes::maskBits(fails) << l;
}

// The second round of a two-point step on a vector of lanes: with what the
// method takes at w (f, or Jarratt's f') in out[0] and out[1], a lane at
// stage 1 finishes its correction from what its iterate kept and moves,
// z <- z - h c, unless a denominator is zero, which ends the solve as
// singular; a full path stays at z then, as it does at stage 2. A lane at
// stage 0, started since the first round, waits for the next.
template <typename tVectorLanes, bool kFullPath, tPacketStep::SCHEME kScheme>
void twoPointSecondLanes(const tPacketStep::tParameters& p, const tPacketStep::tOutputs& out,
                         tPacketStep::tLanes& lanes, const tPacketStep::tPoints& next, unsigned l,
                         tPacketStep::tFound& found) {
  typedef typename tVectorLanes::tValues V;
  const V stage = tVectorLanes::load(lanes.stage + l);
  const V zero = {};
  const V one = zero + 1.0;
  const auto waits = stage == zero;
  const auto atSecond = stage == one;
  const tComplexLanes<V> atW = {tVectorLanes::load(out[0] + l), tVectorLanes::load(out[1] + l)};
  const tKept<V> kept = loadKept<tVectorLanes>(lanes, l);
  tComplexLanes<V> numerator;
  tComplexLanes<V> denominator;
  secondQuotient<kScheme>(kept, atW, atW, numerator, denominator);
  tComplexLanes<V> c;
  const auto fails =
      atSecond & secondHalf<kScheme>(p.a, kept, atW, numerator / denominator, denominator, c);
  const auto moves = atSecond & ~fails;
  const V x = tVectorLanes::load(lanes.x + l);
  const V y = tVectorLanes::load(lanes.y + l);
  finishTwoPointLanes<tVectorLanes, kFullPath>(p, lanes, next, l, moves ? x - c.re * p.h : x,
                                               moves ? y - c.im * p.h : y, waits, moves, fails,
                                               found);
}

// Every vector of a packet through one round of a two-point step.
template <typename tVectorLanes, bool kFullPath, tPacketStep::SCHEME kScheme>
tPacketStep::tFound twoPointVectors(bool atSecondPoint, const tPacketStep::tParameters& p,
                                    const tPacketStep::tOutputs& out, tPacketStep::tLanes& lanes,
                                    const tPacketStep::tPoints& next) {
  tPacketStep::tFound found = {0, 0, 0, 0, 0};
  for (unsigned l = 0; l < tPacketStep::LANES; l += tVectorLanes::WIDTH) {
    if (atSecondPoint) {
      twoPointSecondLanes<tVectorLanes, kFullPath, kScheme>(p, out, lanes, next, l, found);
    } else {
      twoPointFirstLanes<tVectorLanes, kFullPath, kScheme>(p, out, lanes, next, l, found);
    }
  }
  return found;
}

// Every vector of a packet through a one-point step on f(z).
template <typename tVectorLanes, bool kFullPath, tPacketStep::SCHEME kScheme>
tPacketStep::tFound correctionVectors(const tPacketStep::tParameters& p,
                                      const tPacketStep::tOutputs& out, tPacketStep::tLanes& lanes,
                                      const tPacketStep::tPoints& next) {
  tPacketStep::tFound found = {0, 0, 0, 0, 0};
  for (unsigned l = 0; l < tPacketStep::LANES; l += tVectorLanes::WIDTH) {
    correctionLanes<tVectorLanes, kFullPath, kScheme>(p, out, lanes, next, l, found);
  }
  return found;
}

// One round of the two-point scheme's step on every vector of a packet.
template <typename tVectorLanes, bool kFullPath>
tPacketStep::tFound twoPointRound(tPacketStep::SCHEME scheme, bool atSecondPoint,
                                  const tPacketStep::tParameters& p,
                                  const tPacketStep::tOutputs& out, tPacketStep::tLanes& lanes,
                                  const tPacketStep::tPoints& next) {
  switch (scheme) {
    case tPacketStep::SCHEME_TRAUB:
      return twoPointVectors<tVectorLanes, kFullPath, tPacketStep::SCHEME_TRAUB>(atSecondPoint, p,
                                                                                 out, lanes, next);
    case tPacketStep::SCHEME_KING:
      return twoPointVectors<tVectorLanes, kFullPath, tPacketStep::SCHEME_KING>(atSecondPoint, p,
                                                                                out, lanes, next);
    case tPacketStep::SCHEME_JARRATT:
      return twoPointVectors<tVectorLanes, kFullPath, tPacketStep::SCHEME_JARRATT>(
          atSecondPoint, p, out, lanes, next);
    case tPacketStep::SCHEME_STEFFENSEN:
      return twoPointVectors<tVectorLanes, kFullPath, tPacketStep::SCHEME_STEFFENSEN>(
          atSecondPoint, p, out, lanes, next);
    default:
      throw std::logic_error("not a two-point step on f(z)");
  }
}

// Every vector of a packet through one round of the step on f(z): a
// two-point step's first. The methods for any map step in
// advanceSystemWith; a scheme named nowhere here is a compile-time warning.
template <typename tVectorLanes, bool kFullPath>
tPacketStep::tFound advanceVectors(tPacketStep::SCHEME scheme, const tPacketStep::tParameters& p,
                                   const tPacketStep::tOutputs& out, tPacketStep::tLanes& lanes,
                                   const tPacketStep::tPoints& next) {
  switch (scheme) {
    case tPacketStep::SCHEME_NEWTON:
    case tPacketStep::SCHEME_RUNGE_KUTTA4:
      break;
    case tPacketStep::SCHEME_HALLEY:
      return correctionVectors<tVectorLanes, kFullPath, tPacketStep::SCHEME_HALLEY>(p, out, lanes,
                                                                                    next);
    case tPacketStep::SCHEME_SCHRODER:
      return correctionVectors<tVectorLanes, kFullPath, tPacketStep::SCHEME_SCHRODER>(p, out, lanes,
                                                                                      next);
    case tPacketStep::SCHEME_LAGUERRE:
      return correctionVectors<tVectorLanes, kFullPath, tPacketStep::SCHEME_LAGUERRE>(p, out, lanes,
                                                                                      next);
    case tPacketStep::SCHEME_CHEBYSHEV_HALLEY:
      return correctionVectors<tVectorLanes, kFullPath, tPacketStep::SCHEME_CHEBYSHEV_HALLEY>(
          p, out, lanes, next);
    case tPacketStep::SCHEME_TRAUB:
    case tPacketStep::SCHEME_KING:
    case tPacketStep::SCHEME_JARRATT:
    case tPacketStep::SCHEME_STEFFENSEN:
      return twoPointRound<tVectorLanes, kFullPath>(scheme, false, p, out, lanes, next);
    case tPacketStep::SCHEME_TRAUB_SYSTEM:
    case tPacketStep::SCHEME_JARRATT_SYSTEM:
    case tPacketStep::SCHEME_CHEBYSHEV_SYSTEM:
    case tPacketStep::SCHEME_HALLEY_SYSTEM:
    case tPacketStep::SCHEME_BACKTRACKING_NEWTON:
      throw std::logic_error("a method for any map steps in advanceSystemWith");
  }
  // The bits gather apart from the value returned, which lives in the
  // caller's memory: the stores to the lanes might alias it, and it would be
  // reloaded and stored again for every vector.
  tPacketStep::tFound bits = {0, 0, 0, 0, 0};
  for (unsigned l = 0; l < tPacketStep::LANES; l += tVectorLanes::WIDTH) {
    if (scheme == tPacketStep::SCHEME_NEWTON) {
      newtonLanes<tVectorLanes, kFullPath>(p, out, lanes, next, l, bits);
    } else {
      rungeKutta4Lanes<tVectorLanes, kFullPath>(p, out, lanes, next, l, bits);
    }
  }
  const tPacketStep::tFound found = bits;
  return found;
}

}  // namespace

template <typename tVectorLanes>
void tPacketStep::invertWith(const tOutputs& out, double (*inverse)[LANES]) {
  for (unsigned l = 0; l < LANES; l += tVectorLanes::WIDTH) {
    const tEvaluation<tVectorLanes> e(out, l);
    tVectorLanes::store(inverse[0] + l, e.m0);
    tVectorLanes::store(inverse[1] + l, e.m1);
    tVectorLanes::store(inverse[2] + l, e.m2);
    tVectorLanes::store(inverse[3] + l, e.m3);
  }
}

template <typename tVectorLanes>
tPacketStep::tFound tPacketStep::advanceWith(SCHEME scheme, bool fullPath,
                                             const tParameters& parameters, const tOutputs& out,
                                             tLanes& lanes, const tPoints& next) {
  if (isSystemScheme(scheme)) {
    return advanceSystemWith<tVectorLanes>(scheme, false, fullPath, parameters, out, lanes, next);
  }
  if (fullPath) return advanceVectors<tVectorLanes, true>(scheme, parameters, out, lanes, next);
  return advanceVectors<tVectorLanes, false>(scheme, parameters, out, lanes, next);
}

template <typename tVectorLanes>
tPacketStep::tFound tPacketStep::advanceSecondPointWith(SCHEME scheme, bool fullPath,
                                                        const tParameters& parameters,
                                                        const tOutputs& out, tLanes& lanes,
                                                        const tPoints& next) {
  if (isSystemScheme(scheme)) {
    if (!evaluatesSecondPoint(scheme)) throw std::logic_error("a step without a second point");
    return advanceSystemWith<tVectorLanes>(scheme, true, fullPath, parameters, out, lanes, next);
  }
  if (fullPath)
    return twoPointRound<tVectorLanes, true>(scheme, true, parameters, out, lanes, next);
  return twoPointRound<tVectorLanes, false>(scheme, true, parameters, out, lanes, next);
}

#endif

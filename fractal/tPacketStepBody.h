#ifndef ROOTWEAVER_FRACTAL_TPACKETSTEPBODY_H
#define ROOTWEAVER_FRACTAL_TPACKETSTEPBODY_H

// The body of tPacketStep, included by the translation unit of each
// instruction set, which instantiates it with its lane type.

#include <limits>

#include "expr/tExactPower.h"
#include "expr/tFunction.h"
#include "fractal/tPacketStep.h"

namespace {

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

  tEvaluation(const tPacketStep::tOutputs& out, unsigned l)
      : f1(tVectorLanes::load(out[0] + l)), f2(tVectorLanes::load(out[1] + l)) {
    const V f11 = tVectorLanes::load(out[2] + l);
    const V f12 = tVectorLanes::load(out[3] + l);
    const V f21 = tVectorLanes::load(out[4] + l);
    const V f22 = tVectorLanes::load(out[5] + l);
    // tMatrix2's determinant and inverse, zero below the cutoff and all NaN
    // where the determinant is not finite (tFunction::invertJacobian).
    const V d = f11 * f22 - f21 * f12;
    const V size = tVectorLanes::valuesOf(tVectorLanes::bitsOf(d) & kAbsMask);
    const auto singular = size < tFunction::INVERTIBLE_CUTOFF;
    const auto finite = size <= std::numeric_limits<double>::max();
    const V zero = {};
    const V nan = zero + std::numeric_limits<double>::quiet_NaN();
    m0 = finite ? (singular ? zero : f22 / d) : nan;
    m1 = finite ? (singular ? zero : -f12 / d) : nan;
    m2 = finite ? (singular ? zero : -f21 / d) : nan;
    m3 = finite ? (singular ? zero : f11 / d) : nan;
  }

  // The zero matrix: testIterate's first test, and the singular-set test's.
  auto singular() const {
    const V zero = {};
    return (m0 == zero) & (m1 == zero) & (m2 == zero) & (m3 == zero);
  }
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
  tVectorLanes::store(lanes.x + l, newX);
  tVectorLanes::store(lanes.y + l, newY);
  tVectorLanes::store(next.x + l, newX);
  tVectorLanes::store(next.y + l, newY);
  tVectorLanes::store(lanes.iteration + l, iteration);
  if (!kFullPath) {
    found.gaveUp |= tVectorLanes::maskBits(~stops & (iteration >= p.maxIterations)) << l;
  }
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

// One step z <- z - h c of a method on f(z) on a vector of lanes, as
// tComplexMapSolver::solve makes it: the iterate is tested as Newton's is,
// then the correction is made from f = f1 + i f2, f' = f11 + i f21 and
// f'' = f1xx + i f2xx. A lane whose correction fails stays where it is: its
// solve ends there as singular, or its full path goes on from it.
template <typename tVectorLanes, bool kFullPath>
void correctionLanes(tPacketStep::SCHEME scheme, const tPacketStep::tParameters& p,
                     const tPacketStep::tOutputs& out, tPacketStep::tLanes& lanes,
                     const tPacketStep::tPoints& next, unsigned l, tPacketStep::tFound& found) {
  typedef typename tVectorLanes::tValues V;
  const tEvaluation<tVectorLanes> e(out, l);
  const V zero = {};
  const V one = zero + 1.0;
  const auto stops = reportIterate<kFullPath>(e, zero == zero, p.residualLimit, l, found);
  const tComplexLanes<V> f = {e.f1, e.f2};
  const tComplexLanes<V> d1 = {tVectorLanes::load(out[2] + l), tVectorLanes::load(out[4] + l)};
  const tComplexLanes<V> d2 = {tVectorLanes::load(out[6] + l), tVectorLanes::load(out[7] + l)};
  tComplexLanes<V> c;
  const auto failed = scheme == tPacketStep::SCHEME_HALLEY ? halleyCorrection(f, d1, d2, c)
                      : scheme == tPacketStep::SCHEME_SCHRODER
                          ? schroderCorrection(f, d1, d2, c)
                          : chebyshevHalleyCorrection(p.a, f, d1, d2, c);
  const auto stays = stops | failed;
  // A full path counts every iteration; a solve stops counting where it ends.
  const auto counts = kFullPath ? zero == zero : ~stays;
  const V x = tVectorLanes::load(lanes.x + l);
  const V y = tVectorLanes::load(lanes.y + l);
  // x -= h (c.re, c.im), as tVector2 scales and subtracts.
  const V newX = stays ? x : x - c.re * p.h;
  const V newY = stays ? y : y - c.im * p.h;
  const V iteration = tVectorLanes::load(lanes.iteration + l) + (counts ? one : zero);
  tVectorLanes::store(lanes.x + l, newX);
  tVectorLanes::store(lanes.y + l, newY);
  tVectorLanes::store(next.x + l, newX);
  tVectorLanes::store(next.y + l, newY);
  tVectorLanes::store(lanes.iteration + l, iteration);
  if (!kFullPath) {
    found.singular |= tVectorLanes::maskBits(~stops & failed) << l;
    found.gaveUp |= tVectorLanes::maskBits(~stays & (iteration >= p.maxIterations)) << l;
  }
}

// Every vector of a packet, through the scheme's kernel.
template <typename tVectorLanes, bool kFullPath>
tPacketStep::tFound advanceVectors(tPacketStep::SCHEME scheme, const tPacketStep::tParameters& p,
                                   const tPacketStep::tOutputs& out, tPacketStep::tLanes& lanes,
                                   const tPacketStep::tPoints& next) {
  tPacketStep::tFound found = {0, 0, 0, 0, 0};
  for (unsigned l = 0; l < tPacketStep::LANES; l += tVectorLanes::WIDTH) {
    if (scheme == tPacketStep::SCHEME_NEWTON) {
      newtonLanes<tVectorLanes, kFullPath>(p, out, lanes, next, l, found);
    } else if (scheme == tPacketStep::SCHEME_RUNGE_KUTTA4) {
      rungeKutta4Lanes<tVectorLanes, kFullPath>(p, out, lanes, next, l, found);
    } else {
      correctionLanes<tVectorLanes, kFullPath>(scheme, p, out, lanes, next, l, found);
    }
  }
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
  if (fullPath) return advanceVectors<tVectorLanes, true>(scheme, parameters, out, lanes, next);
  return advanceVectors<tVectorLanes, false>(scheme, parameters, out, lanes, next);
}

#endif

#ifndef ROOTWEAVER_FRACTAL_TSYSTEMSTEPBODY_H
#define ROOTWEAVER_FRACTAL_TSYSTEMSTEPBODY_H

// The steps of the methods for any map (tSystemSolver) on whole packets,
// included after tPacketStepBody.h by the translation unit of each
// instruction set. Each lane makes the IEEE operations of tSystemSolver::walk
// and of its method's next() and correction(), in tVector2's and tMatrix2's
// arithmetic written out the same way, so that it ends where solve() ends bit
// for bit.

#include "fractal/tBacktrackingNewtonSolver.h"
#include "fractal/tPacketStepBody.h"

namespace {

// A tVector2 in each lane of a vector.
template <typename V>
struct tPairLanes {
  V x;
  V y;
};

// A tMatrix2 in each lane of a vector, row by row.
template <typename V>
struct tMatrixLanes {
  V m0;
  V m1;
  V m2;
  V m3;

  // The zero matrix: a missing inverse.
  auto isZero() const {
    const V zero = {};
    return (m0 == zero) & (m1 == zero) & (m2 == zero) & (m3 == zero);
  }
};

template <typename V>
tPairLanes<V> operator*(const tMatrixLanes<V>& a, const tPairLanes<V>& v) {
  return {a.m0 * v.x + a.m1 * v.y, a.m2 * v.x + a.m3 * v.y};
}

template <typename V>
tMatrixLanes<V> operator*(const tMatrixLanes<V>& a, const tMatrixLanes<V>& b) {
  return {a.m0 * b.m0 + a.m1 * b.m2, a.m0 * b.m1 + a.m1 * b.m3, a.m2 * b.m0 + a.m3 * b.m2,
          a.m2 * b.m1 + a.m3 * b.m3};
}

// x - h v, as tVector2 scales and subtracts.
template <typename V>
tPairLanes<V> stepBack(const tPairLanes<V>& x, double h, const tPairLanes<V>& v) {
  return {x.x - v.x * h, x.y - v.y * h};
}

template <typename V>
tPairLanes<V> stepBack(const tPairLanes<V>& x, V t, const tPairLanes<V>& v) {
  return {x.x - v.x * t, x.y - v.y * t};
}

// tFunction::invertJacobian of a in every lane.
template <typename tVectorLanes, typename V>
tMatrixLanes<V> inverseLanes(const tMatrixLanes<V>& a) {
  tMatrixLanes<V> inverse;
  invertLanes<tVectorLanes>(a.m0, a.m1, a.m2, a.m3, inverse.m0, inverse.m1, inverse.m2, inverse.m3);
  return inverse;
}

template <typename tVectorLanes, typename V = typename tVectorLanes::tValues>
tPairLanes<V> loadPair(const double* x, const double* y, unsigned l) {
  return {tVectorLanes::load(x + l), tVectorLanes::load(y + l)};
}

template <typename tVectorLanes, typename V>
void storePair(double* x, double* y, unsigned l, const tPairLanes<V>& v) {
  tVectorLanes::store(x + l, v.x);
  tVectorLanes::store(y + l, v.y);
}

// a where the mask is set, b elsewhere.
template <typename V, typename tMask>
tPairLanes<V> pick(tMask mask, const tPairLanes<V>& a, const tPairLanes<V>& b) {
  return {mask ? a.x : b.x, mask ? a.y : b.y};
}

template <typename V, typename tMask>
tMatrixLanes<V> pick(tMask mask, const tMatrixLanes<V>& a, const tMatrixLanes<V>& b) {
  return {mask ? a.m0 : b.m0, mask ? a.m1 : b.m1, mask ? a.m2 : b.m2, mask ? a.m3 : b.m3};
}

// One step of Chebyshev's or Halley's method for systems on a vector of
// lanes, with the six second partials at the iterate among the outputs:
// s = J^-1 F, L = J^-1 F''[s] (tSystemSolver::curvature), then the method's
// correction. A lane whose Jacobian or I - L/2 has no inverse stays where it
// is: its solve ends there as singular, or its full path goes on from it.
template <typename tVectorLanes, bool kFullPath, tPacketStep::SCHEME kScheme>
void curvatureLanes(const tPacketStep::tParameters& p, const tPacketStep::tOutputs& out,
                    tPacketStep::tLanes& lanes, const tPacketStep::tPoints& next, unsigned l,
                    tPacketStep::tFound& found) {
  typedef typename tVectorLanes::tValues V;
  const tEvaluation<tVectorLanes> e(out, l);
  const V zero = {};
  const V one = zero + 1.0;
  const auto stops = reportIterate<kFullPath>(e, zero == zero, p.residualLimit, l, found);
  const tMatrixLanes<V> m = {e.m0, e.m1, e.m2, e.m3};
  const tPairLanes<V> s = m * tPairLanes<V>{e.f1, e.f2};
  V d[6];  // f1xx, f1xy, f1yy, f2xx, f2xy, f2yy
  for (unsigned k = 0; k < 6; ++k) d[k] = tVectorLanes::load(out[6 + k] + l);
  const tMatrixLanes<V> applied = {d[0] * s.x + d[1] * s.y, d[1] * s.x + d[2] * s.y,
                                   d[3] * s.x + d[4] * s.y, d[4] * s.x + d[5] * s.y};
  const tMatrixLanes<V> curvature = m * applied;
  tPairLanes<V> c;
  auto failed = zero != zero;
  if constexpr (kScheme == tPacketStep::SCHEME_CHEBYSHEV_SYSTEM) {
    const tPairLanes<V> bent = curvature * s;
    c = {s.x + bent.x * 0.5, s.y + bent.y * 0.5};
  } else {
    const tMatrixLanes<V> a = {one - curvature.m0 * 0.5, zero - curvature.m1 * 0.5,
                               zero - curvature.m2 * 0.5, one - curvature.m3 * 0.5};
    const tMatrixLanes<V> inverse = inverseLanes<tVectorLanes>(a);
    failed = inverse.isZero();
    c = inverse * s;
  }
  const auto stays = stops | e.singular() | failed;
  // A full path counts every iteration; a solve stops counting where it ends.
  const auto counts = kFullPath ? zero == zero : ~stays;
  const tPairLanes<V> x = loadPair<tVectorLanes>(lanes.x, lanes.y, l);
  const tPairLanes<V> after = pick(stays, x, stepBack(x, p.h, c));
  const V iteration = tVectorLanes::load(lanes.iteration + l) + (counts ? one : zero);
  storePair<tVectorLanes>(lanes.x, lanes.y, l, after);
  storePair<tVectorLanes>(next.x, next.y, l, after);
  tVectorLanes::store(lanes.iteration + l, iteration);
  if (!kFullPath) {
    found.singular |= tVectorLanes::maskBits(~stops & failed) << l;
    found.gaveUp |= tVectorLanes::maskBits(~stays & (iteration >= p.maxIterations)) << l;
  }
}

// The first round of Traub's or Jarratt's method for systems on a vector of
// lanes, at their iterates x: x is tested and s = J(x)^-1 F(x) formed; the
// point y is evaluated next (x - s, or x - (2/3) s for Jarratt's), at
// stage 1, which keeps s with J(x)^-1 (Traub's) or J(x) (Jarratt's) in the
// lanes' slopes. A step that fails here (a singular Jacobian) ends the solve
// as singular; on a full path it is evaluated at x once more, at stage 2, so
// that every step takes two rounds and the corner walks keep in step.
template <typename tVectorLanes, bool kFullPath, tPacketStep::SCHEME kScheme>
void secondPointFirstLanes(const tPacketStep::tParameters& p, const tPacketStep::tOutputs& out,
                           tPacketStep::tLanes& lanes, const tPacketStep::tPoints& next, unsigned l,
                           tPacketStep::tFound& found) {
  typedef typename tVectorLanes::tValues V;
  const V zero = {};
  const V one = zero + 1.0;
  const tEvaluation<tVectorLanes> e(out, l);
  const auto stops = reportIterate<kFullPath>(e, zero == zero, p.residualLimit, l, found);
  const tPairLanes<V> x = loadPair<tVectorLanes>(lanes.x, lanes.y, l);
  const tMatrixLanes<V> inverse = {e.m0, e.m1, e.m2, e.m3};
  const tPairLanes<V> s = inverse * tPairLanes<V>{e.f1, e.f2};
  tPairLanes<V> y;
  tMatrixLanes<V> keep;
  if constexpr (kScheme == tPacketStep::SCHEME_TRAUB_SYSTEM) {
    y = {x.x - s.x, x.y - s.y};
    keep = inverse;
  } else {
    y = stepBack(x, 2.0 / 3.0, s);
    keep = {tVectorLanes::load(out[2] + l), tVectorLanes::load(out[3] + l),
            tVectorLanes::load(out[4] + l), tVectorLanes::load(out[5] + l)};
  }
  const V now[6] = {s.x, s.y, keep.m0, keep.m1, keep.m2, keep.m3};
  for (unsigned k = 0; k < 6; ++k) tVectorLanes::store(lanes.slopes[k / 2][k % 2] + l, now[k]);
  const auto fails = e.singular();
  storePair<tVectorLanes>(next.x, next.y, l, pick(fails, x, y));
  tVectorLanes::store(lanes.stage + l, fails ? one + 1.0 : one);
  if (!kFullPath) found.singular |= tVectorLanes::maskBits(~stops & fails) << l;
}

// The second round of Traub's or Jarratt's method for systems on a vector of
// lanes, with F(y) or J(y) among the outputs (the others may hold anything):
// a lane at stage 1 finishes its correction from what its iterate kept,
// with F(y) (Traub's) or (3 J(y) - J(x))^-1 (Jarratt's), and moves,
// x <- x - h c, unless that matrix has no inverse, which ends the solve as
// singular; a full path stays at x then, as it does at stage 2. A lane at
// stage 0, started since the first round, waits for the next.
template <typename tVectorLanes, bool kFullPath, tPacketStep::SCHEME kScheme>
void secondPointSecondLanes(const tPacketStep::tParameters& p, const tPacketStep::tOutputs& out,
                            tPacketStep::tLanes& lanes, const tPacketStep::tPoints& next,
                            unsigned l, tPacketStep::tFound& found) {
  typedef typename tVectorLanes::tValues V;
  const V stage = tVectorLanes::load(lanes.stage + l);
  const V zero = {};
  const V one = zero + 1.0;
  const auto waits = stage == zero;
  const auto atSecond = stage == one;
  const tPairLanes<V> x = loadPair<tVectorLanes>(lanes.x, lanes.y, l);
  V kept[6];  // s, then J(x)^-1 or J(x)
  for (unsigned k = 0; k < 6; ++k) kept[k] = tVectorLanes::load(lanes.slopes[k / 2][k % 2] + l);
  const tPairLanes<V> keptS = {kept[0], kept[1]};
  const tMatrixLanes<V> keptMatrix = {kept[2], kept[3], kept[4], kept[5]};
  tPairLanes<V> c;
  auto fails = zero != zero;
  if constexpr (kScheme == tPacketStep::SCHEME_TRAUB_SYSTEM) {
    const tPairLanes<V> back = keptMatrix * loadPair<tVectorLanes>(out[0], out[1], l);
    c = {keptS.x + back.x, keptS.y + back.y};
  } else {
    const tMatrixLanes<V> thrice = {
        tVectorLanes::load(out[2] + l) * 3.0, tVectorLanes::load(out[3] + l) * 3.0,
        tVectorLanes::load(out[4] + l) * 3.0, tVectorLanes::load(out[5] + l) * 3.0};
    const tMatrixLanes<V> difference = {thrice.m0 - keptMatrix.m0, thrice.m1 - keptMatrix.m1,
                                        thrice.m2 - keptMatrix.m2, thrice.m3 - keptMatrix.m3};
    const tMatrixLanes<V> sum = {thrice.m0 + keptMatrix.m0, thrice.m1 + keptMatrix.m1,
                                 thrice.m2 + keptMatrix.m2, thrice.m3 + keptMatrix.m3};
    const tMatrixLanes<V> inverse = inverseLanes<tVectorLanes>(difference);
    fails = atSecond & inverse.isZero();
    const tPairLanes<V> half = inverse * (sum * keptS);
    c = {half.x * 0.5, half.y * 0.5};
  }
  const auto moves = atSecond & ~fails;
  const tPairLanes<V> after = pick(moves, stepBack(x, p.h, c), x);
  finishTwoPointLanes<tVectorLanes, kFullPath>(p, lanes, next, l, after.x, after.y, waits, moves,
                                               fails, found);
}

// One round of Traub's or Jarratt's method for systems on a vector of lanes.
template <typename tVectorLanes, bool kFullPath, tPacketStep::SCHEME kScheme>
void secondPointLanes(bool atSecondPoint, const tPacketStep::tParameters& p,
                      const tPacketStep::tOutputs& out, tPacketStep::tLanes& lanes,
                      const tPacketStep::tPoints& next, unsigned l, tPacketStep::tFound& found) {
  if (atSecondPoint) {
    secondPointSecondLanes<tVectorLanes, kFullPath, kScheme>(p, out, lanes, next, l, found);
  } else {
    secondPointFirstLanes<tVectorLanes, kFullPath, kScheme>(p, out, lanes, next, l, found);
  }
}

// One evaluation of Newton's method with backtracking on a vector of lanes.
// A lane at stage 0 stands on its iterate x; at stage k from 1 to HALVINGS on
// its trial point x - t d after k - 1 halvings, with the Newton step d,
// |F(x)| and t kept in its slopes. A trial where |F| is below |F(x)| is taken
// as the next iterate, and since it is the point just evaluated the lane goes
// on from it at once, as at stage 0: the evaluation is the one the next
// iteration makes there, bit for bit. After the last halving the point is
// taken untried and evaluated at stage 0. A singular Jacobian ends the solve;
// a full path stays there for the iteration.
template <typename tVectorLanes, bool kFullPath>
void backtrackingLanes(const tPacketStep::tParameters& p, const tPacketStep::tOutputs& out,
                       tPacketStep::tLanes& lanes, const tPacketStep::tPoints& next, unsigned l,
                       tPacketStep::tFound& found) {
  typedef typename tVectorLanes::tValues V;
  const tEvaluation<tVectorLanes> e(out, l);
  const V stage = tVectorLanes::load(lanes.stage + l);
  const V zero = {};
  const V one = zero + 1.0;
  const tPairLanes<V> x = loadPair<tVectorLanes>(lanes.x, lanes.y, l);
  const tPairLanes<V> d = loadPair<tVectorLanes>(lanes.slopes[0][0], lanes.slopes[0][1], l);
  const V residual = tVectorLanes::load(lanes.slopes[1][0] + l);
  const V t = tVectorLanes::load(lanes.slopes[1][1] + l);

  // Where a lane at a trial goes: to the trial itself where |F| decreased
  // there, else to the trial after one more halving, which after the last
  // halving is taken untried.
  const auto atTrial = stage != zero;
  const V length = tVectorLanes::squareRoot(e.f1 * e.f1 + e.f2 * e.f2);
  const auto decreased = atTrial & (length < residual);
  const auto lastHalving =
      atTrial & ~decreased & (stage == static_cast<double>(tBacktrackingNewtonSolver::HALVINGS));
  const auto moves = decreased | lastHalving;
  const V halved = t * 0.5;
  const V taken = decreased ? t : halved;
  const tPairLanes<V> trial = stepBack(x, taken, d);
  const tPairLanes<V> reached = pick(moves, trial, x);
  V iteration = tVectorLanes::load(lanes.iteration + l) + (moves ? one : zero);
  auto gaveUp = zero != zero;
  if (!kFullPath) gaveUp = moves & (iteration >= p.maxIterations);

  // The lanes on their iterate now: those at stage 0 and those that moved to
  // the trial just evaluated with iterations left.
  const auto atIterate = ~atTrial | (decreased & ~gaveUp);
  reportIterate<kFullPath>(e, atIterate, p.residualLimit, l, found);
  const auto stays = atIterate & e.singular();
  const auto starts = atIterate & ~stays;
  const tMatrixLanes<V> inverse = {e.m0, e.m1, e.m2, e.m3};
  const tPairLanes<V> step = inverse * tPairLanes<V>{e.f1, e.f2};
  if (kFullPath) iteration = iteration + (stays ? one : zero);
  // A trial not taken is halved; the lanes that start a step try the full one.
  const auto halves = atTrial & ~moves;
  storePair<tVectorLanes>(lanes.x, lanes.y, l, reached);
  storePair<tVectorLanes>(next.x, next.y, l,
                          pick(starts, stepBack(reached, p.h, step), pick(atTrial, trial, x)));
  storePair<tVectorLanes>(lanes.slopes[0][0], lanes.slopes[0][1], l, pick(starts, step, d));
  tVectorLanes::store(lanes.slopes[1][0] + l, starts ? length : residual);
  tVectorLanes::store(lanes.slopes[1][1] + l, starts ? zero + p.h : halved);
  tVectorLanes::store(lanes.stage + l, starts ? one : (halves ? stage + 1.0 : zero));
  tVectorLanes::store(lanes.iteration + l, iteration);
  if (!kFullPath) found.gaveUp |= tVectorLanes::maskBits(gaveUp) << l;
}

// Every vector of a packet, through the scheme's kernel.
template <typename tVectorLanes, bool kFullPath>
tPacketStep::tFound advanceSystemVectors(tPacketStep::SCHEME scheme, bool atSecondPoint,
                                         const tPacketStep::tParameters& p,
                                         const tPacketStep::tOutputs& out,
                                         tPacketStep::tLanes& lanes,
                                         const tPacketStep::tPoints& next) {
  tPacketStep::tFound found = {0, 0, 0, 0, 0};
  for (unsigned l = 0; l < tPacketStep::LANES; l += tVectorLanes::WIDTH) {
    switch (scheme) {
      case tPacketStep::SCHEME_TRAUB_SYSTEM:
        secondPointLanes<tVectorLanes, kFullPath, tPacketStep::SCHEME_TRAUB_SYSTEM>(
            atSecondPoint, p, out, lanes, next, l, found);
        break;
      case tPacketStep::SCHEME_JARRATT_SYSTEM:
        secondPointLanes<tVectorLanes, kFullPath, tPacketStep::SCHEME_JARRATT_SYSTEM>(
            atSecondPoint, p, out, lanes, next, l, found);
        break;
      case tPacketStep::SCHEME_CHEBYSHEV_SYSTEM:
        curvatureLanes<tVectorLanes, kFullPath, tPacketStep::SCHEME_CHEBYSHEV_SYSTEM>(
            p, out, lanes, next, l, found);
        break;
      case tPacketStep::SCHEME_HALLEY_SYSTEM:
        curvatureLanes<tVectorLanes, kFullPath, tPacketStep::SCHEME_HALLEY_SYSTEM>(p, out, lanes,
                                                                                   next, l, found);
        break;
      case tPacketStep::SCHEME_BACKTRACKING_NEWTON:
        backtrackingLanes<tVectorLanes, kFullPath>(p, out, lanes, next, l, found);
        break;
      default:
        throw std::logic_error("not a method for any map");
    }
  }
  return found;
}

}  // namespace

template <typename tVectorLanes>
tPacketStep::tFound tPacketStep::advanceSystemWith(SCHEME scheme, bool atSecondPoint, bool fullPath,
                                                   const tParameters& parameters,
                                                   const tOutputs& out, tLanes& lanes,
                                                   const tPoints& next) {
  if (fullPath) {
    return advanceSystemVectors<tVectorLanes, true>(scheme, atSecondPoint, parameters, out, lanes,
                                                    next);
  }
  return advanceSystemVectors<tVectorLanes, false>(scheme, atSecondPoint, parameters, out, lanes,
                                                   next);
}

#endif

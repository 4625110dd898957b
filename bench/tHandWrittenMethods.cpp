#include "bench/tHandWrittenMethods.h"

#include <cmath>
#include <cstring>

#include "fractal/tComplex.h"

namespace {

const double kRootLimit = 1e-20;  // |f|^2 below it: a root, |f| < 1e-10
const double kCutoff = 1e-10;     // |f'|^2 below it, or another determinant: no inverse
// In the order of tHandWrittenMethods::OUTCOME.
const tComplex kRoots[3] = {{1.0, 0.0}, {-0.5, 0.8660254037844386}, {-0.5, -0.8660254037844386}};

// f = z^3 - 1 and f' = 3 z^2.
inline void cubic(const tComplex& z, tComplex& f, tComplex& d1) {
  const tComplex z2 = z * z;
  f = z2 * z - tComplex{1.0, 0.0};
  d1 = 3.0 * z2;
}

inline tComplex valueAt(const tComplex& z) {
  const tComplex z2 = z * z;
  return z2 * z - tComplex{1.0, 0.0};
}

inline tComplex secondDerivative(const tComplex& z) { return 6.0 * z; }

const tComplex kOne = {1.0, 0.0};

// The iterate and f, f' there.
struct tAt {
  tComplex z;
  tComplex f;
  tComplex d1;
};

// Each method moves the iterate on; false where its step is singular.

bool halley(const tAt& at, tComplex& next) {
  const tComplex d2 = secondDerivative(at.z);
  const tComplex denominator = 2.0 * (at.d1 * at.d1) - at.f * d2;
  if (denominator.isZero()) return false;
  next = at.z - (2.0 * (at.f * at.d1)) / denominator;
  return true;
}

bool chebyshev(const tAt& at, tComplex& next) {
  const tComplex q = at.d1 * at.d1;
  if (q.isZero()) return false;
  const tComplex l = (at.f * secondDerivative(at.z)) / q;
  next = at.z - (kOne + 0.5 * l) * (at.f / at.d1);
  return true;
}

bool superHalley(const tAt& at, tComplex& next) {
  const tComplex q = at.d1 * at.d1;
  if (q.isZero()) return false;
  const tComplex l = (at.f * secondDerivative(at.z)) / q;
  const tComplex d = 2.0 * (kOne - l);
  if (d.isZero()) return false;
  next = at.z - (kOne + l / d) * (at.f / at.d1);
  return true;
}

bool schroder(const tAt& at, tComplex& next) {
  const tComplex denominator = at.d1 * at.d1 - at.f * secondDerivative(at.z);
  if (denominator.isZero()) return false;
  next = at.z - (at.f * at.d1) / denominator;
  return true;
}

bool traub(const tAt& at, tComplex& next) {
  const tComplex n = at.f / at.d1;
  next = at.z - (n + valueAt(at.z - n) / at.d1);
  return true;
}

// King's family; b = 0 is Ostrowski's method.
template <int TWICE_B>
bool king(const tAt& at, tComplex& next) {
  const double b = 0.5 * TWICE_B;
  const tComplex n = at.f / at.d1;
  const tComplex fy = valueAt(at.z - n);
  const tComplex denominator = at.f + (b - 2.0) * fy;
  if (denominator.isZero()) return false;
  next = at.z - (n + (fy / at.d1) * ((at.f + b * fy) / denominator));
  return true;
}

bool jarratt(const tAt& at, tComplex& next) {
  const tComplex n = at.f / at.d1;
  const tComplex u = at.z - (2.0 / 3.0) * n;
  const tComplex p = 3.0 * (3.0 * (u * u));
  const tComplex denominator = p - at.d1;
  if (denominator.isZero()) return false;
  next = at.z - (0.5 * ((p + at.d1) / denominator)) * n;
  return true;
}

bool steffensen(const tAt& at, tComplex& next) {
  const tComplex denominator = valueAt(at.z + at.f) - at.f;
  if (denominator.isZero()) return false;
  next = at.z - (at.f * at.f) / denominator;
  return true;
}

bool laguerre(const tAt& at, tComplex& next) {
  const double n = 3.0;
  const tComplex g = at.d1 / at.f;
  const tComplex g2 = g * g;
  const tComplex h = g2 - secondDerivative(at.z) / at.f;
  const tComplex s = squareRoot((n - 1.0) * (n * h - g2));
  const tComplex plus = g + s;
  const tComplex minus = g - s;
  const tComplex& denominator = plus.norm() >= minus.norm() ? plus : minus;
  if (denominator.isZero()) return false;
  next = at.z - tComplex{n, 0.0} / denominator;
  return true;
}

// On f(z) the Jacobian is multiplication by f', and F''[s] by f'' s: the
// methods for systems, written for this map, are complex ones whose extra
// inverses are singular where the complex factor's norm is below the cutoff.

bool jarrattSystem(const tAt& at, tComplex& next) {
  const tComplex s = at.f / at.d1;
  const tComplex y = at.z - (2.0 / 3.0) * s;
  const tComplex thrice = 3.0 * (3.0 * (y * y));
  const tComplex difference = thrice - at.d1;
  if (difference.norm() < kCutoff) return false;
  next = at.z - 0.5 * (((thrice + at.d1) * s) / difference);
  return true;
}

bool chebyshevSystem(const tAt& at, tComplex& next) {
  const tComplex s = at.f / at.d1;
  next = at.z - (s + 0.5 * (((secondDerivative(at.z) * s) / at.d1) * s));
  return true;
}

bool halleySystem(const tAt& at, tComplex& next) {
  const tComplex s = at.f / at.d1;
  const tComplex a = kOne - 0.5 * ((secondDerivative(at.z) * s) / at.d1);
  if (a.norm() < kCutoff) return false;
  next = at.z - s / a;
  return true;
}

bool backtrackingNewton(const tAt& at, tComplex& next) {
  const tComplex d = at.f / at.d1;
  const double residual = std::sqrt(at.f.norm());
  double t = 1.0;
  next = at.z - d;
  for (int halvings = 0; halvings < 10 && !(std::sqrt(valueAt(next).norm()) < residual);
       ++halvings) {
    t *= 0.5;
    next = at.z - t * d;
  }
  return true;
}

tHandWrittenMethods::OUTCOME outcomeOf(const tComplex& z) {
  return tHandWrittenMethods::rootNear(z.re, z.im);
}

// The one pixel loop, with the method's step inlined.
template <bool (*step)(const tAt&, tComplex&)>
void picture(unsigned side, double low, double high, unsigned iterations, uint8_t* out) {
  for (unsigned row = 0; row < side; ++row) {
    for (unsigned column = 0; column < side; ++column) {
      tAt at;
      at.z = {low + column / static_cast<double>(side) * (high - low),
              low + row / static_cast<double>(side) * (high - low)};
      uint8_t outcome = tHandWrittenMethods::GAVE_UP;
      for (unsigned i = 0; i < iterations; ++i) {
        cubic(at.z, at.f, at.d1);
        if (at.d1.norm() < kCutoff) {
          outcome = tHandWrittenMethods::SINGULAR;
          break;
        }
        if (at.f.norm() < kRootLimit) {
          outcome = outcomeOf(at.z);
          break;
        }
        tComplex next;
        if (!step(at, next)) {
          outcome = tHandWrittenMethods::SINGULAR;
          break;
        }
        at.z = next;
      }
      *out++ = outcome;
    }
  }
}

struct tMethod {
  const char* name;
  void (*picture)(unsigned side, double low, double high, unsigned iterations, uint8_t* out);
};

const tMethod kMethods[] = {
    {"HalleySolver", picture<halley>},
    {"ChebyshevSolver", picture<chebyshev>},
    {"SuperHalleySolver", picture<superHalley>},
    {"SchroderSolver", picture<schroder>},
    {"TraubSolver", picture<traub>},
    {"OstrowskiSolver", picture<king<0>>},
    {"KingSolver", picture<king<1>>},
    {"JarrattSolver", picture<jarratt>},
    {"SteffensenSolver", picture<steffensen>},
    {"LaguerreSolver", picture<laguerre>},
    {"TraubSystemSolver", picture<traub>},
    {"JarrattSystemSolver", picture<jarrattSystem>},
    {"ChebyshevSystemSolver", picture<chebyshevSystem>},
    {"HalleySystemSolver", picture<halleySystem>},
    {"BacktrackingNewtonSolver", picture<backtrackingNewton>},
};

}  // namespace

const std::vector<const char*>& tHandWrittenMethods::names() {
  static const std::vector<const char*> names = [] {
    std::vector<const char*> list;
    for (const tMethod& method : kMethods) list.push_back(method.name);
    return list;
  }();
  return names;
}

bool tHandWrittenMethods::picture(const char* method, unsigned side, double low, double high,
                                  unsigned iterations, std::vector<uint8_t>& outcomes) {
  for (const tMethod& m : kMethods) {
    if (std::strcmp(m.name, method) != 0) continue;
    outcomes.resize(static_cast<std::size_t>(side) * side);
    m.picture(side, low, high, iterations, outcomes.data());
    return true;
  }
  return false;
}

tHandWrittenMethods::OUTCOME tHandWrittenMethods::rootNear(double x, double y) {
  unsigned nearest = 0;
  double least = INFINITY;
  for (unsigned k = 0; k < 3; ++k) {
    const double distance = (tComplex{x, y} - kRoots[k]).norm();
    if (distance < least) {
      least = distance;
      nearest = k;
    }
  }
  return static_cast<OUTCOME>(nearest);
}

#include "bench/tHandWrittenCubic.h"

#include <cmath>

#include "fractal/tRootManager.h"
#include "graphics/tImage.h"
#include "graphics/tVector2.h"

namespace {

// The exponents are read at run time: a compiler that sees pow(x, 2.0) turns
// it into x * x, which is not always what pow gives.
volatile double gTwo = 2.0;
volatile double gThree = 3.0;

const double kEpsilon = 1e-10;  // |F| below it: a root
const double kCutoff = 1e-10;   // |det J| below it: no inverse

// F and the inverse Jacobian at one point, as the formulas of the file give
// them. `singular` is the zero matrix's flag.
struct tPoint {
  double f1, f2;
  double m0, m1, m2, m3;
  bool singular;
};

// The powers x^2, y^2, x^3 and y^3 by pow, the exponents read at run time
// (see above), as cubic.func forms them.
struct tPowCalls {
  double two;
  double three;
  void operator()(double x, double y, double& x2, double& y2, double& x3, double& y3) const {
    x2 = std::pow(x, two);
    y2 = std::pow(y, two);
    x3 = std::pow(x, three);
    y3 = std::pow(y, three);
  }
};

// The same powers by products, as cubic-products.func forms them.
struct tProducts {
  void operator()(double x, double y, double& x2, double& y2, double& x3, double& y3) const {
    x2 = x * x;
    y2 = y * y;
    x3 = x2 * x;
    y3 = y2 * y;
  }
};

template <typename tPowers>
tPoint evaluate(double x, double y, const tPowers& powers) {
  const double a = 1.0;
  double x2;
  double y2;
  double x3;
  double y3;
  powers(x, y, x2, y2, x3, y3);
  tPoint p;
  p.f1 = (x3 - (3.0 * x) * y2) - a;
  p.f2 = (3.0 * x2) * y - y3;
  double j11 = 3.0 * x2 - 3.0 * y2;
  double j12 = (-6.0 * x) * y;
  double j21 = (6.0 * x) * y;
  double j22 = j11;
  double det = j11 * j22 - j21 * j12;
  if (std::fabs(det) < kCutoff) {
    p.m0 = p.m1 = p.m2 = p.m3 = 0.0;
  } else {
    p.m0 = j22 / det;
    p.m1 = -j12 / det;
    p.m2 = -j21 / det;
    p.m3 = j11 / det;
  }
  p.singular = p.m0 == 0.0 && p.m1 == 0.0 && p.m2 == 0.0 && p.m3 == 0.0;
  return p;
}

bool isRoot(const tPoint& p) { return kEpsilon > std::sqrt(p.f1 * p.f1 + p.f2 * p.f2); }

// The Newton flow's direction -J^-1 F.
void flow(const tPoint& p, double& kx, double& ky) {
  kx = (-p.m0) * p.f1 + (-p.m1) * p.f2;
  ky = (-p.m2) * p.f1 + (-p.m3) * p.f2;
}

double coordinate(double index, double side, double low, double high) {
  return low + index / side * (high - low);
}

// Paints the pixel with the outcome of its solve.
void paint(tImage& image, tRootManager& roots, int row, int column, int outcome, double x,
           double y) {
  tPixel color;
  if (outcome == 1) {
    color = roots.getSingularJacobianColor();
  } else if (outcome == 2) {
    color = roots.getNoConvergenceColor();
  } else {
    color = roots.getColorForRoot(tVector2(x, y));
  }
  color[3] = 255;
  image.setPixel(row, column, color);
}

}  // namespace

namespace {

// The basin picture of a solver whose step, given F and the inverse
// Jacobian p at (x, y), moves (x, y) on; the compiler inlines the step.
template <typename tPowers, typename tStep>
void basinPicture(tImage& image, tRootManager& roots, double low, double high, unsigned iterations,
                  const tPowers& powers, tStep step) {
  const int side = static_cast<int>(image.getWidth());
  for (int row = 0; row < side; ++row) {
    for (int column = 0; column < side; ++column) {
      double x = coordinate(column, side, low, high);
      double y = coordinate(row, side, low, high);
      int outcome = 2;
      for (unsigned i = 0; i < iterations; ++i) {
        tPoint p = evaluate(x, y, powers);
        if (p.singular) {
          outcome = 1;
          break;
        }
        if (isRoot(p)) {
          outcome = 0;
          break;
        }
        step(p, x, y, powers);
      }
      paint(image, roots, row, column, outcome, x, y);
    }
  }
}

template <typename tPowers>
void newtonBasins(tImage& image, tRootManager& roots, double low, double high, unsigned iterations,
                  double h, const tPowers& powers) {
  basinPicture(image, roots, low, high, iterations, powers,
               [h](const tPoint& p, double& x, double& y, const tPowers&) {
                 double hm0 = p.m0 * h;
                 double hm1 = p.m1 * h;
                 double hm2 = p.m2 * h;
                 double hm3 = p.m3 * h;
                 x -= hm0 * p.f1 + hm1 * p.f2;
                 y -= hm2 * p.f1 + hm3 * p.f2;
               });
}

template <typename tPowers>
void rungeKutta4Basins(tImage& image, tRootManager& roots, double low, double high,
                       unsigned iterations, double h, const tPowers& powers) {
  basinPicture(image, roots, low, high, iterations, powers,
               [h](const tPoint& p, double& x, double& y, const tPowers& powers) {
                 double k1x, k1y, k2x, k2y, k3x, k3y, k4x, k4y;
                 flow(p, k1x, k1y);
                 flow(evaluate(k1x * (0.5 * h) + x, k1y * (0.5 * h) + y, powers), k2x, k2y);
                 flow(evaluate(k2x * (0.5 * h) + x, k2y * (0.5 * h) + y, powers), k3x, k3y);
                 flow(evaluate(k3x * h + x, k3y * h + y, powers), k4x, k4y);
                 x = x + ((k4x + (k3x * 2.0 + (k2x * 2.0 + k1x))) * h) / 6.0;
                 y = y + ((k4y + (k3y * 2.0 + (k2y * 2.0 + k1y))) * h) / 6.0;
               });
}

}  // namespace

void tHandWrittenCubic::newtonPicture(tImage& image, tRootManager& roots, double low, double high,
                                      unsigned iterations, double h, POWERS powers) {
  if (powers == POWERS_BY_PRODUCTS) {
    newtonBasins(image, roots, low, high, iterations, h, tProducts());
  } else {
    newtonBasins(image, roots, low, high, iterations, h, tPowCalls{gTwo, gThree});
  }
}

void tHandWrittenCubic::rungeKutta4Picture(tImage& image, tRootManager& roots, double low,
                                           double high, unsigned iterations, double h,
                                           POWERS powers) {
  if (powers == POWERS_BY_PRODUCTS) {
    rungeKutta4Basins(image, roots, low, high, iterations, h, tProducts());
  } else {
    rungeKutta4Basins(image, roots, low, high, iterations, h, tPowCalls{gTwo, gThree});
  }
}

void tHandWrittenCubic::newtonSingularSetPicture(tImage& image, double low, double high,
                                                 unsigned iterations, double h) {
  const tPowCalls powers{gTwo, gThree};
  const int side = static_cast<int>(image.getWidth());
  const tPixel off(200, 200, 200, 255);
  const tPixel on(0, 0, 0, 255);
  for (int row = 0; row < side; ++row) {
    for (int column = 0; column < side; ++column) {
      // Corners in the order they are compared: (c - 1/2, r - 1/2),
      // (c + 1/2, r - 1/2), (c - 1/2, r + 1/2), (c + 1/2, r + 1/2).
      double x[4];
      double y[4];
      for (int k = 0; k < 4; ++k) {
        x[k] = coordinate(static_cast<float>(column) + (k % 2 ? 0.5 : -0.5), side, low, high);
        y[k] = coordinate(static_cast<float>(row) + (k / 2 ? 0.5 : -0.5), side, low, high);
      }
      bool straddles = false;
      for (unsigned i = 0; i < iterations && !straddles; ++i) {
        tPoint p[4];
        for (int k = 0; k < 4; ++k) p[k] = evaluate(x[k], y[k], powers);
        bool positive = p[0].m0 * p[0].m3 - p[0].m2 * p[0].m1 > 0;
        for (int k = 0; k < 4 && !straddles; ++k) {
          straddles = p[k].singular || (p[k].m0 * p[k].m3 - p[k].m2 * p[k].m1 > 0) != positive;
        }
        for (int k = 0; k < 4; ++k) {
          x[k] -= (p[k].m0 * h) * p[k].f1 + (p[k].m1 * h) * p[k].f2;
          y[k] -= (p[k].m2 * h) * p[k].f1 + (p[k].m3 * h) * p[k].f2;
        }
      }
      image.setPixel(row, column, straddles ? on : off);
    }
  }
}

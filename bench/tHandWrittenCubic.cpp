#include "bench/tHandWrittenCubic.h"

#include <cmath>

#include "fractal/tIterativeSolver.h"
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
// Jacobian p at (x, y), moves (x, y) on, each pixel painted by `paint` with
// its outcome (0 a root, 1 singular, 2 gave up) and last point; the
// compiler inlines the step and the painting. `isRoot` tells F at a root.
template <typename tPowers, typename tStep, typename tPaint, typename tIsRoot>
void basinPicture(int side, double low, double high, unsigned iterations, const tPowers& powers,
                  tStep step, tPaint&& paint, tIsRoot converged) {
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
        if (converged(p)) {
          outcome = 0;
          break;
        }
        step(p, x, y, powers);
      }
      paint(row, column, outcome, x, y);
    }
  }
}

// Paints through the registry and the image, as the engine does.
template <typename tPowers, typename tStep>
void basinPicture(tImage& image, tRootManager& roots, double low, double high, unsigned iterations,
                  const tPowers& powers, tStep step) {
  basinPicture(
      static_cast<int>(image.getWidth()), low, high, iterations, powers, step,
      [&](int row, int column, int outcome, double x, double y) {
        paint(image, roots, row, column, outcome, x, y);
      },
      [](const tPoint& p) { return isRoot(p); });
}

// The lean painting: the roots in a local array, the bytes straight into
// the buffer.
class tLeanPainter {
 public:
  tLeanPainter(std::vector<unsigned char>& rgba, unsigned side)
      : bytes_(rgba.data()),
        side_(static_cast<int>(side)),
        count_(0),
        sameRootLimit_(tIterativeSolver::squaredLimit(tIterativeSolver::ROOT_EQUALITY_EPSILON)) {}

  void operator()(int row, int column, int outcome, double x, double y) {
    const unsigned char* color = kFailureColors[outcome == 1 ? 0 : 1];
    if (outcome == 0) color = kPresets[rootOf(x, y)];
    unsigned char* pixel = bytes_ + 4 * (static_cast<std::size_t>(row) * side_ + column);
    pixel[0] = color[0];
    pixel[1] = color[1];
    pixel[2] = color[2];
    pixel[3] = 255;
  }

 private:
  static constexpr unsigned char kPresets[3][3] = {{159, 66, 238}, {92, 245, 60}, {32, 137, 128}};
  static constexpr unsigned char kFailureColors[2][3] = {{255, 255, 0}, {50, 50, 50}};

  // The first root met within the tolerance; the point becomes the next
  // root when none is (z^3 - 1 has three).
  int rootOf(double x, double y) {
    for (int i = 0; i < count_; ++i) {
      const double dx = roots_[i][0] - x;
      const double dy = roots_[i][1] - y;
      if (dx * dx + dy * dy < sameRootLimit_) return i;
    }
    // A fourth would take the third's colour, which the bench's comparison
    // of the bytes would show.
    if (count_ == 3) return 2;
    roots_[count_][0] = x;
    roots_[count_][1] = y;
    return count_++;
  }

  unsigned char* bytes_;
  int side_;
  double roots_[3][2];
  int count_;
  double sameRootLimit_;
};

// |F| below the tolerance, compared squared as the engine does.
class tLeanIsRoot {
 public:
  tLeanIsRoot()
      : residualLimit_(tIterativeSolver::squaredLimit(tIterativeSolver::EQUALITY_EPSILON)) {}
  bool operator()(const tPoint& p) const { return p.f1 * p.f1 + p.f2 * p.f2 < residualLimit_; }

 private:
  double residualLimit_;
};

// Newton's step x -= h J^-1 F, rounded as the engine rounds it.
struct tNewtonStep {
  double h;
  template <typename tPowers>
  void operator()(const tPoint& p, double& x, double& y, const tPowers&) const {
    double hm0 = p.m0 * h;
    double hm1 = p.m1 * h;
    double hm2 = p.m2 * h;
    double hm3 = p.m3 * h;
    x -= hm0 * p.f1 + hm1 * p.f2;
    y -= hm2 * p.f1 + hm3 * p.f2;
  }
};

// The classical Runge-Kutta step along the Newton flow.
struct tRungeKutta4Step {
  double h;
  template <typename tPowers>
  void operator()(const tPoint& p, double& x, double& y, const tPowers& powers) const {
    double k1x, k1y, k2x, k2y, k3x, k3y, k4x, k4y;
    flow(p, k1x, k1y);
    flow(evaluate(k1x * (0.5 * h) + x, k1y * (0.5 * h) + y, powers), k2x, k2y);
    flow(evaluate(k2x * (0.5 * h) + x, k2y * (0.5 * h) + y, powers), k3x, k3y);
    flow(evaluate(k3x * h + x, k3y * h + y, powers), k4x, k4y);
    x = x + ((k4x + (k3x * 2.0 + (k2x * 2.0 + k1x))) * h) / 6.0;
    y = y + ((k4y + (k3y * 2.0 + (k2y * 2.0 + k1y))) * h) / 6.0;
  }
};

template <typename tStep>
void leanPicture(std::vector<unsigned char>& rgba, unsigned side, double low, double high,
                 unsigned iterations, tStep step) {
  // Every byte is written: a buffer of the right size is taken as it is.
  rgba.resize(4 * static_cast<std::size_t>(side) * side);
  basinPicture(static_cast<int>(side), low, high, iterations, tProducts(), step,
               tLeanPainter(rgba, side), tLeanIsRoot());
}

}  // namespace

void tHandWrittenCubic::newtonPicture(tImage& image, tRootManager& roots, double low, double high,
                                      unsigned iterations, double h, POWERS powers) {
  if (powers == POWERS_BY_PRODUCTS) {
    basinPicture(image, roots, low, high, iterations, tProducts(), tNewtonStep{h});
  } else {
    basinPicture(image, roots, low, high, iterations, tPowCalls{gTwo, gThree}, tNewtonStep{h});
  }
}

void tHandWrittenCubic::rungeKutta4Picture(tImage& image, tRootManager& roots, double low,
                                           double high, unsigned iterations, double h,
                                           POWERS powers) {
  if (powers == POWERS_BY_PRODUCTS) {
    basinPicture(image, roots, low, high, iterations, tProducts(), tRungeKutta4Step{h});
  } else {
    basinPicture(image, roots, low, high, iterations, tPowCalls{gTwo, gThree}, tRungeKutta4Step{h});
  }
}

void tHandWrittenCubic::leanNewtonPicture(std::vector<unsigned char>& rgba, unsigned side,
                                          double low, double high, unsigned iterations, double h) {
  leanPicture(rgba, side, low, high, iterations, tNewtonStep{h});
}

void tHandWrittenCubic::leanRungeKutta4Picture(std::vector<unsigned char>& rgba, unsigned side,
                                               double low, double high, unsigned iterations,
                                               double h) {
  leanPicture(rgba, side, low, high, iterations, tRungeKutta4Step{h});
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

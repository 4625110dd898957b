#ifndef ROOTWEAVER_BENCH_THANDWRITTENCUBIC_H
#define ROOTWEAVER_BENCH_THANDWRITTENCUBIC_H

#include <vector>

class tImage;
class tRootManager;

// The pictures of "cubic.func" (z^3 - 1) written by hand, as the yardstick of
// the engine: the six formulas typed in as C++, the solver's step written out,
// one pixel after the other on one thread, in plain scalar code.
//
// It computes what the engine computes and gets the same bytes, so every
// formula keeps the operation order of the file (x^3 - 3*x*y^2 - a is
// ((x^3 - (3x) y^2) - a)). The one liberty a person writing it by hand would
// take is to compute x^2, y^2, x^3 and y^3 once per point instead of once per
// formula. The powers are either the libm pow calls that cubic.func makes, or
// the products a C++ programmer would type (x*x*x), which bench/
// cubic-products.func writes in the same order.
class tHandWrittenCubic {
 public:
  // How the powers x^2, y^2, x^3 and y^3 are formed.
  enum POWERS { POWERS_BY_POW, POWERS_BY_PRODUCTS };

  // A square picture of `side` pixels over [low, high]^2, the root colours
  // from the root registry as the engine takes them.
  static void newtonPicture(tImage& image, tRootManager& roots, double low, double high,
                            unsigned iterations, double h, POWERS powers = POWERS_BY_POW);
  static void rungeKutta4Picture(tImage& image, tRootManager& roots, double low, double high,
                                 unsigned iterations, double h, POWERS powers = POWERS_BY_POW);
  // The lean programs, for the powers by products: the three roots kept in
  // a local array as they are met, with the registry's preset colours in
  // that order, each converged pixel compared with them by the registry's
  // tolerance and the bytes (RGBA, row-major) written straight into `rgba`;
  // no call into the engine per pixel. The engine's picture of
  // cubic-products.func with random colours off, byte for byte.
  static void leanNewtonPicture(std::vector<unsigned char>& rgba, unsigned side, double low,
                                double high, unsigned iterations, double h);
  static void leanRungeKutta4Picture(std::vector<unsigned char>& rgba, unsigned side, double low,
                                     double high, unsigned iterations, double h);
  // The singular set for the Newton solver: the four corner paths of each
  // pixel walked in step, compared at every iteration.
  static void newtonSingularSetPicture(tImage& image, double low, double high, unsigned iterations,
                                       double h);
};

#endif

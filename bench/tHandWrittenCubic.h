#ifndef ROOTWEAVER_BENCH_THANDWRITTENCUBIC_H
#define ROOTWEAVER_BENCH_THANDWRITTENCUBIC_H

class tImage;

// The pictures of "cubic.func" (z^3 - 1) written by hand, as the yardstick of
// the engine: the six formulas typed in as C++, the solver's step written out,
// one pixel after the other on one thread, in plain scalar code.
//
// It computes what the engine computes and gets the same bytes, so every
// formula keeps the operation order of the file (x^3 - 3*x*y^2 - a is
// ((x^3 - (3x) y^2) - a)) and the libm pow calls that the formulas make. The
// one liberty a person writing it by hand would take is to compute x^2, y^2,
// x^3 and y^3 once per point instead of once per formula.
class tHandWrittenCubic {
 public:
  // A square picture of `side` pixels over [low, high]^2, the root colours
  // from the root registry as the engine takes them.
  static void newtonPicture(tImage& image, double low, double high, unsigned iterations, double h);
  static void rungeKutta4Picture(tImage& image, double low, double high, unsigned iterations,
                                 double h);
  // The singular set for the Newton solver: the four corner paths of each
  // pixel walked in step, compared at every iteration.
  static void newtonSingularSetPicture(tImage& image, double low, double high, unsigned iterations,
                                       double h);
};

#endif

#ifndef ROOTWEAVER_BENCH_THANDWRITTENMETHODS_H
#define ROOTWEAVER_BENCH_THANDWRITTENMETHODS_H

#include <cstdint>
#include <vector>

// The methods for f(z) and for any map, on z^3 - 1 alone, as a person would
// write each of them for this one map: f = z^3 - 1, f' = 3 z^2 and f'' = 6 z
// in complex arithmetic written out in doubles, the three roots in an array,
// one byte per pixel, on one thread. The yardstick of the engine's pictures
// of "cubicz.func" with a = 1.
//
// Each stops as the engine does: singular where |f'|^2 is below the
// Jacobian's cutoff (for every method, Steffensen's too) or where the
// engine's method finds a denominator zero or another inverse missing, on a
// root where |f| < 1e-10, and gives up at the iteration limit. The
// corrections round in the engine's order; f, f' and f'' do not (the engine
// evaluates formulas expanded from f(z)), so a few boundary pixels may go to
// another root.
class tHandWrittenMethods {
 public:
  // What a pixel came to: the root 1, e^(2 pi i / 3) or e^(-2 pi i / 3), or a failure.
  enum OUTCOME : uint8_t { ROOT_ONE, ROOT_UPPER, ROOT_LOWER, SINGULAR, GAVE_UP };

  // The methods, by the engine's solver names: KingSolver is b = 0.5,
  // LaguerreSolver n = 3.
  static const std::vector<const char*>& names();
  // The outcomes of a square picture of `side` pixels over [low, high]^2,
  // row-major from (low, low), as the engine places its pixels; false when
  // no method has that name.
  static bool picture(const char* method, unsigned side, double low, double high,
                      unsigned iterations, std::vector<uint8_t>& outcomes);
  // The outcome a converged solve at (x, y) has.
  static OUTCOME rootNear(double x, double y);
};

#endif

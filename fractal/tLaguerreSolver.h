#ifndef ROOTWEAVER_FRACTAL_TLAGUERRESOLVER_H
#define ROOTWEAVER_FRACTAL_TLAGUERRESOLVER_H

#include "fractal/tComplexMapSolver.h"

class tExprNode;

// Laguerre's method on a polynomial f(z) of degree n: G = f' / f,
// H = G^2 - f'' / f, c = n / (G +- sqrt((n - 1) (n H - G^2))) with the sign
// that gives the denominator the larger modulus (+ on a tie); cubic at a
// simple root. Rounded in this order: G = f' / f, g = G G, H = g - f'' / f,
// s = squareRoot((n - 1) (n H - g)), d = G + s or G - s by their norms,
// c = (n + 0i) / d.
//
// n is the method parameter when that is a whole number from 1; otherwise
// the degree of f(z) as written (degreeOf), and a map without one is
// refused.
class tLaguerreSolver : public tComplexMapSolver {
 public:
  tLaguerreSolver(unsigned long maxIterations, double stepSize, double parameter);

  // The degree in z of a formula f(z) built from z and constants by sums,
  // products, negation, division by what holds no z, and powers with a whole
  // constant exponent from 0, counted as written (z^2 - z^2 has degree 2);
  // a part without z is a constant, whatever it holds. -1 for any other
  // formula, which is no polynomial in z.
  static double degreeOf(const tExprNode& f);

  bool correction(const tIterate& at, tComplex& c) const override;
  // A real map, and a map whose n is not known.
  std::string refusalFor(const tFunction& f) const override;
  bool getMethodParameter(double& parameter) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
  // n for f.
  double getPacketParameter(const tFunction& f) const override { return degreeFor(f); }

 private:
  // n for f: the parameter's or f(z)'s degree; 0 when neither gives one.
  double degreeFor(const tFunction& f) const;

  double parameter_;  // the method parameter as `use` gave it
};

#endif

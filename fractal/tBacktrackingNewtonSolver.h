#ifndef ROOTWEAVER_FRACTAL_TBACKTRACKINGNEWTONSOLVER_H
#define ROOTWEAVER_FRACTAL_TBACKTRACKINGNEWTONSOLVER_H

#include "fractal/tSystemSolver.h"

// Newton's method with backtracking on |F|: from the Newton step d = J^-1 F
// it tries x - t d with t = h, halving t while |F| there is not below |F(x)|,
// at most HALVINGS times, and then takes the last point tried. Quadratic at
// a simple root, where the full step is taken.
class tBacktrackingNewtonSolver : public tSystemSolver {
 public:
  static constexpr int HALVINGS = 10;

  tBacktrackingNewtonSolver(unsigned long maxIterations, double stepSize);

  bool next(const tFunction& f, const tVector2& x, const tPoint& at,
            tVector2& after) const override;
  // The Newton step d.
  bool correction(const tFunction& f, const tVector2& x, const tPoint& at,
                  tVector2& c) const override;
  bool getPacketScheme(tPacketStep::SCHEME& scheme) const override;
};

#endif

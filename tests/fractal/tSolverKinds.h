#ifndef ROOTWEAVER_TESTS_FRACTAL_TSOLVERKINDS_H
#define ROOTWEAVER_TESTS_FRACTAL_TSOLVERKINDS_H

#include <memory>

#include "fractal/tAdamsBashforthSolver2.h"
#include "fractal/tBacktrackingNewtonSolver.h"
#include "fractal/tChebyshevHalleySolver.h"
#include "fractal/tChebyshevSystemSolver.h"
#include "fractal/tHalleySolver.h"
#include "fractal/tHalleySystemSolver.h"
#include "fractal/tHeunSolver.h"
#include "fractal/tJarrattSolver.h"
#include "fractal/tJarrattSystemSolver.h"
#include "fractal/tKingSolver.h"
#include "fractal/tLaguerreSolver.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tRefinedNewtonSolver.h"
#include "fractal/tRungeKuttaSolver2.h"
#include "fractal/tRungeKuttaSolver4.h"
#include "fractal/tSchroderSolver.h"
#include "fractal/tSteffensenSolver.h"
#include "fractal/tTraubSolver.h"
#include "fractal/tTraubSystemSolver.h"

// The six solvers by kind: Newton, refined Newton, Heun, RK4, RK2, AB2.
const int kSolverKinds = 6;
const int kAdamsBashforth = 5;  // its path holds one point more than it iterates
// The names the data files show (the RK2 one as the program has always written it).
const char* const kSolverNames[] = {"NewtonSolver", "RefinedNewtonSolver",
                                    "HeunSolver", "RungeKuttaSolver4",
                                    "tRungeKuttaSolver2", "AdamsBashforthSolver2"};

// The methods for maps given as f(z) follow them as kinds 6 to 16: Halley,
// Chebyshev, Super-Halley, the Chebyshev-Halley family at a = 1/4, Schroder,
// Traub, Ostrowski, King's family at b = 1, Jarratt, Steffensen, and
// Laguerre with n the degree of f(z).
const int kFirstComplexKind = 6;
const int kComplexKinds = 11;
const double kFamilyParameter = 0.25;
const double kKingParameter = 1.0;
const double kDegreeOfF = 0.5;

// The methods for any map, kinds 17 to 21: Traub, Jarratt, Chebyshev and
// Halley for systems, and Newton with backtracking.
const int kFirstSystemKind = 17;
const int kSystemKinds = 5;

inline std::unique_ptr<tIterativeSolver> makeSolver(int kind, unsigned long limit, double h) {
  switch (kind) {
    case 6: return std::make_unique<tHalleySolver>(limit, h);
    case 7:
      return std::unique_ptr<tIterativeSolver>(tChebyshevHalleySolver::makeChebyshev(limit, h));
    case 8:
      return std::unique_ptr<tIterativeSolver>(tChebyshevHalleySolver::makeSuperHalley(limit, h));
    case 9:
      return std::make_unique<tChebyshevHalleySolver>(limit, h, kFamilyParameter);
    case 10: return std::make_unique<tSchroderSolver>(limit, h);
    case 11: return std::make_unique<tTraubSolver>(limit, h);
    case 12: return std::unique_ptr<tIterativeSolver>(tKingSolver::makeOstrowski(limit, h));
    case 13: return std::make_unique<tKingSolver>(limit, h, kKingParameter);
    case 14: return std::make_unique<tJarrattSolver>(limit, h);
    case 15: return std::make_unique<tSteffensenSolver>(limit, h);
    case 16: return std::make_unique<tLaguerreSolver>(limit, h, kDegreeOfF);
    case 17: return std::make_unique<tTraubSystemSolver>(limit, h);
    case 18: return std::make_unique<tJarrattSystemSolver>(limit, h);
    case 19: return std::make_unique<tChebyshevSystemSolver>(limit, h);
    case 20: return std::make_unique<tHalleySystemSolver>(limit, h);
    case 21: return std::make_unique<tBacktrackingNewtonSolver>(limit, h);
    case 0: return std::make_unique<tNewtonSolver>(limit, h);
    case 1: return std::make_unique<tRefinedNewtonSolver>(limit, h);
    case 2: return std::make_unique<tHeunSolver>(limit, h);
    case 3: return std::make_unique<tRungeKuttaSolver4>(limit, h);
    case 4: return std::make_unique<tRungeKuttaSolver2>(limit, h);
    default: return std::make_unique<tAdamsBashforthSolver2>(limit, h);
  }
}

#endif

#ifndef ROOTWEAVER_FRACTAL_TSOLUTION_H
#define ROOTWEAVER_FRACTAL_TSOLUTION_H

#include <cstdint>
#include <vector>

#include "graphics/tVector2.h"

// What one solve found: the iterates it tested, where it stopped and why.
// Both flags false means it converged and the last point of the path is the
// root.
class tSolution {
 public:
  // Most points reserved up front; a longer path grows as it goes, so a huge
  // iteration limit costs memory only when the iterations really happen.
  static constexpr unsigned long MAX_RESERVED_POINTS = 1024;

  tSolution();
  // An empty path with room for the points of a solve of that many iterations.
  explicit tSolution(unsigned long maxIterations);

  std::vector<tVector2> path_;  // every iterate the stopping tests saw, start point first
  uint32_t iterations_;         // 0-based iteration in which the solve stopped; the limit if none
  bool singularJacobian_;       // stopped at an iterate whose inverse Jacobian was zero
  bool noConvergence_;          // ran out of iterations
};

#endif

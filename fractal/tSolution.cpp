#include "fractal/tSolution.h"

#include <algorithm>

tSolution::tSolution() : iterations_(0), singularJacobian_(false), noConvergence_(false) {}

tSolution::tSolution(unsigned long maxIterations) : tSolution() {
  path_.reserve(std::min(maxIterations, MAX_RESERVED_POINTS));
}

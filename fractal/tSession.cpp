#include "fractal/tSession.h"

#include <utility>

#include "expr/tFunction.h"
#include "fractal/tFractal.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tParameterPlane.h"

tSession::tSession() = default;
tSession::~tSession() = default;

void tSession::setFunction(tFunction* function) {
  setPlane(nullptr, nullptr);
  function_.reset(function);
}

void tSession::setPlane(std::unique_ptr<tParameterPlane> plane, std::unique_ptr<tFunction> start) {
  plane_ = std::move(plane);
  planeStart_ = std::move(start);
}

void tSession::setSolver(tIterativeSolver* solver) { solver_.reset(solver); }

void tSession::setFractal(tFractal* fractal) { fractal_.reset(fractal); }

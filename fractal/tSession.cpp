#include "fractal/tSession.h"

#include "expr/tFunction.h"
#include "fractal/tFractal.h"
#include "fractal/tIterativeSolver.h"

tSession::tSession() = default;
tSession::~tSession() = default;

void tSession::setFunction(tFunction* function) { function_.reset(function); }

void tSession::setSolver(tIterativeSolver* solver) { solver_.reset(solver); }

void tSession::setFractal(tFractal* fractal) { fractal_.reset(fractal); }

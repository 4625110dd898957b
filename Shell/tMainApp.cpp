#include "Shell/tMainApp.h"

#include "expr/tFunction.h"
#include "fractal/tFractal.h"
#include "fractal/tIterativeSolver.h"

tMainApp& tMainApp::instance() {
  static tMainApp* app = new tMainApp();
  return *app;
}

tMainApp::tMainApp() = default;
tMainApp::~tMainApp() = default;

void tMainApp::setFunction(tFunction* function) {
  function_.reset(function);
}

void tMainApp::setSolver(tIterativeSolver* solver) {
  solver_.reset(solver);
}

void tMainApp::setFractal(tFractal* fractal) {
  fractal_.reset(fractal);
}

#ifndef ROOTWEAVER_SHELL_TMAINAPP_H
#define ROOTWEAVER_SHELL_TMAINAPP_H

#include <memory>

class tFractal;
class tFunction;
class tIterativeSolver;

// The application object. It holds the current run (function, solver and
// fractal), which the setup scene and the BLAM use and run statements
// replace and the fractal view and BLAM statements read. Replacing a part of
// the run deletes the old object.
//
// The run is plain engine state, usable without a window (`--batch`), so it
// is defined with the engine; the frame operations that drive the scenes are
// defined with the windowed program.
class tMainApp {
 public:
  static tMainApp& instance();

  tFunction* getFunction() const { return function_.get(); }
  tIterativeSolver* getSolver() const { return solver_.get(); }
  tFractal* getFractal() const { return fractal_.get(); }
  // Each takes ownership and deletes the object it replaces; null empties the
  // slot. Callers that build a large replacement empty the slot first.
  void setFunction(tFunction* function);
  void setSolver(tIterativeSolver* solver);
  void setFractal(tFractal* fractal);

 private:
  tMainApp();
  ~tMainApp();
  tMainApp(const tMainApp&) = delete;
  tMainApp& operator=(const tMainApp&) = delete;

  std::unique_ptr<tFunction> function_;       // function of the current run
  std::unique_ptr<tIterativeSolver> solver_;  // solver of the current run
  std::unique_ptr<tFractal> fractal_;         // the current picture
};

#endif

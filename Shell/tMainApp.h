#ifndef ROOTWEAVER_SHELL_TMAINAPP_H
#define ROOTWEAVER_SHELL_TMAINAPP_H

#include <memory>
#include <string>

class tFractal;
class tFunction;
class tIterativeSolver;

// The application object. It holds the current run (function, solver and
// fractal), which the setup scene and the BLAM use and run statements
// replace and the fractal view and BLAM statements read. Replacing a part of
// the run deletes the old object.
//
// It is also the top of the windowed program: runWindowed opens the window
// and runs the frames, each of which updates and then draws the scenes
// through the scene manager.
//
// The class is defined in two files. The run is plain engine state, usable
// without a window (`--batch`), so its part (Shell/tMainApp.cpp) is compiled
// into the engine library; the frame operations and runWindowed
// (Shell/tMainAppFrame.cpp) need the platform window, GL and the scenes and
// are compiled into the windowed library. This header names nothing of
// either side's platform, so the engine can include it.
class tMainApp {
 public:
  static tMainApp& instance();

  // Opens the centred 800 x 600 window "Rootweaver" and runs frames until the
  // program ends; the exit status. When the shared context or the window
  // cannot be made, one line on standard error says why and the status is 1.
  static int runWindowed();
  // Makes the named font current, loading it from the picture at path unless
  // it is loaded already. A picture that cannot be loaded is named in one
  // line on standard error, and the program goes on without text.
  static bool loadFont(const std::string& path, const std::string& name);

  // Empties the run, starts the frame clock, loads the font "Daduz" and makes
  // the splash scene current; key repeat is 400 ms, then every 50 ms.
  void init();
  // The frame time since the previous frame (or init), the scene manager's
  // step, then the current scene's update and the destination scene's.
  void update();
  // The pixel projection over the view, a cleared view, then the current
  // scene and the destination scene over it.
  void draw();
  // Runs at process exit; there is nothing to give back.
  void release();

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
  unsigned int frameMark_ = 0;                // tTimer mark the frame time is measured from
};

#endif

#ifndef ROOTWEAVER_SHELL_TMAINAPP_H
#define ROOTWEAVER_SHELL_TMAINAPP_H

#include <string>

#include "fractal/tSession.h"

class tFractal;
class tFunction;
class tIterativeSolver;

// The application object of the windowed program. It holds the window's
// session: the current run (function, solver and fractal), which the setup
// scene and the scripts run from the window replace and the fractal view
// reads, and the random sequence and root registry its pictures share.
//
// It is also the top of the windowed program: runWindowed opens the window
// and runs the frames, each of which updates and then draws the scenes
// through the scene manager.
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

  // Starts the frame clock, loads the font "Daduz", makes the splash scene
  // current and then empties the run; key repeat is 400 ms, then every 50 ms.
  void init();
  // The frame time since the previous frame (or init), the scene manager's
  // step, then the current scene's update and the destination scene's.
  void update();
  // The pixel projection over the view, a cleared view, then the current
  // scene and the destination scene over it.
  void draw();
  // Runs at process exit; there is nothing to give back.
  void release();

  tSession& getSession() { return session_; }
  tFunction* getFunction() const { return session_.getFunction(); }
  tIterativeSolver* getSolver() const { return session_.getSolver(); }
  tFractal* getFractal() const { return session_.getFractal(); }
  void setFunction(tFunction* function) { session_.setFunction(function); }
  void setSolver(tIterativeSolver* solver) { session_.setSolver(solver); }
  void setFractal(tFractal* fractal) { session_.setFractal(fractal); }

 private:
  tMainApp();
  ~tMainApp();
  tMainApp(const tMainApp&) = delete;
  tMainApp& operator=(const tMainApp&) = delete;

  tSession session_;                          // the window's runs and pictures
  unsigned int frameMark_ = 0;                // tTimer mark the frame time is measured from
};

#endif

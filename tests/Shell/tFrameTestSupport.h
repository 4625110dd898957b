#ifndef ROOTWEAVER_TESTS_SHELL_TFRAMETESTSUPPORT_H
#define ROOTWEAVER_TESTS_SHELL_TFRAMETESTSUPPORT_H

#include <string>

#include "Shell/tGame.h"
#include "Shell/tMainApp.h"
#include "Shell/tScene.h"
#include "Shell/tSceneManager.h"
#include "Shell/tTimer.h"
#include "input/tInputManager.h"

// Frames without a window, as the platform window runs them. startHeadless:
// the view, fresh input, the application started and its first frame run.
inline void startHeadless() {
  tGame::instance().init(800, 600, "Rootweaver");
  tInputManager::instance().init();
  tMainApp::instance().init();
  tInputManager::instance().update();
}

inline void runFrame() {
  tMainApp::instance().update();
  tInputManager::instance().update();
}

// Stops the transition clock at ms since the transition began.
inline void setTransitionTime(double ms) {
  tTimer& timer = tTimer::instance();
  const unsigned int mark = tSceneManager::instance().getTransitionMark();
  timer.suspendMark(mark);
  timer.advanceMark(mark, timer.timeSinceMark(mark) - ms);
}

// "current" or "current -> destination", by scene name.
inline std::string sceneState() {
  const tSceneManager& scenes = tSceneManager::instance();
  std::string state = scenes.getCurrentScene() ? scenes.getCurrentScene()->getName() : "none";
  if (scenes.getDestScene() != nullptr) state += " -> " + scenes.getDestScene()->getName();
  return state;
}

#endif

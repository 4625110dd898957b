#ifndef ROOTWEAVER_TESTS_SHELL_TFRAMETESTSUPPORT_H
#define ROOTWEAVER_TESTS_SHELL_TFRAMETESTSUPPORT_H

#include <string>

#include "Shell/tGame.h"
#include "Shell/tMainApp.h"
#include "Shell/tScene.h"
#include "Shell/tSceneManager.h"
#include "Shell/tTimer.h"
#include "input/tInputManager.h"
#include "input/tKeyboardHandler.h"

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

// The key that types c without Shift.
inline int keyTyping(char c) {
  for (int key = 0; key < TKEY_COUNT; ++key)
    if (tKeyboardHandler::keycodeToPrintable(key) == c) return key;
  return TKEY_NONE;
}

// The events an iterator hands out, as "v12" for down and "^12" for up.
inline std::string eventsOf(tKeyIterator it) {
  std::string out;
  for (tKeyEvent e = it.getNext(); e.code != TKEY_NONE; e = it.getNext()) {
    out += (out.empty() ? "" : " ") + std::string(e.down ? "v" : "^") + std::to_string(e.code);
  }
  return out;
}

#endif

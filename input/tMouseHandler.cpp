#include "input/tMouseHandler.h"

#include "input/tInputManager.h"

tMouseHandler& tMouseHandler::instance() {
  static tMouseHandler* handler = new tMouseHandler();
  return *handler;
}

tMouseHandler::tMouseHandler()
    : down_{false, false},
      wasDown_{false, false},
      changed_{false, false},
      x_(0),
      y_(0),
      wheelDelta_(0) {}

void tMouseHandler::init() {
  for (int b = 0; b < TBUTTON_COUNT; ++b) down_[b] = wasDown_[b] = changed_[b] = false;
  wheelDelta_ = 0;
}

void tMouseHandler::update() {
  for (int b = 0; b < TBUTTON_COUNT; ++b) {
    wasDown_[b] = down_[b];
    changed_[b] = false;
  }
  wheelDelta_ = 0;
}

bool tMouseHandler::buttonDown(int button) const { return validButton(button) && down_[button]; }

bool tMouseHandler::buttonPressed(int button) const {
  return validButton(button) && down_[button] && !wasDown_[button];
}

bool tMouseHandler::buttonUnpressed(int button) const {
  return validButton(button) && !down_[button] && wasDown_[button];
}

void tMouseHandler::buttonEvent(int platformButton, bool down) {
  if (platformButton != 1 && platformButton != 2) return;
  tInputManager::instance().deliver(
      [this, platformButton, down] { return takeButton(platformButton - 1, down); });
}

void tMouseHandler::moveEvent(int x, int y) {
  tInputManager::instance().deliver([this, x, y] {
    x_ = x;
    y_ = y;
    return true;
  });
}

void tMouseHandler::wheelEvent(int delta) {
  tInputManager::instance().deliver([this, delta] {
    wheelDelta_ = delta;
    return true;
  });
}

bool tMouseHandler::validButton(int button) { return button >= 0 && button < TBUTTON_COUNT; }

bool tMouseHandler::takeButton(int button, bool down) {
  if (down_[button] != down) {
    if (changed_[button]) return false;
    changed_[button] = true;
  }
  down_[button] = down;
  return true;
}

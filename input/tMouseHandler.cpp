#include "input/tMouseHandler.h"

#include "input/tInputManager.h"

namespace {

bool valid(unsigned int id) { return tInputManager::instance().validMutex(id); }

}  // namespace

tMouseHandler& tMouseHandler::instance() {
  static tMouseHandler* handler = new tMouseHandler();
  return *handler;
}

tMouseHandler::tMouseHandler()
    : down_{false, false},
      wasDown_{false, false},
      changed_{false, false},
      prevX_(0),
      prevY_(0),
      x_(0),
      y_(0),
      wheelDelta_(0),
      cursorHidden_(false),
      cursorHook_(nullptr) {}

void tMouseHandler::init() {
  setCursorShown(true);
  clear();
}

void tMouseHandler::release() {}

void tMouseHandler::clear() {
  for (int b = 0; b < TBUTTON_COUNT; ++b) down_[b] = wasDown_[b] = changed_[b] = false;
  prevX_ = prevY_ = 0;
  wheelDelta_ = 0;
}

void tMouseHandler::update() {
  prevX_ = x_;
  prevY_ = y_;
  for (int b = 0; b < TBUTTON_COUNT; ++b) {
    wasDown_[b] = down_[b];
    changed_[b] = false;
  }
  wheelDelta_ = 0;
}

int tMouseHandler::getX(unsigned int id) const { return valid(id) ? x_ : 0; }

int tMouseHandler::getY(unsigned int id) const { return valid(id) ? y_ : 0; }

int tMouseHandler::getDeltaX(unsigned int id) const { return valid(id) ? x_ - prevX_ : 0; }

int tMouseHandler::getDeltaY(unsigned int id) const { return valid(id) ? y_ - prevY_ : 0; }

int tMouseHandler::getWheelDelta(unsigned int id) const { return valid(id) ? wheelDelta_ : 0; }

bool tMouseHandler::buttonDown(int button, unsigned int id) const {
  return validButton(button) && valid(id) && down_[button];
}

bool tMouseHandler::buttonUp(int button, unsigned int id) const { return !buttonDown(button, id); }

bool tMouseHandler::buttonWasDown(int button, unsigned int id) const {
  return validButton(button) && valid(id) && wasDown_[button];
}

bool tMouseHandler::buttonWasUp(int button, unsigned int id) const {
  return !buttonWasDown(button, id);
}

bool tMouseHandler::buttonPressed(int button, unsigned int id) const {
  return buttonDown(button, id) && !wasDown_[button];
}

bool tMouseHandler::buttonUnpressed(int button, unsigned int id) const {
  return buttonWasDown(button, id) && !down_[button];
}

void tMouseHandler::hideCursor(unsigned int id) {
  if (!cursorHidden_ && valid(id)) setCursorShown(false);
}

void tMouseHandler::showCursor(unsigned int id) {
  if (cursorHidden_ && valid(id)) setCursorShown(true);
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

void tMouseHandler::setCursorShown(bool shown) {
  if (cursorHook_ != nullptr) cursorHook_(shown);
  cursorHidden_ = !shown;
}

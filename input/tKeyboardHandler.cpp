#include "input/tKeyboardHandler.h"

#include "Shell/tTimer.h"
#include "input/tInputManager.h"

namespace {

// A key that types a character, and the character it types without Shift.
struct tKey {
  int code;
  char printable;
};

const tKey kKeys[] = {
    {0, 'a'},   {1, 's'},  {2, 'd'},  {3, 'f'},  {4, 'h'},  {5, 'g'},   {6, 'z'},  {7, 'x'},
    {8, 'c'},   {9, 'v'},  {11, 'b'}, {12, 'q'}, {13, 'w'}, {14, 'e'},  {15, 'r'}, {16, 'y'},
    {17, 't'},  {18, '1'}, {19, '2'}, {20, '3'}, {21, '4'}, {22, '6'},  {23, '5'}, {24, '='},
    {25, '9'},  {26, '7'}, {27, '-'}, {28, '8'}, {29, '0'}, {30, ']'},  {31, 'o'}, {32, 'u'},
    {33, '['},  {34, 'i'}, {35, 'p'}, {37, 'l'}, {38, 'j'}, {39, '\''}, {40, 'k'}, {41, ';'},
    {42, '\\'}, {43, ','}, {44, '/'}, {45, 'n'}, {46, 'm'}, {47, '.'},  {49, ' '}, {50, '`'},
    {65, '.'},  {67, '*'}, {69, '+'}, {75, '/'}, {78, '-'}, {81, '='},  {82, '0'}, {83, '1'},
    {84, '2'},  {85, '3'}, {86, '4'}, {87, '5'}, {88, '6'}, {89, '7'},  {91, '8'}, {92, '9'},
};

const tKey* findKey(int key) {
  for (const tKey& k : kKeys) {
    if (k.code == key) return &k;
  }
  return nullptr;
}

}  // namespace

tKeyboardHandler& tKeyboardHandler::instance() {
  static tKeyboardHandler* handler = new tKeyboardHandler();
  return *handler;
}

tKeyboardHandler::tKeyboardHandler()
    : repeatEnabled_(false), repeatDelay_(0.0), repeatInterval_(0.0) {
  for (int key = 0; key < TKEY_COUNT; ++key) {
    down_[key] = wasDown_[key] = firstRepeat_[key] = pressedLatch_[key] = changed_[key] = false;
    repeatMark_[key] = tTimer::instance().setMark();
  }
}

void tKeyboardHandler::init() {
  for (int key = 0; key < TKEY_COUNT; ++key)
    down_[key] = wasDown_[key] = firstRepeat_[key] = changed_[key] = false;
  repeatEnabled_ = false;
  repeatDelay_ = 0.0;
  repeatInterval_ = 0.0;
}

void tKeyboardHandler::enableRepeat(double delayMs, double intervalMs) {
  repeatEnabled_ = true;
  repeatDelay_ = delayMs;
  repeatInterval_ = intervalMs;
}

void tKeyboardHandler::enableRepeat() { repeatEnabled_ = true; }

bool tKeyboardHandler::keyDown(int key) const { return validKey(key) && down_[key]; }

bool tKeyboardHandler::keyPressed(int key) {
  if (!validKey(key)) return false;
  if (pressedLatch_[key]) return true;
  if (!down_[key]) return false;
  if (!wasDown_[key]) {
    firstRepeat_[key] = true;
    return latchPress(key);
  }
  if (!repeatEnabled_ || !repeatDue(key)) return false;
  firstRepeat_[key] = false;
  return latchPress(key);
}

void tKeyboardHandler::update() {
  events_.clear();
  for (int key = 0; key < TKEY_COUNT; ++key) {
    wasDown_[key] = down_[key];
    pressedLatch_[key] = changed_[key] = false;
  }
}

tKeyIterator tKeyboardHandler::getKeyIterator() {
  for (int key = 0; key < TKEY_COUNT; ++key) {
    if (down_[key] && wasDown_[key])
      events_.push_front(tKeyEvent{true, static_cast<TKEYCODE>(key)});
  }
  return tKeyIterator(events_.begin(), events_.end());
}

char tKeyboardHandler::keycodeToPrintable(int key) {
  const tKey* k = findKey(key);
  return k != nullptr ? k->printable : 0;
}

bool tKeyboardHandler::isModifierKey(int key) {
  return key == TKEY_COMMAND || key == TKEY_SHIFT || key == TKEY_CAPS_LOCK || key == TKEY_OPTION ||
         key == TKEY_CONTROL;
}

void tKeyboardHandler::keyDownEvent(int key) { deliverKey(key, true); }

void tKeyboardHandler::keyUpEvent(int key) { deliverKey(key, false); }

void tKeyboardHandler::modifiersChanged(bool command, bool capsLock, bool shift, bool control,
                                        bool option) {
  deliverKey(TKEY_COMMAND, command);
  deliverKey(TKEY_CAPS_LOCK, capsLock);
  deliverKey(TKEY_SHIFT, shift);
  deliverKey(TKEY_CONTROL, control);
  deliverKey(TKEY_OPTION, option);
}

unsigned int tKeyboardHandler::getRepeatMark(int key) const {
  return validKey(key) ? repeatMark_[key] : repeatMark_[0];
}

bool tKeyboardHandler::validKey(int key) { return key >= 0 && key < TKEY_COUNT; }

void tKeyboardHandler::deliverKey(int key, bool down) {
  tInputManager::instance().deliver([this, key, down] { return takeKey(key, down); });
}

// Codes outside the table are taken and dropped. An event that leaves the
// key as it is (the modifiers report all five keys) is no change.
bool tKeyboardHandler::takeKey(int key, bool down) {
  if (!validKey(key)) return true;
  if (down_[key] != down) {
    if (changed_[key]) return false;
    changed_[key] = true;
  }
  down_[key] = down;
  events_.push_back(tKeyEvent{down, static_cast<TKEYCODE>(key)});
  return true;
}

// Times count from the key's last true answer, so a key that is not asked
// about in a frame does not repeat in it.
bool tKeyboardHandler::repeatDue(int key) const {
  double wait = firstRepeat_[key] ? repeatDelay_ : repeatInterval_;
  return tTimer::instance().timeSinceMark(repeatMark_[key]) > wait;
}

bool tKeyboardHandler::latchPress(int key) {
  tTimer::instance().resetMark(repeatMark_[key]);
  pressedLatch_[key] = true;
  return true;
}

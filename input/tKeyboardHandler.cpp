#include "input/tKeyboardHandler.h"

#include "Shell/tTimer.h"
#include "input/tInputManager.h"

namespace {

// A named key: its code, its display name and the character it types
// without Shift (0 for none).
struct tKeyName {
  int code;
  const char* name;
  char printable;
};

const tKeyName kKeyNames[] = {
    {0, "a", 'a'},      {1, "s", 's'},       {2, "d", 'd'},         {3, "f", 'f'},
    {4, "h", 'h'},      {5, "g", 'g'},       {6, "z", 'z'},         {7, "x", 'x'},
    {8, "c", 'c'},      {9, "v", 'v'},       {11, "b", 'b'},        {12, "q", 'q'},
    {13, "w", 'w'},     {14, "e", 'e'},      {15, "r", 'r'},        {16, "y", 'y'},
    {17, "t", 't'},     {18, "1", '1'},      {19, "2", '2'},        {20, "3", '3'},
    {21, "4", '4'},     {22, "6", '6'},      {23, "5", '5'},        {24, "=", '='},
    {25, "9", '9'},     {26, "7", '7'},      {27, "-", '-'},        {28, "8", '8'},
    {29, "0", '0'},     {30, "]", ']'},      {31, "o", 'o'},        {32, "u", 'u'},
    {33, "[", '['},     {34, "i", 'i'},      {35, "p", 'p'},        {36, "Return", 0},
    {37, "l", 'l'},     {38, "j", 'j'},      {39, "'", '\''},       {40, "k", 'k'},
    {41, ";", ';'},     {42, "\\", '\\'},    {43, ",", ','},        {44, "/", '/'},
    {45, "n", 'n'},     {46, "m", 'm'},      {47, ".", '.'},        {48, "Tab", 0},
    {49, "Space", ' '}, {50, "`", '`'},      {51, "Backspace", 0},  {53, "Esc", 0},
    {55, "Command", 0}, {56, "Shift", 0},    {57, "Caps Lock", 0},  {58, "Option", 0},
    {59, "Control", 0}, {65, "Num .", '.'},  {67, "Num *", '*'},    {69, "Num +", '+'},
    {75, "Num /", '/'}, {78, "Num -", '-'},  {81, "Num =", '='},    {82, "Num 0", '0'},
    {83, "Num 1", '1'}, {84, "Num 2", '2'},  {85, "Num 3", '3'},    {86, "Num 4", '4'},
    {87, "Num 5", '5'}, {88, "Num 6", '6'},  {89, "Num 7", '7'},    {91, "Num 8", '8'},
    {92, "Num 9", '9'}, {96, "F5", 0},       {97, "F6", 0},         {98, "F7", 0},
    {99, "F3", 0},      {100, "F8", 0},      {101, "F9", 0},        {103, "F11", 0},
    {105, "F13", 0},    {109, "F10", 0},     {111, "F12", 0},       {114, "Help", 0},
    {115, "Home", 0},   {116, "Page Up", 0}, {117, "Delete", 0},    {118, "F4", 0},
    {119, "End", 0},    {120, "F2", 0},      {121, "Page Down", 0}, {122, "F1", 0},
    {123, "Left", 0},   {124, "Right", 0},   {125, "Down", 0},      {126, "Up", 0},
};

const tKeyName* findKeyName(int key) {
  for (const tKeyName& k : kKeyNames) {
    if (k.code == key) return &k;
  }
  return nullptr;
}

bool valid(unsigned int id) { return tInputManager::instance().validMutex(id); }

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
  clear();
  repeatEnabled_ = false;
  repeatDelay_ = 0.0;
  repeatInterval_ = 0.0;
}

void tKeyboardHandler::release() {}

void tKeyboardHandler::clear() {
  for (int key = 0; key < TKEY_COUNT; ++key)
    down_[key] = wasDown_[key] = firstRepeat_[key] = changed_[key] = false;
}

void tKeyboardHandler::enableRepeat(double delayMs, double intervalMs) {
  repeatEnabled_ = true;
  repeatDelay_ = delayMs;
  repeatInterval_ = intervalMs;
}

void tKeyboardHandler::enableRepeat() { repeatEnabled_ = true; }

void tKeyboardHandler::disableRepeat() { repeatEnabled_ = false; }

void tKeyboardHandler::resetRepeat(int key) {
  if (!repeatEnabled_ || !validKey(key)) return;
  firstRepeat_[key] = true;
  tTimer::instance().resetMark(repeatMark_[key]);
}

void tKeyboardHandler::resetAllRepeats() {
  for (int key = 0; key < TKEY_COUNT; ++key) resetRepeat(key);
}

bool tKeyboardHandler::keyDown(int key, unsigned int id) const {
  return answers(key, id) && down_[key];
}

bool tKeyboardHandler::keyUp(int key, unsigned int id) const {
  return !answers(key, id) || !down_[key];
}

bool tKeyboardHandler::keyWasDown(int key, unsigned int id) const {
  return answers(key, id) && wasDown_[key];
}

bool tKeyboardHandler::keyWasUp(int key, unsigned int id) const {
  return !answers(key, id) || !wasDown_[key];
}

bool tKeyboardHandler::keyPressed(int key, unsigned int id) {
  if (!answers(key, id)) return false;
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

bool tKeyboardHandler::keyUnpressed(int key, unsigned int id) const {
  return answers(key, id) && !down_[key] && wasDown_[key];
}

void tKeyboardHandler::update() {
  events_.clear();
  for (int key = 0; key < TKEY_COUNT; ++key) {
    wasDown_[key] = down_[key];
    pressedLatch_[key] = changed_[key] = false;
  }
}

tKeyIterator tKeyboardHandler::getKeyIterator(unsigned int id) {
  if (!valid(id)) return tKeyIterator(noEvents_.begin(), noEvents_.end());
  for (int key = 0; key < TKEY_COUNT; ++key) {
    if (down_[key] && wasDown_[key])
      events_.push_front(tKeyEvent{true, static_cast<TKEYCODE>(key)});
  }
  return tKeyIterator(events_.begin(), events_.end());
}

char tKeyboardHandler::keycodeToPrintable(int key) {
  const tKeyName* k = findKeyName(key);
  return k != nullptr ? k->printable : 0;
}

std::string tKeyboardHandler::keycodeToIdentifier(int key) {
  const tKeyName* k = findKeyName(key);
  return k != nullptr ? k->name : "???";
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

bool tKeyboardHandler::answers(int key, unsigned int id) const {
  return validKey(key) && valid(id);
}

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

#ifndef ROOTWEAVER_INPUT_TKEYBOARDHANDLER_H
#define ROOTWEAVER_INPUT_TKEYBOARDHANDLER_H

#include <string>

#include "input/tKeyEvent.h"
#include "input/tKeyIterator.h"

// The keyboard as the frames see it: which keys are down, which were down at
// the end of the previous frame, the key events of this frame, and key repeat
// made here from the frame clock rather than by the platform.
//
// The platform layer only reports what happens, through keyDownEvent,
// keyUpEvent and modifiersChanged, at any time between frames; the frame
// reads during its update and tInputManager::update() then closes it. Each
// key changes at most once in a frame: a second change waits in
// tInputManager for a later frame. So each event is seen by exactly one
// frame, and a key that goes down and up between two frames is pressed in
// one frame and released in the next.
//
// Every query takes an owner id last (the program passes 0). While the input
// is locked by another owner, queries give the neutral answer: not down, up,
// not pressed, no events. Key codes outside 0 ... 127 are never stored and get
// the neutral answers too, so no table is ever indexed out of range.
class tKeyboardHandler {
 public:
  static tKeyboardHandler& instance();

  // Clears the state, switches repeat off and sets both delays to 0.
  void init();
  void release();
  // Nothing down now or at the end of the previous frame; no repeat pending;
  // every key free to change once more in this frame. The frame's events and
  // latches stay.
  void clear();

  void enableRepeat(double delayMs, double intervalMs);
  void enableRepeat();
  void disableRepeat();
  // With repeat on, the key waits the first delay again from now.
  void resetRepeat(int key);
  void resetAllRepeats();

  bool keyDown(int key, unsigned int id) const;
  bool keyUp(int key, unsigned int id) const;
  bool keyWasDown(int key, unsigned int id) const;
  bool keyWasUp(int key, unsigned int id) const;
  // A fresh press, or a repeat of a held key; once true, true for the rest
  // of the frame.
  bool keyPressed(int key, unsigned int id);
  bool keyUnpressed(int key, unsigned int id) const;

  // Closes the frame: events emptied, previous state = current state, latches
  // off, every key free to change.
  void update();
  // Puts every held key (down now and at the end of the previous frame) at
  // the front of the frame's events as a down event, the highest code first,
  // and spans all of them. Each call adds the held keys again.
  tKeyIterator getKeyIterator(unsigned int id);

  // The character the key types without Shift; 0 when none.
  static char keycodeToPrintable(int key);
  // The key's display name; "???" for a code without one.
  static std::string keycodeToIdentifier(int key);
  // Command, Shift, Caps Lock, Option and Control: keys whose state comes in
  // through modifiersChanged rather than as key events.
  static bool isModifierKey(int key);

  // Event entry points for the platform layer; the events pass through
  // tInputManager::deliver.
  void keyDownEvent(int key);
  void keyUpEvent(int key);
  // Sets the five modifier keys and gives one event for each, in the order
  // Command, Caps Lock, Shift, Control, Option, whether or not it changed.
  void modifiersChanged(bool command, bool capsLock, bool shift, bool control, bool option);

  // The timer mark from which the key's next repeat is measured (key 0's for a code
  // outside the table).
  unsigned int getRepeatMark(int key) const;

 private:
  tKeyboardHandler();
  tKeyboardHandler(const tKeyboardHandler&) = delete;
  tKeyboardHandler& operator=(const tKeyboardHandler&) = delete;

  static bool validKey(int key);
  bool answers(int key, unsigned int id) const;
  void deliverKey(int key, bool down);
  bool takeKey(int key, bool down);
  bool repeatDue(int key) const;
  bool latchPress(int key);

  bool down_[TKEY_COUNT];                // key is down now
  bool wasDown_[TKEY_COUNT];             // key was down at the end of the previous frame
  unsigned int repeatMark_[TKEY_COUNT];  // timer mark of the key's last press or repeat
  bool firstRepeat_[TKEY_COUNT];         // the next repeat waits for the first delay
  bool pressedLatch_[TKEY_COUNT];        // keyPressed already said true this frame
  bool changed_[TKEY_COUNT];             // key went down or up in this frame
  bool repeatEnabled_;                   // key repeat on
  double repeatDelay_;                   // ms before the first repeat
  double repeatInterval_;                // ms between later repeats
  tKeyIterator::tEventList events_;      // this frame's key events, oldest first
  tKeyIterator::tEventList noEvents_;    // always empty; handed out while locked
};

#endif

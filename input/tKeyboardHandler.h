#ifndef ROOTWEAVER_INPUT_TKEYBOARDHANDLER_H
#define ROOTWEAVER_INPUT_TKEYBOARDHANDLER_H

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
// Key codes outside 0 ... 127 are never stored and are answered as neither
// down nor pressed, so no table is ever indexed out of range.
class tKeyboardHandler {
 public:
  static tKeyboardHandler& instance();

  // Nothing down now or at the end of the previous frame, no repeat pending,
  // every key free to change once more in this frame (the frame's events and
  // latches stay); repeat off with both delays 0.
  void init();

  void enableRepeat(double delayMs, double intervalMs);
  void enableRepeat();

  bool keyDown(int key) const;
  // A fresh press, or a repeat of a held key; once true, true for the rest
  // of the frame.
  bool keyPressed(int key);

  // Closes the frame: events emptied, previous state = current state, latches
  // off, every key free to change.
  void update();
  // Puts every held key (down now and at the end of the previous frame) at
  // the front of the frame's events as a down event, the highest code first,
  // and spans all of them. Each call adds the held keys again.
  tKeyIterator getKeyIterator();

  // The character the key types without Shift; 0 when none.
  static char keycodeToPrintable(int key);
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
};

#endif

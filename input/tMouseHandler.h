#ifndef ROOTWEAVER_INPUT_TMOUSEHANDLER_H
#define ROOTWEAVER_INPUT_TMOUSEHANDLER_H

// Mouse buttons as the program counts them.
enum TBUTTONCODE : int {
  TBUTTON_PRIMARY = 0,
  TBUTTON_SECONDARY = 1,
  TBUTTON_COUNT = 2  // number of buttons
};

// The mouse as the frames see it: the two buttons now and at the end of the
// previous frame, the pointer in view pixels (origin at the top-left of the
// view, y downwards, like the drawing), its movement since the previous
// frame and the last wheel movement of this frame.
//
// The platform layer reports events through buttonEvent, moveEvent and
// wheelEvent; tInputManager::update() closes each frame. Each button changes
// at most once in a frame: a second change, and every event after it, waits
// in tInputManager for a later frame, so a click made between two frames is
// pressed in one and released in the next, where the pointer was when it was
// made. Queries take an owner id last and give neutral answers while another
// owner holds the lock. Hiding and showing the system cursor is the
// platform's business: it registers a hook, and without one only the flag
// changes.
class tMouseHandler {
 public:
  // Shows (true) or hides (false) the system cursor.
  using tCursorHook = void (*)(bool shown);

  static tMouseHandler& instance();

  // Shows the cursor, then clear().
  void init();
  void release();
  // Buttons up now and before and free to change once more in this frame,
  // previous position (0, 0), no wheel movement; the current position stays.
  void clear();
  // Closes the frame: previous position and buttons = current ones, wheel 0,
  // every button free to change.
  void update();

  int getX(unsigned int id) const;
  int getY(unsigned int id) const;
  int getDeltaX(unsigned int id) const;
  int getDeltaY(unsigned int id) const;
  int getWheelDelta(unsigned int id) const;

  bool buttonDown(int button, unsigned int id) const;
  bool buttonUp(int button, unsigned int id) const;
  bool buttonWasDown(int button, unsigned int id) const;
  bool buttonWasUp(int button, unsigned int id) const;
  // Down now and up at the end of the previous frame; buttons never repeat.
  bool buttonPressed(int button, unsigned int id) const;
  bool buttonUnpressed(int button, unsigned int id) const;

  void hideCursor(unsigned int id);
  void showCursor(unsigned int id);
  bool cursorHidden() const { return cursorHidden_; }
  void setCursorHook(tCursorHook hook) { cursorHook_ = hook; }

  // Event entry points for the platform layer; the events pass through
  // tInputManager::deliver. Platform button 1 is the primary button and 2
  // the secondary one; other buttons are ignored.
  void buttonEvent(int platformButton, bool down);
  // Position in view pixels, origin at the top-left of the view.
  void moveEvent(int x, int y);
  // A later wheel movement in the same frame replaces an earlier one.
  void wheelEvent(int delta);

 private:
  tMouseHandler();
  tMouseHandler(const tMouseHandler&) = delete;
  tMouseHandler& operator=(const tMouseHandler&) = delete;

  static bool validButton(int button);
  void setCursorShown(bool shown);
  bool takeButton(int button, bool down);

  bool down_[TBUTTON_COUNT];     // button is down now
  bool wasDown_[TBUTTON_COUNT];  // button was down at the end of the previous frame
  bool changed_[TBUTTON_COUNT];  // button went down or up in this frame
  int prevX_;                    // position at the end of the previous frame
  int prevY_;
  int x_;  // current position
  int y_;
  int wheelDelta_;          // last wheel movement of this frame
  bool cursorHidden_;       // the system cursor is hidden
  tCursorHook cursorHook_;  // shows or hides the system cursor; null for none
};

#endif

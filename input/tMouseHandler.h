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
// view, y downwards, like the drawing) and the last wheel movement of this
// frame.
//
// The platform layer reports events through buttonEvent, moveEvent and
// wheelEvent; tInputManager::update() closes each frame. Each button changes
// at most once in a frame: a second change, and every event after it, waits
// in tInputManager for a later frame, so a click made between two frames is
// pressed in one and released in the next, where the pointer was when it was
// made.
class tMouseHandler {
 public:
  static tMouseHandler& instance();

  // Buttons up now and before and free to change once more in this frame, no
  // wheel movement; the position stays.
  void init();
  // Closes the frame: previous buttons = current ones, wheel 0, every button
  // free to change.
  void update();

  int getX() const { return x_; }
  int getY() const { return y_; }
  int getWheelDelta() const { return wheelDelta_; }

  bool buttonDown(int button) const;
  // Down now and up at the end of the previous frame; buttons never repeat.
  bool buttonPressed(int button) const;
  // Up now and down at the end of the previous frame.
  bool buttonUnpressed(int button) const;

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
  bool takeButton(int button, bool down);

  bool down_[TBUTTON_COUNT];     // button is down now
  bool wasDown_[TBUTTON_COUNT];  // button was down at the end of the previous frame
  bool changed_[TBUTTON_COUNT];  // button went down or up in this frame
  int x_;                        // current position
  int y_;
  int wheelDelta_;  // last wheel movement of this frame
};

#endif

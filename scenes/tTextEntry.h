#ifndef ROOTWEAVER_SCENES_TTEXTENTRY_H
#define ROOTWEAVER_SCENES_TTEXTENTRY_H

#include <string>

// A one-line text field. A click inside the box makes it active and any
// click outside makes it inactive, so of several fields at most one is ever
// active. While active it types every key pressed this frame that has a
// character (Shift gives the shifted character of a US keyboard), with key
// repeat on; Backspace removes the last character, and Return or the keypad
// Enter ends editing. The owner parses the text when it needs the value.
//
// Like tStringSelect it keeps no geometry: the owner passes the box's centre
// (cx, cy), half-width, height h (also the text size) and opacity a every
// frame. The owner may mark the field when its text cannot be used; a marked
// field is drawn in red.
class tTextEntry {
 public:
  tTextEntry();

  void setText(const std::string& s) { text_ = s; }
  std::string getText() const { return text_; }
  bool isActive() const { return active_; }
  void setMarked(bool marked) { marked_ = marked; }
  bool isMarked() const { return marked_; }

  void update(float cx, float cy, float halfWidth, float h, float a);
  void draw(float cx, float cy, float halfWidth, float h, float a) const;

 private:
  // Appends the characters of this frame's pressed keys.
  void typeKeys();

  bool active_;       // the field takes typing
  std::string text_;  // the text as typed
  bool marked_;       // the owner cannot use the text: drawn in red
};

#endif

#ifndef ROOTWEAVER_SCENES_TSTRINGSELECT_H
#define ROOTWEAVER_SCENES_TSTRINGSELECT_H

#include <string>
#include <vector>

// A boxed list of strings of which one is selected, chosen by a click on its
// row or, while the list has the keyboard focus, with Up and Down (wrapping
// at both ends, with key repeat). A click on a row gives the list the focus;
// any other click takes it away.
//
// The widget keeps no geometry: its owner passes the same centre of the first
// row (cx, cy), half-width, row height h (also the text size) and opacity a
// to update and draw every frame. Rows are h high, row i centred at
// cy + i h. update reads only the input handlers, so it runs without GL.
class tStringSelect {
 public:
  tStringSelect();

  void addString(const std::string& s);
  // An index past the last item is ignored.
  void setSelectedItem(unsigned int i);
  unsigned int getSelectedItem() const { return selected_; }
  // The selected item; "" while the list is empty.
  std::string getText() const;
  bool isFocused() const { return focused_; }

  void update(float cx, float cy, float halfWidth, float h, float a);
  void draw(float cx, float cy, float halfWidth, float h, float a) const;

 private:
  // The row under a click at height y: the offset from the list's top edge
  // in rows, truncated toward zero, so a click less than a row above the top
  // still lands on row 0; -1 when it lands on no row.
  int rowAt(float y, float cy, float h) const;

  std::vector<std::string> items_;  // the strings, in the order added
  unsigned int selected_;           // index of the selected string
  bool focused_;                    // the list takes Up and Down
};

#endif

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
//
// A list longer than its visible rows (setVisibleRows) shows a window of
// them: the mouse wheel over the list scrolls it a row a notch, the window
// follows the selection as Up and Down move it, and a bar at the right edge
// shows where the window stands.
class tStringSelect {
 public:
  tStringSelect();

  void addString(const std::string& s);
  // An index past the last item is ignored; the window scrolls to show it.
  void setSelectedItem(unsigned int i);
  // Rows shown at most; 0, the default, shows them all.
  void setVisibleRows(unsigned int rows) { visibleRows_ = rows; }
  // The first row shown.
  unsigned int getFirstShown() const { return first_; }
  unsigned int getSelectedItem() const { return selected_; }
  bool isFocused() const { return focused_; }

  void update(float cx, float cy, float halfWidth, float h, float a);
  void draw(float cx, float cy, float halfWidth, float h, float a) const;

 private:
  // The row under a click at height y: the offset from the list's top edge
  // in rows, truncated toward zero, so a click less than a row above the top
  // still lands on row 0; -1 when it lands on no row.
  int rowAt(float y, float cy, float h) const;
  // Rows shown: the visible rows, or all when fewer.
  unsigned int shownRows() const;
  // Moves the window by `rows` (down when positive), within the list.
  void scroll(int rows);
  // Moves the window the least that shows the selected row.
  void showSelected();

  std::vector<std::string> items_;  // the strings, in the order added
  unsigned int selected_;           // index of the selected string
  bool focused_;                    // the list takes Up and Down
  unsigned int visibleRows_;        // rows shown at most; 0 for all
  unsigned int first_;              // the first row shown
};

#endif

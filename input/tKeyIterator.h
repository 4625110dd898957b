#ifndef ROOTWEAVER_INPUT_TKEYITERATOR_H
#define ROOTWEAVER_INPUT_TKEYITERATOR_H

#include <list>

#include "input/tKeyEvent.h"

// Walks a frame's key events, oldest first. The iterator points into the
// keyboard handler's event list and is good until the frame ends.
class tKeyIterator {
 public:
  using tEventList = std::list<tKeyEvent>;

  tKeyIterator(tEventList::const_iterator begin, tEventList::const_iterator end);

  // Whether a down event lies at or after the current one; does not move.
  bool hasMoreDownEvents() const;
  // The current event, then moves on. Past the end it gives an up event of
  // TKEY_NONE, which no query answers for.
  tKeyEvent getNext();
  // Skips up events, then getNext().
  tKeyEvent getNextDown();

 private:
  tEventList::const_iterator current_;  // the next event to hand out
  tEventList::const_iterator end_;      // one past the last event
};

#endif

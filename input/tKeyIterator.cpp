#include "input/tKeyIterator.h"

tKeyIterator::tKeyIterator(tEventList::const_iterator begin, tEventList::const_iterator end)
    : current_(begin), end_(end) {}

bool tKeyIterator::hasMoreDownEvents() const {
  for (auto it = current_; it != end_; ++it) {
    if (it->down) return true;
  }
  return false;
}

tKeyEvent tKeyIterator::getNext() {
  if (current_ == end_) return tKeyEvent{false, TKEY_NONE};
  return *current_++;
}

tKeyEvent tKeyIterator::getNextDown() {
  while (current_ != end_ && !current_->down) ++current_;
  return getNext();
}

#include "input/tKeyIterator.h"

tKeyIterator::tKeyIterator(tEventList::const_iterator begin, tEventList::const_iterator end)
    : current_(begin), begin_(begin), end_(end) {}

bool tKeyIterator::hasMoreEvents() const { return current_ != end_; }

bool tKeyIterator::hasMoreDownEvents() const { return hasMoreOfKind(true); }

bool tKeyIterator::hasMoreUpEvents() const { return hasMoreOfKind(false); }

tKeyEvent tKeyIterator::getNext() {
  if (current_ == end_) return tKeyEvent{false, TKEY_NONE};
  return *current_++;
}

tKeyEvent tKeyIterator::getNextDown() { return getNextOfKind(true); }

tKeyEvent tKeyIterator::getNextUp() { return getNextOfKind(false); }

void tKeyIterator::reset() { current_ = begin_; }

bool tKeyIterator::hasMoreOfKind(bool down) const {
  for (auto it = current_; it != end_; ++it) {
    if (it->down == down) return true;
  }
  return false;
}

tKeyEvent tKeyIterator::getNextOfKind(bool down) {
  while (current_ != end_ && current_->down != down) ++current_;
  return getNext();
}

#ifndef ROOTWEAVER_INPUT_TINPUTMANAGER_H
#define ROOTWEAVER_INPUT_TINPUTMANAGER_H

#include <deque>
#include <functional>

// Starts and closes the input frame of the keyboard and the mouse.
//
// The frames read the input as state (a key is down, a button was pressed),
// so a frame can show only one change of each key and button: a press and
// its release made between two frames would leave the key up and never
// pressed. Every event of both devices therefore passes through deliver(),
// in the order it happened. An event is applied at once unless an earlier
// one is waiting or its handler declines it, which a handler does with a
// second change of the same key or button in one frame. A declined event
// waits, with every later event behind it, and update() applies the waiting
// ones at the start of each new frame until one is declined again. So each
// press is seen by one frame and its release by a later one, however fast
// they came, and nothing overtakes: typed text keeps its order, and a click
// followed by typing reaches the clicked field before the keys do.
class tInputManager {
 public:
  // Applies one event and says whether it did; false leaves it waiting.
  using tDelivery = std::function<bool()>;

  static tInputManager& instance();

  // Drops the waiting events, then initialises the keyboard and the mouse.
  void init();
  // Closes the frame of the keyboard, then of the mouse, then applies the
  // waiting events that the new frame takes. Called once per frame after the
  // scenes' updates.
  void update();

  // The event entry of the handlers: applies the event now, or keeps it
  // behind the waiting ones.
  void deliver(const tDelivery& delivery);

 private:
  tInputManager() = default;
  tInputManager(const tInputManager&) = delete;
  tInputManager& operator=(const tInputManager&) = delete;

  void deliverWaiting();

  std::deque<tDelivery> waiting_;  // events for later frames, oldest first
};

#endif

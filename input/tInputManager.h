#ifndef ROOTWEAVER_INPUT_TINPUTMANAGER_H
#define ROOTWEAVER_INPUT_TINPUTMANAGER_H

// Starts and closes the input frame of the keyboard and the mouse, and holds
// the input lock: an ownership token (not a thread lock) with which one owner
// takes the input for itself. While it is held, the handlers answer every
// other owner's queries with neutral answers.
class tInputManager {
 public:
  static tInputManager& instance();

  // Unlocks, then initialises the keyboard and the mouse.
  void init();
  void release();
  // Closes the frame of the keyboard, then of the mouse. Called once per
  // frame after the scenes' updates.
  void update();

  // A new owner id.
  unsigned int getMutex();
  // Fails when the input is already locked.
  bool lock(unsigned int id);
  // Fails unless id holds the lock; otherwise unlocks and clears the mouse,
  // then the keyboard.
  bool unlock(unsigned int id);
  // The input is unlocked, or id holds the lock.
  bool validMutex(unsigned int id) const;

 private:
  tInputManager();
  tInputManager(const tInputManager&) = delete;
  tInputManager& operator=(const tInputManager&) = delete;

  unsigned int lockOwner_;  // owner of the lock; 0 when unlocked
  unsigned int lastId_;     // the last owner id handed out
};

#endif

#ifndef ROOTWEAVER_SHELL_TSCENEMANAGER_H
#define ROOTWEAVER_SHELL_TSCENEMANAGER_H

#include <memory>

class tScene;

// Holds the current scene and, during a cross-fade, the destination scene,
// and measures the fade's progress beta from 0 to 1 with a timer mark.
//
// update() runs once per frame before the scenes: it sets beta from the time
// since the transition began and, in the first frame after the duration has
// passed, makes the destination the current scene, which then already
// handles its input in that frame (beta is 1 and no transition runs).
//
// The manager owns its scenes. A scene that stops being current is deleted
// in update(), when no scene code is running, and a scene offered while a
// transition runs is refused and deleted at once; nothing refers to either
// afterwards.
class tSceneManager {
 public:
  static tSceneManager& instance();

  // The scene becomes current at once, ending any transition. Not to be
  // called from a scene's own update: the scene it replaces is deleted.
  void setCurrentScene(tScene* scene);
  // Starts a cross-fade of durationMs to the scene; ignored (the scene
  // deleted) while a transition is in progress.
  void beginTransition(tScene* scene, float durationMs);
  void update();

  bool transitionInProgress() const { return inTransition_; }
  float getBeta() const { return beta_; }
  tScene* getCurrentScene() const { return currentScene_.get(); }
  tScene* getDestScene() const { return destScene_.get(); }
  // The timer mark that transitions are measured from.
  unsigned int getTransitionMark() const { return transitionMark_; }

 private:
  tSceneManager();
  ~tSceneManager();
  tSceneManager(const tSceneManager&) = delete;
  tSceneManager& operator=(const tSceneManager&) = delete;

  bool inTransition_;                     // a cross-fade is in progress
  float beta_;                            // progress of the cross-fade, 0 to 1; 1 outside
  std::unique_ptr<tScene> currentScene_;  // the scene shown and updated first; null at start
  std::unique_ptr<tScene> destScene_;     // the scene faded to; null outside transitions
  unsigned int transitionMark_;           // timer mark of the start of the cross-fade
  float transitionDuration_;              // length of the cross-fade in ms
};

#endif

#include "Shell/tSceneManager.h"

#include "Shell/tScene.h"
#include "Shell/tTimer.h"

tSceneManager& tSceneManager::instance() {
  static tSceneManager* manager = new tSceneManager();
  return *manager;
}

tSceneManager::tSceneManager()
    : inTransition_(false),
      beta_(1.0f),
      transitionMark_(tTimer::instance().setMark()),
      transitionDuration_(0.0f) {}

tSceneManager::~tSceneManager() = default;

void tSceneManager::setCurrentScene(tScene* scene) {
  destScene_.reset();
  inTransition_ = false;
  beta_ = 1.0f;
  currentScene_.reset(scene);
}

void tSceneManager::beginTransition(tScene* scene, float durationMs) {
  if (inTransition_) {
    delete scene;
    return;
  }
  destScene_.reset(scene);
  tTimer::instance().resetMark(transitionMark_);
  transitionDuration_ = durationMs;
  beta_ = 0.0f;
  inTransition_ = true;
}

void tSceneManager::update() {
  beta_ = 1.0f;
  if (!inTransition_) return;
  const float t = static_cast<float>(tTimer::instance().timeSinceMark(transitionMark_));
  if (t > transitionDuration_) {
    currentScene_ = std::move(destScene_);
    inTransition_ = false;
  } else {
    beta_ = t / transitionDuration_;
  }
}

#include "input/tInputManager.h"

#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"

tInputManager& tInputManager::instance() {
  static tInputManager* manager = new tInputManager();
  return *manager;
}

tInputManager::tInputManager() : lockOwner_(0), lastId_(0) {}

void tInputManager::init() {
  lockOwner_ = 0;
  waiting_.clear();
  tKeyboardHandler::instance().init();
  tMouseHandler::instance().init();
}

void tInputManager::release() {
  tKeyboardHandler::instance().release();
  tMouseHandler::instance().release();
}

void tInputManager::update() {
  tKeyboardHandler::instance().update();
  tMouseHandler::instance().update();
  deliverWaiting();
}

void tInputManager::deliver(const tDelivery& delivery) {
  if (!waiting_.empty() || !delivery()) waiting_.push_back(delivery);
}

void tInputManager::deliverWaiting() {
  while (!waiting_.empty() && waiting_.front()()) waiting_.pop_front();
}

unsigned int tInputManager::getMutex() { return ++lastId_; }

bool tInputManager::lock(unsigned int id) {
  if (lockOwner_ != 0) return false;
  lockOwner_ = id;
  return true;
}

bool tInputManager::unlock(unsigned int id) {
  if (lockOwner_ == 0 || id != lockOwner_) return false;
  lockOwner_ = 0;
  tMouseHandler::instance().clear();
  tKeyboardHandler::instance().clear();
  return true;
}

bool tInputManager::validMutex(unsigned int id) const {
  return lockOwner_ == 0 || lockOwner_ == id;
}

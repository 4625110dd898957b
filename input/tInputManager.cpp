#include "input/tInputManager.h"

#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"

tInputManager& tInputManager::instance() {
  static tInputManager* manager = new tInputManager();
  return *manager;
}

void tInputManager::init() {
  waiting_.clear();
  tKeyboardHandler::instance().init();
  tMouseHandler::instance().init();
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

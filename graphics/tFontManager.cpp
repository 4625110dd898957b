#include "graphics/tFontManager.h"

tFontManager& tFontManager::instance() {
  static tFontManager* manager = new tFontManager();
  return *manager;
}

tFontManager::tFontManager() : currentFont_(nullptr) {}

bool tFontManager::loadAndSetFont(const std::string& path, const std::string& name) {
  return loadFont(path, name) && setCurrentFont(name);
}

bool tFontManager::loadFont(const std::string& path, const std::string& name) {
  if (fonts_.count(name) != 0) return false;
  auto font = std::make_unique<tFontDesc>(path);
  if (!font->ok()) return false;
  fonts_.emplace(name, std::move(font));
  return true;
}

bool tFontManager::setCurrentFont(const std::string& name) {
  auto it = fonts_.find(name);
  if (it == fonts_.end()) return false;
  currentFont_ = it->second.get();
  return true;
}

bool tFontManager::bindCurrentFont() const {
  if (currentFont_ == nullptr) return false;
  currentFont_->setupFont();
  return true;
}

#ifndef ROOTWEAVER_GRAPHICS_TFONTMANAGER_H
#define ROOTWEAVER_GRAPHICS_TFONTMANAGER_H

#include <map>
#include <memory>
#include <string>

#include "graphics/tFontDesc.h"

// The loaded fonts by name and the current one, which the text renderer
// draws with. A font is loaded once under its name and kept for good.
class tFontManager {
 public:
  static tFontManager& instance();

  // Loads the font from the picture at path and makes it current. False, with
  // nothing changed, when the name is taken or the picture cannot be loaded.
  bool loadAndSetFont(const std::string& path, const std::string& name);
  // The same without making it current.
  bool loadFont(const std::string& path, const std::string& name);
  // False, current font unchanged, for a name that is not loaded.
  bool setCurrentFont(const std::string& name);
  // May be null.
  tFontDesc* getCurrentFont() const { return currentFont_; }
  // Binds the current font's texture; false when there is no current font.
  bool bindCurrentFont() const;

 private:
  tFontManager();
  tFontManager(const tFontManager&) = delete;
  tFontManager& operator=(const tFontManager&) = delete;

  tFontDesc* currentFont_;                                   // the current font; null at first
  std::map<std::string, std::unique_ptr<tFontDesc>> fonts_;  // loaded fonts by name
};

#endif

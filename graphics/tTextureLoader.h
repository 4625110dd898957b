#ifndef ROOTWEAVER_GRAPHICS_TTEXTURELOADER_H
#define ROOTWEAVER_GRAPHICS_TTEXTURELOADER_H

#include <string>

#include "graphics/tTexture.h"

// Makes textures from image files, choosing the reader by the extension that
// the path contains (".tga" or ".TGA", else ".bmp" or ".BMP", anywhere in it).
class tTextureLoader {
 public:
  tTextureLoader() = default;
  tTextureLoader(const tTextureLoader&) = delete;
  tTextureLoader& operator=(const tTextureLoader&) = delete;

  // A new texture that the caller owns, or null when no reader fits the path
  // or the file cannot be read.
  tTexture* loadTexture(const std::string& path, bool mipmaps, bool keepImage);
};

#endif

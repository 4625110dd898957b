#include "graphics/tTextureLoader.h"

#include "graphics/tBMPLoader.h"
#include "graphics/tImage.h"
#include "graphics/tTGALoader.h"

namespace {

bool contains(const std::string& path, const char* part) {
  return path.find(part) != std::string::npos;
}

bool isTGAPath(const std::string& path) { return contains(path, ".tga") || contains(path, ".TGA"); }

bool isBMPPath(const std::string& path) { return contains(path, ".bmp") || contains(path, ".BMP"); }

}  // namespace

tTexture* tTextureLoader::loadTexture(const std::string& path, bool mipmaps, bool keepImage) {
  tImage image;
  if (isTGAPath(path)) {
    if (!tTGALoader().load(path, &image)) return nullptr;
  } else if (isBMPPath(path)) {
    if (!tBMPLoader().load(path, &image)) return nullptr;
  } else {
    return nullptr;
  }
  tTexture* texture = new tTexture();
  texture->bindWithImage(&image, mipmaps, keepImage);
  return texture;
}

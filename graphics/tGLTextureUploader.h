#ifndef ROOTWEAVER_GRAPHICS_TGLTEXTUREUPLOADER_H
#define ROOTWEAVER_GRAPHICS_TGLTEXTUREUPLOADER_H

#include "graphics/tTexture.h"

// Makes OpenGL texture objects for tTexture. The windowed program installs it
// once a GL context is current; from then on every texture upload goes here.
//
// Textures are linearly filtered and clamped at their edges, so a picture
// drawn over a whole box never blends its opposite edges together. Textures
// with mipmaps (the font) are built with gluBuild2DMipmaps and minified with
// trilinear filtering, which keeps small text smooth; the others are one
// level, minified linearly.
class tGLTextureUploader : public tTexture::tUploader {
 public:
  static tGLTextureUploader& instance();
  // Makes this the uploader of every texture.
  static void install();

  // The name of a new texture object holding the image; 0 for an empty image.
  unsigned int upload(const tImage& image, bool mipmaps) override;
  void release(unsigned int texID) override;

 private:
  tGLTextureUploader() = default;
  tGLTextureUploader(const tGLTextureUploader&) = delete;
  tGLTextureUploader& operator=(const tGLTextureUploader&) = delete;
};

#endif

#ifndef ROOTWEAVER_GRAPHICS_TGLTEXTUREUPLOADER_H
#define ROOTWEAVER_GRAPHICS_TGLTEXTUREUPLOADER_H

#include <thread>

#include "graphics/tTexture.h"

// Makes OpenGL texture objects for tTexture. The windowed program installs it
// once a GL context is current; from then on every texture upload goes here.
//
// Textures are linearly filtered and clamped at their edges, so a picture
// drawn over a whole box never blends its opposite edges together. Textures
// with mipmaps (the font) are built with gluBuild2DMipmaps and minified with
// trilinear filtering, which keeps small text smooth; the others are one
// level, minified linearly.
//
// GL belongs to the thread whose context is current, the one that installs
// the uploader. Pictures made on any other thread (a BLAM script running in
// the background) are never drawn, so there the uploader does nothing: an
// upload gives the name 0 and a release is ignored. The thread is checked
// before any GL call.
class tGLTextureUploader : public tTexture::tUploader {
 public:
  static tGLTextureUploader& instance();
  // Makes this the uploader of every texture, with the calling thread as the
  // GL thread.
  static void install();

  // The name of a new texture object holding the image; 0 for an empty image
  // or off the GL thread.
  unsigned int upload(const tImage& image, bool mipmaps) override;
  // Deletes the texture object; nothing off the GL thread.
  void release(unsigned int texID) override;
  // Whether the calling thread is the one that installed the uploader.
  bool onGLThread() const { return std::this_thread::get_id() == glThread_; }

 private:
  tGLTextureUploader() = default;
  tGLTextureUploader(const tGLTextureUploader&) = delete;
  tGLTextureUploader& operator=(const tGLTextureUploader&) = delete;

  // The thread that installed the uploader; set before any other thread
  // starts, and read only afterwards.
  std::thread::id glThread_;
};

#endif

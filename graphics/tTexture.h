#ifndef ROOTWEAVER_GRAPHICS_TTEXTURE_H
#define ROOTWEAVER_GRAPHICS_TTEXTURE_H

#include <memory>

#include "graphics/tImage.h"

// An image prepared for drawing as a texture. The texture keeps its own copy
// of the image, brought to power-of-two sides, and the name of the texture
// object made from it.
//
// The engine knows nothing of the graphics library: the upload is the work of
// an uploader that the windowed program registers. With none registered
// (tests, batch runs) the image is still kept and resized exactly as it would
// be before an upload, so a picture has the same size with or without a
// window, and the texture name stays 0.
class tTexture {
 public:
  // Makes texture objects from images and deletes them again.
  class tUploader {
   public:
    virtual ~tUploader() = default;
    // Returns the name of a new texture object holding the image.
    virtual unsigned int upload(const tImage& image, bool mipmaps) = 0;
    virtual void release(unsigned int texID) = 0;
  };

  // The uploader every texture uses from now on; null for none. The caller
  // keeps ownership.
  static void setUploader(tUploader* uploader);

  tTexture();
  ~tTexture();
  tTexture(const tTexture&) = delete;
  tTexture& operator=(const tTexture&) = delete;

  // Keeps a copy of the image, uploads it, and drops the copy again unless
  // keepImage is set. A null image changes nothing.
  void bindWithImage(const tImage* image, bool mipmaps, bool keepImage);
  // Brings the kept image to power-of-two sides and uploads it anew, in place
  // of the old texture object. Without a kept image nothing happens.
  void rebind(bool mipmaps);
  void deleteImage();
  // Uploads the image as it stands, in place of the old texture object,
  // keeping no copy; its sides must be powers of two already
  // (tImage::makeUseableAsTexture).
  void upload(const tImage& image, bool mipmaps);

  tImage* getImage() { return image_.get(); }
  const tImage* getImage() const { return image_.get(); }
  unsigned int getTexID() const { return texID_; }

 private:
  void releaseTexture();

  static tUploader* uploader_;  // registered by the windowed program; null when headless

  std::unique_ptr<tImage> image_;  // the kept image; null when none is kept
  unsigned int texID_;             // name of the texture object; 0 when none
};

#endif

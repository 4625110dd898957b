#include "graphics/tTexture.h"

tTexture::tUploader* tTexture::uploader_ = nullptr;

void tTexture::setUploader(tUploader* uploader) { uploader_ = uploader; }

tTexture::tTexture() : texID_(0) {}

tTexture::~tTexture() { releaseTexture(); }

void tTexture::bindWithImage(const tImage* image, bool mipmaps, bool keepImage) {
  if (image == nullptr) return;
  image_ = std::make_unique<tImage>(*image);
  rebind(mipmaps);
  if (!keepImage) deleteImage();
}

void tTexture::rebind(bool mipmaps) {
  if (!image_) return;
  image_->makeUseableAsTexture();
  if (uploader_ == nullptr) return;
  releaseTexture();
  texID_ = uploader_->upload(*image_, mipmaps);
}

void tTexture::deleteImage() { image_.reset(); }

void tTexture::upload(const tImage& image, bool mipmaps) {
  if (uploader_ == nullptr) return;
  releaseTexture();
  texID_ = uploader_->upload(image, mipmaps);
}

void tTexture::releaseTexture() {
  if (uploader_ != nullptr && texID_ != 0) uploader_->release(texID_);
  texID_ = 0;
}

#include "graphics/tGLTextureUploader.h"

#include <GL/gl.h>
#include <GL/glu.h>

tGLTextureUploader& tGLTextureUploader::instance() {
  static tGLTextureUploader* uploader = new tGLTextureUploader();
  return *uploader;
}

void tGLTextureUploader::install() {
  instance().glThread_ = std::this_thread::get_id();
  tTexture::setUploader(&instance());
}

unsigned int tGLTextureUploader::upload(const tImage& image, bool mipmaps) {
  if (!onGLThread() || image.getWidth() == 0 || image.getHeight() == 0) return 0;
  const GLsizei width = static_cast<GLsizei>(image.getWidth());
  const GLsizei height = static_cast<GLsizei>(image.getHeight());
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                  mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (mipmaps) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                      image.getRawData());
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.getRawData());
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  return id;
}

void tGLTextureUploader::release(unsigned int texID) {
  if (!onGLThread()) return;
  GLuint id = texID;
  glDeleteTextures(1, &id);
}

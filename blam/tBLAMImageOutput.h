#ifndef ROOTWEAVER_BLAM_TBLAMIMAGEOUTPUT_H
#define ROOTWEAVER_BLAM_TBLAMIMAGEOUTPUT_H

#include <string>

#include "blam/tBLAMRunOutput.h"

class tImage;

// The run's picture under its name, in one of the formats _imageFormat
// names: "tga", an uncompressed 24-bit TGA, or "png", a 24-bit RGB PNG. Both
// hold the same pixels, seen the same way up.
class tBLAMImageOutput : public tBLAMRunOutput {
 public:
  // The output of a format's name; null for a name that is neither.
  static const tBLAMImageOutput* forFormat(const std::string& format);
  static const tBLAMImageOutput& tga();

  // The picture file's extension, dot included.
  const std::string& getExtension() const { return extension_; }
  std::string getPath(const tRun& run) const override;
  bool write(const tRun& run) const override;

 private:
  using tWriter = bool (*)(const std::string& path, tImage* image, std::string& error);

  tBLAMImageOutput(std::string format, std::string extension, tWriter writer);

  std::string format_;     // the name _imageFormat gives it
  std::string extension_;  // of the file written
  tWriter writer_;         // writes the image at the path
};

#endif

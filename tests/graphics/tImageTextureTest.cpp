#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tTGALoader.h"
#include "graphics/tTexture.h"
#include "graphics/tTextureLoader.h"

namespace {

// "width x height" of a texture's kept image, or "none".
std::string keptSize(const tTexture& texture) {
  const tImage* image = texture.getImage();
  if (image == nullptr) return "none";
  return std::to_string(image->getWidth()) + "x" + std::to_string(image->getHeight());
}

TEST(tTextureTest, UploaderGetsEachUploadAndEveryRelease) {
  tRecordingUploader uploader;
  tTexture::setUploader(&uploader);
  tImage image(300, 500);  // copied, not changed
  {
    tTexture texture;
    texture.bindWithImage(&image, true, true);
    EXPECT_EQ(7u, texture.getTexID());
    texture.rebind(false);
    texture.bindWithImage(nullptr, false, true);
    EXPECT_EQ(8u, texture.getTexID());
  }
  tTexture dropped;
  dropped.bindWithImage(&image, false, false);
  tTexture::setUploader(nullptr);
  EXPECT_EQ("none", keptSize(dropped));
  EXPECT_EQ(9u, dropped.getTexID());
  std::vector<std::string> expected = {"upload 256x512 mipmaps -> 7", "release 7",
                                       "upload 256x512 -> 8", "release 8", "upload 256x512 -> 9"};
  EXPECT_EQ(expected, uploader.log_);
  EXPECT_EQ(300u, image.getWidth());
}

TEST(tTextureLoaderTest, LoadsByExtensionAndResizesToPowersOfTwo) {
  tScratchDirectory scratch;
  tTextureLoader& loader = tTextureLoader::instance();
  tImage image = makePatternImage(384, 500);  // a tie goes up
  const std::string tgaPath = scratch / "big.tga";
  ASSERT_TRUE(tTGALoader::instance().write(tgaPath, &image, 24, false));
  std::unique_ptr<tTexture> texture(loader.loadTexture(tgaPath, false, true));
  ASSERT_NE(nullptr, texture);
  EXPECT_EQ("512x512", keptSize(*texture));

  // A BMP by its extension; ".tga" wins over ".bmp" wherever they stand.
  const tBytes bmp = tBMPFile{1, 1, 24, {3, 2, 1, 0}}.bytes();
  writeFileBytes(scratch / "one.BMP", bmp);
  texture.reset(loader.loadTexture(scratch / "one.BMP", false, true));
  ASSERT_NE(nullptr, texture);
  EXPECT_EQ(tPixel(1, 2, 3, 255), texture->getImage()->getPixel(0, 0));
  writeFileBytes(scratch / "one.bmp.tga", bmp);
  writeFileBytes(scratch / "one.png", bmp);
  for (const char* name : {"one.bmp.tga", "one.png", "none.tga"})
    EXPECT_EQ(nullptr, loader.loadTexture(scratch / name, false, true)) << name;
}

}  // namespace

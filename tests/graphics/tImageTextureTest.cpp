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

TEST(tTextureTest, WithoutAnUploaderTheImageIsStillResized) {
  tTexture texture;
  tImage image(500, 300);
  texture.bindWithImage(&image, false, true);
  EXPECT_EQ("512x256", keptSize(texture));
  EXPECT_EQ(0u, texture.getTexID());
  EXPECT_EQ(500u, image.getWidth());  // the caller's image is copied, not changed

  texture.getImage()->reinitialize(384, 3);
  texture.rebind(true);
  EXPECT_EQ("512x4", keptSize(texture));
  texture.deleteImage();
  texture.rebind(false);
  EXPECT_EQ("none", keptSize(texture));
  texture.bindWithImage(&image, false, false);
  EXPECT_EQ("none", keptSize(texture));
}

TEST(tTextureTest, UploaderGetsEachUploadAndEveryRelease) {
  tRecordingUploader uploader;
  tTexture::setUploader(&uploader);
  tImage image(300, 500);
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
}

TEST(tTextureLoaderTest, LoadsByExtensionAndResizesToPowersOfTwo) {
  tScratchDirectory scratch;
  tTextureLoader& loader = tTextureLoader::instance();
  tImage image = makePatternImage(500, 500);
  const std::string tgaPath = scratch / "big.tga";
  ASSERT_TRUE(tTGALoader::instance().write(tgaPath, &image, 24, false));
  std::unique_ptr<tTexture> texture(loader.loadTexture(tgaPath, false, true));
  ASSERT_NE(nullptr, texture);
  EXPECT_EQ("512x512", keptSize(*texture));
  texture.reset(loader.loadTexture(tgaPath, false, false));
  ASSERT_NE(nullptr, texture);
  EXPECT_EQ("none", keptSize(*texture));

  // A BMP by its extension; ".tga" wins over ".bmp" wherever they stand.
  const tBytes bmp = tBMPFile(1, 1, 24, {3, 2, 1, 0}).bytes();
  writeFileBytes(scratch / "one.BMP", bmp);
  texture.reset(loader.loadTexture(scratch / "one.BMP", false, true));
  ASSERT_NE(nullptr, texture);
  EXPECT_EQ(tPixel(1, 2, 3, 255), texture->getImage()->getPixel(0, 0));
  writeFileBytes(scratch / "one.bmp.tga", bmp);
  writeFileBytes(scratch / "one.png", bmp);
  for (const char* name : {"one.bmp.tga", "one.png", "none.tga"})
    EXPECT_EQ(nullptr, loader.loadTexture(scratch / name, false, true)) << name;
}

TEST(tTextureLoaderTest, CanLoadLooksForTheFourExtensions) {
  const std::pair<const char*, bool> rows[] = {
      {"a.tga", true},  {"a.TGA", true},  {"a.bmp", true},       {"a.BMP", true},
      {"a.png", false}, {"a.Tga", false}, {"tga", false},        {"x.tga/y", true},
      {"", false},      {"a.bmpx", true}, {"dir.BMP/pic", true}, {"a_tga", false},
  };
  for (const auto& [path, loadable] : rows)
    EXPECT_EQ(loadable, tTextureLoader::instance().canLoad(path)) << path;
}

}  // namespace

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

// Stands in for the windowed program's uploader and records what it was asked.
class tRecordingUploader : public tTexture::tUploader {
 public:
  unsigned int upload(const tImage& image, bool mipmaps) override {
    log_.push_back("upload " + std::to_string(image.getWidth()) + "x" +
                   std::to_string(image.getHeight()) + (mipmaps ? " mipmaps" : "") + " -> " +
                   std::to_string(nextName_));
    return nextName_++;
  }
  void release(unsigned int texID) override { log_.push_back("release " + std::to_string(texID)); }

  std::vector<std::string> log_;  // one line per call, in order
  unsigned int nextName_ = 7;     // name the next upload returns
};

// Registers an uploader for one test and removes it again.
class tUploaderScope {
 public:
  explicit tUploaderScope(tTexture::tUploader* uploader) { tTexture::setUploader(uploader); }
  ~tUploaderScope() { tTexture::setUploader(nullptr); }
};

TEST(tTextureTest, WithoutAnUploaderTheImageIsStillResized) {
  tTexture texture;
  EXPECT_EQ(nullptr, texture.getImage());
  EXPECT_EQ(0u, texture.getTexID());
  tImage image(500, 300);
  texture.bindWithImage(&image, false, true);
  ASSERT_NE(nullptr, texture.getImage());
  EXPECT_EQ(512u, texture.getImage()->getWidth());
  EXPECT_EQ(256u, texture.getImage()->getHeight());
  EXPECT_EQ(0u, texture.getTexID());
  EXPECT_EQ(500u, image.getWidth());  // the caller's image is copied, not changed

  texture.getImage()->reinitialize(384, 3);
  texture.rebind(true);
  EXPECT_EQ(512u, texture.getImage()->getWidth());
  EXPECT_EQ(4u, texture.getImage()->getHeight());
  texture.deleteImage();
  EXPECT_EQ(nullptr, texture.getImage());
  texture.rebind(false);
  EXPECT_EQ(nullptr, texture.getImage());

  texture.bindWithImage(&image, false, false);
  EXPECT_EQ(nullptr, texture.getImage());
}

TEST(tTextureTest, UploaderGetsEachUploadAndEveryRelease) {
  tRecordingUploader uploader;
  tUploaderScope scope(&uploader);
  tImage image(300, 500);
  {
    tTexture texture;
    texture.bindWithImage(&image, true, true);
    EXPECT_EQ(7u, texture.getTexID());
    texture.rebind(false);
    EXPECT_EQ(8u, texture.getTexID());
    texture.bindWithImage(nullptr, false, true);
    EXPECT_EQ(8u, texture.getTexID());
  }
  tTexture dropped;
  dropped.bindWithImage(&image, false, false);
  EXPECT_EQ(nullptr, dropped.getImage());
  EXPECT_EQ(9u, dropped.getTexID());
  std::vector<std::string> expected = {"upload 256x512 mipmaps -> 7", "release 7",
                                       "upload 256x512 -> 8", "release 8", "upload 256x512 -> 9"};
  EXPECT_EQ(expected, uploader.log_);
}

TEST(tTextureLoaderTest, LoadsByExtensionAndResizesToPowersOfTwo) {
  tScratchDirectory scratch;
  tImage image = makePatternImage(500, 500);
  std::string tgaPath = scratch / "big.tga";
  ASSERT_TRUE(tTGALoader::instance().write(tgaPath, &image, 24, false));
  std::unique_ptr<tTexture> texture(tTextureLoader::instance().loadTexture(tgaPath, false, true));
  ASSERT_NE(nullptr, texture);
  ASSERT_NE(nullptr, texture->getImage());
  EXPECT_EQ(512u, texture->getImage()->getWidth());
  EXPECT_EQ(512u, texture->getImage()->getHeight());
  EXPECT_EQ(0u, texture->getTexID());
  texture.reset(tTextureLoader::instance().loadTexture(tgaPath, false, false));
  ASSERT_NE(nullptr, texture);
  EXPECT_EQ(nullptr, texture->getImage());

  // A BMP by its extension; ".tga" wins over ".bmp" wherever they stand.
  tBytes bmp = {'B', 'M'};
  appendLE32(bmp, 58);
  appendLE32(bmp, 0);
  appendLE32(bmp, 54);
  for (std::uint32_t field : {40u, 1u, 1u}) appendLE32(bmp, field);
  appendLE16(bmp, 1);
  appendLE16(bmp, 24);
  bmp.resize(54, 0);
  bmp.insert(bmp.end(), {3, 2, 1, 0});
  writeFileBytes(scratch / "one.BMP", bmp);
  texture.reset(tTextureLoader::instance().loadTexture(scratch / "one.BMP", false, true));
  ASSERT_NE(nullptr, texture);
  EXPECT_EQ(tPixel(1, 2, 3, 255), texture->getImage()->getPixel(0, 0));
  writeFileBytes(scratch / "one.bmp.tga", bmp);
  EXPECT_EQ(nullptr,
            tTextureLoader::instance().loadTexture(scratch / "one.bmp.tga", false, true));

  writeFileBytes(scratch / "one.png", bmp);
  EXPECT_EQ(nullptr, tTextureLoader::instance().loadTexture(scratch / "one.png", false, true));
  EXPECT_EQ(nullptr, tTextureLoader::instance().loadTexture(scratch / "none.tga", false, true));
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

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tPixel.h"
#include "graphics/tTGALoader.h"
#include "graphics/tTexture.h"
#include "graphics/tTextureLoader.h"

namespace {

// Bilinear sampling weighs and adds pixels; products over 255 are scaled down
// together.
TEST(tPixelTest, ProductsClampProportionallyWithAlphaIncluded) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const struct { tPixel pixel; float factor; tPixel expected; } rows[] = {
      {tPixel(200, 100, 50, 255), 2.0f, tPixel(200, 100, 50, 255)},  // 510 scaled by 255/510
      {tPixel(200, 100, 50, 255), 0.5f, tPixel(100, 50, 25, 127)},
      {tPixel(10, 20, 30, 40), -1.0f, tPixel(0, 0, 0, 0)},
      {tPixel(10, 20, 30, 40), nan, tPixel(0, 0, 0, 0)},
      {tPixel(0, 255, 0, 0), inf, tPixel(0, 255, 0, 0)},
  };
  for (const auto& row : rows) EXPECT_EQ(row.expected, row.pixel * row.factor) << row.factor;
  EXPECT_EQ(tPixel(255, 127, 0, 127), tPixel(255, 128, 0, 0) + tPixel(255, 127, 0, 255));
  // Every other test leans on this comparison.
  EXPECT_NE(tPixel(0, 0, 9, 255), tPixel(0, 0, 0, 255));
  EXPECT_NE(tPixel(0, 0, 9, 255), tPixel(0, 0, 9, 254));
  EXPECT_EQ(510.0f, tPixel(0, 0, 0, 0).distance(tPixel(255, 255, 255, 255)));
}

TEST(tImageTest, ResizeResamplesBilinearly) {
  const tPixel left(200, 0, 100, 255), right(0, 200, 50, 255);
  tImage wide = oneRow({left, right});
  wide.resize(4, 1);
  EXPECT_TRUE(imagesEqual(
      oneRow({left, tPixel(100, 100, 75, 254), right, tPixel(0, 200, 50, 254)}), wide));

  const tImage pattern = makePatternImage(4, 4);
  tImage narrow = pattern, halved(2, 2);
  narrow.resize(2, 2);
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) halved(r, c) = pattern(2 * r, 2 * c);
  EXPECT_TRUE(imagesEqual(halved, narrow));

  tImage grown;
  grown.resize(2, 3);
  EXPECT_TRUE(imagesEqual(tImage(2, 3), grown));
}

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
  tTextureLoader loader;
  tImage image = makePatternImage(384, 500);  // a tie goes up
  const std::string tgaPath = scratch / "big.tga";
  ASSERT_TRUE(tTGALoader().write(tgaPath, &image, 24, false));
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

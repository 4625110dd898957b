#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <utility>
#include <vector>

#include "graphics/tImage.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tPNGLoader.h"

namespace {

class tPNGLoaderTest : public tImageLoaderTest {
 protected:
  tPNGLoaderTest() : tImageLoaderTest(tPNGLoader::instance()) {}
};

// The writer keeps the colours and drops the alpha; the reader gives back
// what it wrote, from a file and from memory. The files of other pictures
// are cross-checked with ImageMagick (tImageConvertTest).
TEST_F(tPNGLoaderTest, ReadsBackWhatItWrites) {
  for (const auto& [width, height] : std::vector<std::pair<unsigned, unsigned>>{{1, 1}, {5, 3}, {300, 2}}) {
    tImage image = makePatternImage(width, height);
    const std::string path = scratch_ / "round.png";
    ASSERT_TRUE(tPNGLoader::instance().write(path, &image)) << width;
    EXPECT_TRUE(loadsAs(opaque(image), readFileBytes(path))) << width;
  }
  tImage empty;
  EXPECT_FALSE(tPNGLoader::instance().write(scratch_ / "empty.png", &empty));
  tImage image = makePatternImage(2, 2);
  EXPECT_FALSE(tPNGLoader::instance().write(scratch_ / "no/such/dir.png", &image));
}

// A file that is not a whole PNG is refused, the caller's image untouched.
TEST_F(tPNGLoaderTest, RefusesBrokenFiles) {
  tImage image = makePatternImage(4, 4);
  ASSERT_TRUE(tPNGLoader::instance().write(scratch_ / "good.png", &image));
  const tBytes good = readFileBytes(scratch_ / "good.png");
  tBytes corrupt = good;
  corrupt[good.size() / 2] ^= 0xFF;  // a checksum no longer matches
  // 20000 x 20000 pixels, more than any reader takes, with the header's
  // checksum made right.
  tBytes huge = good;
  huge[18] = huge[22] = 0x4E;
  huge[19] = huge[23] = 0x20;
  const uLong crc = crc32(0, &huge[12], 17);
  for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
  expectRefused({{"empty", {}},
                 {"not a PNG", tBytes(20, 'x')},
                 {"signature only", tBytes(good.begin(), good.begin() + 8)},
                 {"cut in its header", tBytes(good.begin(), good.begin() + 20)},
                 {"cut before IEND", tBytes(good.begin(), good.end() - 12)},
                 {"corrupt", corrupt},
                 {"huge", huge}});
}

}  // namespace

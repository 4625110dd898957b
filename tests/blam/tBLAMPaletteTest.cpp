#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "blam/tBLAMTestSupport.h"

// Palettes and annotated pages, through scripts run by the program.

namespace {

const char kHead[] =
    "_imageDimension = 8\n_useRandomColors = false\n_imageFormat = \"png\"\n"
    "f = loadFunction \"cubicz.func\"\nuse NewtonSolver\n";

// A script that leaves _palette alone paints as one that names the classic
// palette, byte for byte, and a palette named in a script gives the roots of
// z^3 - 1 its colours, in the order the roots are found. (The okabe-ito and
// argument palettes through scripts: the legends of the next test; each
// palette's colours: tPaletteTest.)
TEST(tBLAMPaletteTest, ScriptsPaintWithThePaletteNamed) {
  tAppCopy app;
  writeRaw(app / "p.blam", std::string(kHead) +
                               "run f\n_palette = \"classic\"\nrun f\n"
                               "_palette = \"argument-modulus\"\nrun f\n");
  EXPECT_TRUE(succeeded(app.run("--batch p.blam")));
  EXPECT_EQ(readRaw(app / "-fractal-0.png"), readRaw(app / "-fractal-1.png"));
  std::string expected = "image,root,x,y,red,green,blue,fraction\n";
  const char* const colors[][3] = {{"159,66,238", "92,245,60", "32,137,128"},
                                   {"159,66,238", "92,245,60", "32,137,128"},
                                   {"0,0,255", "255,0,0", "0,255,0"}};
  for (int image = 0; image < 3; ++image) {
    const std::string name = "-fractal-" + std::to_string(image) + ".png,";
    expected += name + "0,-0.49999999999999933,-0.86602540378443904," + colors[image][0] +
                ",0.390625\n" + name + "1,0.99999999999962286,1.7066568222173431e-13," +
                colors[image][1] + ",0.296875\n" + name +
                "2,-0.49999999999891054,0.86602540378183424," + colors[image][2] + ",0.296875\n";
  }
  EXPECT_EQ(expected, readRaw(app / "-basins.csv"));
}

// The page beside each picture parses as XML and holds the picture (the PNG
// file itself, or a PNG of a TGA picture), the ticks in plane coordinates,
// the legend's roots with their shares and swatches, and the palette.
TEST(tBLAMPaletteTest, AnnotatedPagesHoldThePictureAxesAndLegend) {
  tAppCopy app;
  writeRaw(app / "a.blam",
           "_imageDimension = 16\n_useRandomColors = false\n"
           "_palette = \"okabe-ito\"\n_annotate = true\n_imageFormat = \"png\"\n"
           "f = loadFunction \"cubicz.func\"\nuse NewtonSolver\nrun f\n"
           "_imageFormat = \"tga\"\n_palette = \"argument\"\n_minX = 0.25\n"
           "_maxX = 1.75\nrun f\n");
  writeRaw(app / "check.py",
           "import base64, sys, xml.etree.ElementTree as ET\n"
           "svg = '{http://www.w3.org/2000/svg}'\n"
           "page = ET.parse(sys.argv[1]).getroot()\n"
           "href = page.find(svg + 'image').get('{http://www.w3.org/1999/xlink}href')\n"
           "data = base64.b64decode(href.split(',', 1)[1])\n"
           "same = data == open(sys.argv[2], 'rb').read()\n"
           "print('embedded:', 'the picture' if same else data[1:4].decode())\n"
           "print('texts:', ' | '.join(t.text for t in page.iter(svg + 'text')))\n"
           "print('swatches:', ' '.join(r.get('fill') for r in page.iter(svg + 'rect')\n"
           "                            if r.get('class') == 'swatch'))\n");
  EXPECT_TRUE(succeeded(app.run("--batch a.blam")));
  const tAppCopy::tResult png =
      app.shell("/usr/bin/python3 check.py ./-fractal-0.svg ./-fractal-0.png");
  EXPECT_EQ(
      "embedded: the picture\n"
      "texts: cubicz.func, NewtonSolver | -2 | -1 | 0 | 1 | 2 | -2 | -1 | 0 | 1 | 2 | x | y | "
      "Root (x, y) | share of pixels | (-0.5, -0.866025) | 35.9% | (1, 0) | 32.4% | "
      "(-0.5, 0.866025) | 31.2% | singular Jacobian | 0.4% | Colours: palette okabe-ito\n"
      "swatches: #e69f00 #56b4e9 #009e73 #ffff00\n",
      png.out + png.err);
  const tAppCopy::tResult tga =
      app.shell("/usr/bin/python3 check.py ./-fractal-1.svg ./-fractal-1.tga");
  EXPECT_EQ(
      "embedded: PNG\n"
      "texts: cubicz.func, NewtonSolver | 0.4 | 0.6 | 0.8 | 1 | 1.2 | 1.4 | 1.6 | -2 | -1 | 0 | "
      "1 | 2 | x | y | Root (x, y) | share of pixels | (-0.5, -0.866025) | 18.8% | "
      "(-0.5, 0.866025) | 16.4% | (1, 0) | 64.8% | Colours: palette argument\n"
      "swatches: #0000ff #00ff00 #ff0000\n",
      tga.out + tga.err);
}

// A sweep of annotated pictures under a named palette needs no seed to be
// split into shards: each shard writes its runs' pages beside their
// pictures, and the merge gives the files of the whole run.
TEST(tBLAMPaletteTest, AnnotatedSweepsSplitIntoShards) {
  tAppCopy app;
  writeRaw(app / "s.blam",
           "_imageDimension = 16\n_palette = \"okabe-ito\"\n_annotate = true\n"
           "f = loadFunction \"cubicz.func\"\nuse NewtonSolver\n"
           "batch \"sw\" of 3\n_minX from -2 to -1\nrun f\nend\n");
  ASSERT_EQ(0, app.run("--batch s.blam --output-dir whole").status);
  const std::string shard = "./rootweaver --batch s.blam --output-dir sharded --shard ";
  const tAppCopy::tResult merged =
      app.shell(shard + "0/2 && " + shard + "1/2 && ./rootweaver --merge sharded");
  ASSERT_EQ(0, merged.status) << merged.err;
  const auto whole = filesBelow(app / "whole");
  EXPECT_EQ(1u, whole.count("sw-fractal-3.svg"));
  EXPECT_EQ(std::vector<std::string>(), differences(whole, filesBelow(app / "sharded")));
}

// A palette that is none fails at its place and the pictures keep the
// palette before it; values of the wrong type are warnings; a page that
// cannot be written fails its run, which still writes its picture.
TEST(tBLAMPaletteTest, BadValuesAreNamedAtTheirPlace) {
  const std::string names = "palettes are classic, okabe-ito, argument, argument-modulus";
  const struct {
    std::string lines;  // after the head, before "run f"
    bool blocked;       // a folder stands where the page goes
    int status;
    std::string err;
  } rows[] = {
      {"_palette = \"Okabe-Ito\"\n", false, 1,
       "s.blam:6:1: _palette: 'Okabe-Ito' is no palette; " + names +
           "; the assignment changes nothing\nrootweaver: 1 statement failed; outputs "
           "incomplete\n"},
      {"_palette = okabe\n", false, 0,
       "s.blam:6:1: '_palette' takes quoted text, not okabe; the assignment changes nothing\n"},
      {"_annotate = 1\n", false, 0,
       "s.blam:6:1: '_annotate' takes true or false, not 1; the assignment changes nothing\n"},
      {"_annotate = true\n", true, 1,
       "s.blam: run f: cannot write DIR/-fractal-0.svg: not a regular file\nrootweaver: 1 "
       "statement failed; outputs incomplete\n"},
  };
  for (const auto& row : rows) {
    tAppCopy app;
    writeRaw(app / "s.blam", kHead + row.lines + "run f\n");
    if (row.blocked) std::filesystem::create_directory(app / "-fractal-0.svg");
    const tAppCopy::tResult result = app.run("--batch s.blam");
    EXPECT_EQ(row.status, result.status) << row.lines;
    std::string err = row.err;
    const std::size_t dir = err.find("DIR");
    if (dir != std::string::npos)
      err.replace(dir, 3, std::filesystem::canonical(app / "").string());
    EXPECT_EQ(err, result.err) << row.lines;
    EXPECT_EQ(8u, pngSize(app / "-fractal-0.png").first) << row.lines;
  }
}

}  // namespace

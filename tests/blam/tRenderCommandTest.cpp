#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "blam/tBLAMTestSupport.h"
#include "graphics/tImageTestSupport.h"

namespace {

// "W x H" of a PNG or TGA file; "" when it cannot be loaded.
std::string sizeOf(const std::string& path) {
  tImage image;
  if (!loadPicture(path, &image)) return "";
  return std::to_string(image.getWidth()) + " x " + std::to_string(image.getHeight());
}

}  // namespace

// Every option of render and every way it fails: what it prints, its exit
// status and the size of the picture it writes, or that it writes none.
TEST(tRenderCommandTest, OptionsAndErrors) {
  const struct {
    const char* arguments;
    const char* picture;  // the file it writes; "" when none
    const char* size;
    int status;
    std::string out, err;
  } rows[] = {
      {"render cubicz.func", "cubicz.png", "512 x 512", 0, "cubicz.png\n", ""},
      {"render 'Shared Functions/cubic.func' --size 30x17 --iterations 20 --step 0.5 -o a.tga",
       "a.tga", "30 x 17", 0, "a.tga\n", ""},
      {"render 'f(z) = z^5 - 1' --method HalleySolver --size 9 --shade --seed 4 --threads 2",
       "render.png", "9 x 9", 0, "render.png\n", ""},
      {"render 'f(z) = z^3 - q' --size 4", "render.png", "4 x 4", 0, "render.png\n",
       "rootweaver: f(z) = z^3 - q: 'q' is not set; it reads as 0\n"},
      {"render cubicz.func --size 1x40 --center 0.5 0 --width 1e-9 -o thin.png", "thin.png",
       "1 x 40", 0, "thin.png\n", ""},
      // The bounds choose the size, are kept within half a pixel of it, or
      // fit it as plotting programs do.
      {"render cubicz.func --bounds -2 2 -0.5 0.5 -o wide.png", "wide.png", "512 x 128", 0,
       "wide.png\n", ""},
      {"render cubicz.func --bounds 0 1 0 3.04 --size 10x30 -o tall.png", "tall.png", "10 x 30", 0,
       "tall.png\n", ""},
      {"render cubicz.func --bounds -2 2 -2 2 --size 40x20 -o fit.png", "fit.png", "40 x 20", 0,
       "fit.png\n",
       "rootweaver: --bounds give y from -2 to 2, which does not fit 40 x 20 pixels with x from -2 "
       "to 2; y runs from -1 to 1 to keep the pixels square\n"},
      {"render cubicz.func --palette okabe-ito --annotate --size 8 -o ok.png", "ok.png", "8 x 8", 0,
       "ok.png\nok.svg\n", ""},
      {"render cubicz.func --palette classic --size 8 -o sub/x.png", "", "", 1, "",
       "rootweaver: cannot write sub/x.png: No such file or directory\n"},
      {"render missing.func", "", "", 1, "",
       "rootweaver: cannot read function file missing.func: no such file\n"},
      {"render cubic.func --method LaguerreSolver", "", "", 1, "",
       "rootweaver: cannot draw cubic.func: LaguerreSolver needs f'' of a map given as f(z), not "
       "a map given by real formulas\n"},
      {"render 'f(z) = z^3 - ' -o bad.png", "", "", 1, "", ""},
      // Every usage error takes this one path; tCommandLineTest has their messages.
      {"render cubicz.func --frobnicate", "", "", 2, "",
       "rootweaver: unknown option --frobnicate; see rootweaver --help\n"},
  };
  for (const auto& row : rows) {
    tAppCopy app;
    const tAppCopy::tResult result = app.run(row.arguments);
    EXPECT_EQ(row.status, result.status) << row.arguments;
    EXPECT_EQ(row.out, result.out) << row.arguments;
    if (row.status == 1 && row.err.empty()) {
      // The reader's messages, then the one line of render.
      EXPECT_NE(std::string::npos, result.err.find("rootweaver: cannot draw")) << result.err;
    } else {
      EXPECT_EQ(row.err, result.err) << row.arguments;
    }
    EXPECT_EQ(row.size, sizeOf(app / row.picture)) << row.arguments;
    if (row.status != 0) {
      EXPECT_EQ("", readRaw(app / "render.png")) << row.arguments;
    }
  }
}

// A rendered picture is byte for byte the one a script with the same
// settings writes, square or not, and _imageDimension still rounds to a
// power of two where _imageWidth and _imageHeight do not.
TEST(tRenderCommandTest, PicturesAreTheScriptsAndSizesAreExact) {
  const char* const common =
      "_useRandomColors = false\n_maxIterations = 25\n_imageFormat = \"tga\"\n"
      "f = loadFunction \"cubicz.func\"\nuse NewtonSolver\n";
  const struct {
    const char* render;
    const char* script;
    const char* size;
  } rows[] = {
      {"--size 64", "_imageDimension = 64\n", "64 x 64"},
      {"--size 48x20 --center 0.5 0 --width 3",
       "_imageWidth = 48\n_imageHeight = 20\n_minX = -1\n_maxX = 2\n_minY = -0.625\n"
       "_maxY = 0.625\n",
       "48 x 20"},
      {"--size 100", "_imageWidth = 100\n", "100 x 100"},
      {"--size 40x24 --palette argument",
       "_imageWidth = 40\n_imageHeight = 24\n_minY = -1.2\n"
       "_maxY = 1.2\n_palette = \"argument\"\n",
       "40 x 24"},
      {"--size 128", "_imageDimension = 100\n", "128 x 128"},
  };
  for (const auto& row : rows) {
    tAppCopy app;
    writeRaw(app / "same.blam", std::string(common) + row.script + "run f\n");
    ASSERT_EQ(0, app.run("--batch same.blam").status) << row.script;
    const tAppCopy::tResult rendered =
        app.run(std::string("render cubicz.func --iterations 25 -o r.tga ") + row.render);
    ASSERT_EQ(0, rendered.status) << rendered.err;
    EXPECT_EQ(row.size, sizeOf(app / "r.tga")) << row.render;
    EXPECT_EQ(readRaw(app / "-fractal-0.tga"), readRaw(app / "r.tga")) << row.render;
  }
  // The stats file gives such a picture's side as WIDTHxHEIGHT, from which
  // the plot of iterations takes the number of starts.
  tAppCopy app;
  writeRaw(app / "speeds.blam", std::string(common) +
                                    "_imageWidth = 30\n_imageHeight = 17\n_speedMeasures = true\n"
                                    "_outputDir = \"out\"\nbatch \"s\" of 1\nrun f\nend\n");
  ASSERT_EQ(0, app.run("--batch speeds.blam").status);
  const std::string stats = readRaw(app / "out/s-stats.csv");
  EXPECT_NE(std::string::npos, stats.find(",NewtonSolver,1,25,30x17,")) << stats;
  const std::string plot = readRaw(app / "out/s-iterations.svg");
  EXPECT_NE(std::string::npos, plot.find("s-fractal-1.tga")) << plot;
  EXPECT_EQ(std::string::npos, plot.find("not shown")) << plot;
}

// With standard error in a file, a batch writes one line per run computed,
// with the run's picture, its time and the time left; --quiet keeps them,
// --progress=none drops them, and a shard counts its own runs.
TEST(tRenderCommandTest, RunLinesOnAStandardErrorThatIsNoTerminal) {
  tAppCopy app;
  writeRaw(app / "three.blam",
           "_imageDimension = 16\n_seed = 1\nf = loadFunction \"cubicz.func\"\n"
           "use NewtonSolver\nbatch \"b\" of 3\nrun f\nend\n");
  const std::string time = "[0-9.]+ s";
  const std::regex whole("run 1 of 3: b-fractal-1.tga, " + time + ", about " + time +
                         " left\nrun 2 of 3: b-fractal-2.tga, " + time + ", about " + time +
                         " left\nrun 3 of 3: b-fractal-3.tga, " + time + "\n");
  const std::regex shard("run 1 of 2: b-fractal-1.tga, " + time + ", about " + time +
                         " left\nrun 2 of 2: b-fractal-3.tga, " + time + "\n");
  const struct {
    const char* arguments;
    const std::regex* lines;  // null for none
  } rows[] = {
      {"--batch three.blam", &whole},
      {"--batch three.blam --quiet", &whole},
      {"--batch three.blam --progress=none", nullptr},
      {"--batch three.blam --shard 0/2", &shard},
  };
  for (const auto& row : rows) {
    const tAppCopy::tResult result = app.run(row.arguments);
    EXPECT_TRUE(succeeded(result)) << row.arguments;
    if (row.lines) {
      EXPECT_TRUE(std::regex_match(result.runs, *row.lines)) << row.arguments << "\n"
                                                             << result.runs;
    } else {
      EXPECT_EQ("", result.runs) << row.arguments;
    }
  }
}

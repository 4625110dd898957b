// The headless program end to end: the examples through `rootweaver --batch`
// in a copy of the application folder, --check and what the command line
// refuses; then the script reader, number conversions and the progress line.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "File/tFileUtils.h"
#include "blam/tBLAMOutputs.h"
#include "blam/tBLAMProgress.h"
#include "blam/tBLAMScript.h"
#include "blam/tBLAMStatement.h"
#include "blam/tBLAMTestSupport.h"
#include "expr/tInstructionSet.h"
#include "fractal/tSession.h"
#include "graphics/tImageTestSupport.h"
#include "graphics/tPNGLoader.h"
#include "graphics/tTGALoader.h"

namespace {

const char kSweepTrace[] = R"(Tokenizing took: #

BLAM tokens = [_imageDimension, =, 256, _maxIterations, =, 50, _stepSize, =, 1, _outputDir, =, "results", f, =, loadFunction, "cubic.func", use, RungeKuttaSolver4, batch, "sweep", of, 3, a, from, 0.5, to, 1.5, run, f, graph, "dims", a, _fractalDimension_, end]

assignment: _imageDimension
assignment: _maxIterations
assignment: _stepSize
assignment: _outputDir
assignment: f
Tokenizing took: #

func tokens = [a, =, 1, f1, =, x, ^, 3, -, 3, *, x, *, y, ^, 2, -, a, f2, =, 3, *, x, ^, 2, *, y, -, y, ^, 3, f11, =, 3, *, x, ^, 2, -, 3, *, y, ^, 2, f12, =, -, 6, *, x, *, y, f21, =, 6, *, x, *, y, f22, =, 3, *, x, ^, 2, -, 3, *, y, ^, 2]

STARTED PROCESSING
trying to add: a
next is: =
f1 done
f2 done
f11 done
f12 done
f21 done
f22 done
DONE PROCESSING
fx = [MINUS : [MINUS : [POW : [X : _, _], [CONSTANT 3 : _, _]], [TIMES : [TIMES : [CONSTANT 3 : _, _], [X : _, _]], [POW : [Y : _, _], [CONSTANT 2 : _, _]]]], [VARIABLE a = 1 : _, _]]

fy = [MINUS : [TIMES : [TIMES : [CONSTANT 3 : _, _], [POW : [X : _, _], [CONSTANT 2 : _, _]]], [Y : _, _]], [POW : [Y : _, _], [CONSTANT 3 : _, _]]]

fxx = [MINUS : [TIMES : [CONSTANT 3 : _, _], [POW : [X : _, _], [CONSTANT 2 : _, _]]], [TIMES : [CONSTANT 3 : _, _], [POW : [Y : _, _], [CONSTANT 2 : _, _]]]]

fxy = [TIMES : [TIMES : [NEGATION : [CONSTANT 6 : _, _], _], [X : _, _]], [Y : _, _]]

fyx = [TIMES : [TIMES : [CONSTANT 6 : _, _], [X : _, _]], [Y : _, _]]

fyy = [MINUS : [TIMES : [CONSTANT 3 : _, _], [POW : [X : _, _], [CONSTANT 2 : _, _]]], [TIMES : [CONSTANT 3 : _, _], [POW : [Y : _, _], [CONSTANT 2 : _, _]]]]

BLAM statements = [[ASSIGN : _imageDimension = [CONSTANT 256 : _, _]
], [ASSIGN : _maxIterations = [CONSTANT 50 : _, _]
], [ASSIGN : _stepSize = [CONSTANT 1 : _, _]
], [ASSIGN : _outputDir = results], [ASSIGN : f = some function!], [USE RungeKuttaSolver4], [BATCH of 3 : [[PARAM_RANGE : a from 0.5 to 1.5], [RUN f], [GRAPH x = a y = _fractalDimension_ to dims]]]]

setting: _imageDimension : 256
setting: _maxIterations : 50
setting: _stepSize : 1
Cooked fractal in: #
Cooked fractal in: #
Cooked fractal in: #
)";

bool hasPython() { return std::system("python3 --version >/dev/null 2>&1") == 0; }

// Runs the Python program in the copy; its output and errors.
std::string runPython(const tAppCopy& app, const std::string& program) {
  writeRaw(app / "read.py", program);
  return app.shell("python3 read.py 2>&1").out;
}

TEST(tBLAMCommandLineTest, SweepExampleEndToEnd) {
  tAppCopy app;
  std::filesystem::copy_file(ROOTWEAVER_SOURCE_DIR "/examples/sweep.blam", app / "sweep.blam");

  tAppCopy::tResult result = app.run("--batch sweep.blam");

  EXPECT_TRUE(succeeded(result));
  EXPECT_EQ(kSweepTrace, maskTimings(result.out));
  for (int image = 1; image <= 3; ++image) {
    std::string tga = "results/sweep-fractal-" + std::to_string(image) + ".tga";
    EXPECT_EQ(256u, tgaSide(app / tga)) << tga;
  }

  // The values that vary: a time in seconds and a dimension, six decimals each.
  const std::regex took("(Took: \t\t)[0-9]+\\.[0-9]{6}( seconds\n)");
  const std::regex dimension("(Dimension: \t)(-?[0-9]+\\.[0-9]{6})\n");
  std::string data = readRaw(app / "results/sweep-fractal-data.txt");
  std::vector<std::string> dimensions;
  for (std::sregex_iterator it(data.begin(), data.end(), dimension), end; it != end; ++it)
    dimensions.push_back((*it)[2]);
  ASSERT_EQ(3u, dimensions.size());
  data = std::regex_replace(std::regex_replace(data, took, "$1#$2"), dimension, "$1#\n");
  const std::string values[] = {"0.500000", "1.000000", "1.500000"};
  std::string blocks, dims;
  for (int k = 0; k < 3; ++k) {
    blocks += dataBlock({"sweep-fractal-" + std::to_string(k + 1) + ".tga", "cubic.func",
                         "RungeKuttaSolver4", "50", "1.000000", "-2.000000", "2.000000",
                         "-2.000000", "2.000000", "a=" + values[k]});
    dims += "[" + values[k] + ", " + dimensions[k] + (k < 2 ? "],\n" : "]\n");
  }
  EXPECT_EQ(blocks, data);
  EXPECT_EQ(dims, readRaw(app / "results/sweep-dims.txt"));
}

// Jitter 3 and random colours, seeded by --seed in one copy of the program
// and by _seed in another: every picture the same bytes, whatever the clock.
// Each run is seeded anew, so the TGA and the PNG of the two first runs hold
// the same pixels (how other readers see each format: tImageLoaderTest and
// tImageConvertTest); the shaded third run darkens some pixels and leaves the failures' grey and
// yellow as they were.
TEST(tBLAMCommandLineTest, SeededPicturesInBothFormatsAndShaded) {
  const std::string body =
      "_imageDimension = 32\n_jitter = 3\n_maxIterations = 20\n"
      "f = loadFunction \"quinticz.func\"\nuse NewtonSolver\n"
      "run f\n_imageFormat = \"png\"\nrun f\n_shadeBySpeed = true\nrun f\n";
  tAppCopy byOption, byVariable;
  writeRaw(byOption / "seeded.blam", body);
  writeRaw(byVariable / "seeded.blam", "_seed = 1234\n" + body);
  for (const auto& [app, arguments] :
       {std::make_pair(&byOption, "--seed 1234 --batch seeded.blam"),
        std::make_pair(&byVariable, "--batch seeded.blam")}) {
    EXPECT_TRUE(succeeded(app->run(arguments))) << arguments;
  }
  for (const char* file : {"-fractal-0.tga", "-fractal-1.png", "-fractal-2.png"}) {
    const std::string bytes = readRaw(byOption / file);
    EXPECT_FALSE(bytes.empty()) << file;
    EXPECT_EQ(bytes, readRaw(byVariable / file)) << file;
  }

  tImage tga, png, shaded;
  ASSERT_TRUE(tTGALoader().load(byOption / "-fractal-0.tga", &tga));
  ASSERT_TRUE(tPNGLoader().load(byOption / "-fractal-1.png", &png));
  ASSERT_TRUE(tPNGLoader().load(byOption / "-fractal-2.png", &shaded));
  EXPECT_TRUE(imagesEqual(tga, png));
  int darker = 0;
  for (unsigned int r = 0; r < 32; ++r) {
    for (unsigned int c = 0; c < 32; ++c) {
      const tPixel flat = png(r, c), dark = shaded(r, c);
      const bool failed = flat == tPixel(50, 50, 50, 255) || flat == tPixel(255, 255, 0, 255);
      EXPECT_TRUE(failed ? dark == flat
                         : dark[0] <= flat[0] && dark[1] <= flat[1] && dark[2] <= flat[2])
          << r << "," << c;
      darker += dark != flat;
    }
  }
  EXPECT_GT(darker, 500);
}

// Every graph file gets an SVG plot beside it that Python's XML parser
// reads, with one point mark for each line of the graph whose values are
// finite; a graph of a measure that is not defined (nan) notes that its
// points were left out. The plot of the histograms of iterations reads too,
// with a line for each image and each image named in its legend.
TEST(tBLAMCommandLineTest, GraphPlotsAreSVGWithAPointPerFiniteLine) {
  if (!hasPython()) GTEST_SKIP() << "python3 is not installed";
  tAppCopy app;
  writeRaw(app / "plots.blam",
           "_imageDimension = 16\n_maxIterations = 20\nf = loadFunction \"quadratic.func\"\n"
           "_speedMeasures = true\n"
           "use NewtonSolver\nbatch \"sweep\" of 4\nc from 1 to 4\nrun f\n"
           "graph \"dims\" c _fractalDimension_\ngraph \"wada\" c _wadaDistance_\nend\n");
  ASSERT_EQ(0, app.run("--batch plots.blam").status);
  const char* reader = R"(
import math, re, xml.etree.ElementTree as ET
ns = '{http://www.w3.org/2000/svg}'
for name, y in (('dims', '_fractalDimension_'), ('wada', '_wadaDistance_')):
    lines = open('sweep-%s.txt' % name).read().splitlines()
    values = [[float(v) for v in re.findall(r'[-+a-z0-9.]+', line)] for line in lines]
    finite = sum(all(math.isfinite(v) for v in pair) for pair in values)
    root = ET.parse('sweep-%s.svg' % name).getroot()
    points = [c for c in root.iter(ns + 'circle') if c.get('class') == 'point']
    texts = [t.text or '' for t in root.iter(ns + 'text')]
    noted = any('not finite' in text for text in texts)
    print(name, len(lines), finite, len(points), noted, 'c' in texts and y in texts)
root = ET.parse('sweep-iterations.svg').getroot()
lines = [p for p in root.iter(ns + 'polyline') if p.get('class') == 'series']
texts = [t.text or '' for t in root.iter(ns + 'text')]
images = ['sweep-fractal-%d.tga' % n for n in range(1, 5)]
print(len(lines), all(image in texts for image in images))
)";
  EXPECT_EQ("dims 4 4 4 False True\nwada 4 0 0 True True\n4 True\n", runPython(app, reader));
}

// --help prints the usage, and a script that cannot be read is one line on
// standard error, nothing on standard output, status 1: devices, pipes,
// directories and huge files are refused before reading.
TEST(tBLAMCommandLineTest, UsageAndUnreadableScripts) {
  tAppCopy app;
  tAppCopy::tResult help = app.run("--help");
  EXPECT_TRUE(succeeded(help));
  EXPECT_EQ(0u, help.out.find("Usage: rootweaver [--batch FILE.blam | --check [--bounds MINX MAXX "
                              "MINY MAXY] FILE.func...\n"));
  EXPECT_NE(std::string::npos, help.out.find("\n  --quiet            with --batch or --merge"));

  writeRaw(app / "huge.blam", "x = 1\n");
  std::filesystem::resize_file(app / "huge.blam", tFileUtils::MAX_READ_SIZE + 1);
  const struct {
    const char* script;
    const char* why;
  } unreadable[] = {{"missing.blam", ""},
                    {"Shared Functions", ": not a regular file"},
                    {"/dev/zero", ": not a regular file"},
                    {"huge.blam", ": larger than 64 MiB"}};
  for (const auto& row : unreadable) {
    const std::string script = row.script;
    for (const char* quiet : {"", " --quiet"}) {
      tAppCopy::tResult result = app.run("--batch '" + script + "'" + quiet);
      EXPECT_EQ(1, result.status) << script;
      EXPECT_EQ("", result.out) << script;
      EXPECT_EQ("rootweaver: cannot read script " + script + row.why + "\n", result.err);
    }
  }
}

// ROOTWEAVER_SIMD names an instruction set in any case; a value that names
// none, or a set this processor lacks, is one line and the best set is used.
TEST(tBLAMCommandLineTest, InstructionSetsAreNamedInAnyCase) {
  tAppCopy app;
  writeRaw(app / "tiny.blam",
           "_imageDimension = 4\n_useRandomColors = false\nf = loadFunction \"quadratic.func\"\n"
           "use NewtonSolver\nrun f\n");
  const bool avx2 = tInstructionSet::supports(tInstructionSet::AVX2);
  const std::string best = avx2 ? "avx2" : "sse2";
  auto refused = [&best](const std::string& value) {
    return "ROOTWEAVER_SIMD=" + value + ": not sse2 or a set this processor has; using " + best +
           "\n";
  };
  const struct {
    const char* value;
    std::string err;
  } rows[] = {{"sse2", ""},
              {"SSE2", ""},
              {"Sse2", ""},
              {"avx2", avx2 ? "" : refused("avx2")},
              {"AVX2", avx2 ? "" : refused("AVX2")},
              {"avx512", refused("avx512")},
              {"sse", refused("sse")}};
  for (const auto& row : rows) {
    const tAppCopy::tResult result =
        app.shell(std::string("ROOTWEAVER_SIMD=") + row.value + " ./rootweaver --batch tiny.blam");
    EXPECT_EQ(0, result.status) << row.value;
    EXPECT_EQ(row.err, result.err) << row.value;
  }
}

// --check reports on every file named, from the working directory or else
// from "Shared Functions/", and exits with the worst status; a byte-order
// mark before a file's first line is left out. Quiet, it prints the report
// of a file that fails on standard error, after the file's warnings, and
// nothing else.
TEST(tBLAMCommandLineTest, CheckReportsEveryFileAndExitsWithTheWorstStatus) {
  tAppCopy app;
  writeRaw(app / "wrong.func", "f1 = x^2\nf2 = y\nf11 = x\n");
  writeRaw(app / "cubic.func", "f1 = x\n");  // a file of the working directory comes first
  writeRaw(app / "marked.func", "\xEF\xBB\xBF// z^2 - 1\nf(z) = z^2 - 1\n");
  const struct {
    const char* arguments;
    int status;
    const char* out;  // a part of standard output
    std::string err;  // all of standard error
  } rows[] = {
      {"--check sinez.func --bounds -1 1 0.5 2.5 realmap.func", 0,
       "realmap.func\n  f1 (given) = x^2 + y^2 - r\n", ""},
      {"--check quadratic.func", 0, "over [-2, 2] x [-2, 2]\n", ""},
      {"--check cubic.func", 1, "  f11 (derived) = 1\n",
       app / "cubic.func" + ": incomplete function, missing f2, f21, f22\n"},
      {"--check wrong.func quadratic.func", 1, "  f11 (given): worst relative disagreement 0.5 at",
       ""},
      {"--check quadratic.func none.func", 2, "quadratic.func\n",
       "rootweaver: cannot read function file none.func\n"},
      {"--check marked.func", 0, "marked.func\n  f(z) = z^2 - 1\n", ""},
  };
  for (const auto& row : rows) {
    tAppCopy::tResult result = app.run(row.arguments);
    EXPECT_EQ(row.status, result.status) << row.arguments;
    EXPECT_NE(std::string::npos, result.out.find(row.out)) << row.arguments << "\n" << result.out;
    EXPECT_EQ(row.err, result.err) << row.arguments;
  }

  std::string failed;
  for (const char* file : {"quadratic.func", "wrong.func", "cubic.func", "none.func"}) {
    const tAppCopy::tResult loud = app.run(std::string("--check ") + file);
    const tAppCopy::tResult quiet = app.run(std::string("--check --quiet ") + file);
    EXPECT_EQ(loud.status, quiet.status) << file;
    EXPECT_EQ("", quiet.out) << file;
    const std::string report = loud.status == 1 ? loud.out : "";
    EXPECT_EQ(loud.err + report, quiet.err) << file;
    failed += loud.err + report;
  }
  const tAppCopy::tResult all =
      app.run("--check quadratic.func wrong.func --quiet cubic.func none.func");
  EXPECT_EQ(2, all.status);
  EXPECT_EQ("", all.out);
  EXPECT_EQ(failed, all.err);
}

// Every bundled example does all it asks (the sixteen-picture cluster
// sweep as one of its shards): status 0, nothing on standard error. An
// absolute _outputDir is taken as given, not below the output directory.
TEST(tBLAMCommandLineTest, ExamplesSucceedAndAbsoluteOutputDirectoriesStayAbsolute) {
  tAppCopy app;
  for (const auto& entry : std::filesystem::directory_iterator(ROOTWEAVER_SOURCE_DIR "/examples")) {
    if (entry.path().extension() != ".blam") continue;
    const std::string shard = entry.path().stem() == "cluster" ? " --shard 0/16" : "";
    EXPECT_TRUE(
        succeeded(app.run("--batch " + entry.path().string() + " --output-dir out" + shard)))
        << entry.path();
  }
  writeRaw(app / "absolute.blam", "_imageDimension = 4\n_outputDir = \"" + app / "abs" +
                                      "\"\nf = loadFunction \"quadratic.func\"\n"
                                      "use NewtonSolver\n_useRandomColors = false\nrun f\n");
  ASSERT_EQ(0, app.run("--batch absolute.blam --output-dir out").status);
  EXPECT_EQ(4u, tgaSide(app / "abs/-fractal-0.tga"));
}

// Reading stops at what cannot begin or continue a statement, and the
// statements before it stay: use and run take a name, a batch a quoted one;
// keywords are case-sensitive, and end alone is no keyword.
TEST(tBLAMScriptTest, ReadingStopsAtWhatCannotBeginOrContinueAStatement) {
  const struct {
    const char* text;
    const char* err;
    const char* statements;
  } rows[] = {
      {"run(f)\n", "names.blam:1:4: reading stopped at '('\n", "[]"},
      {"x = 1\n  run (f)\n", "names.blam:2:7: reading stopped at '('\n", "[[ASSIGN : x = "},
      {"use \"NewtonSolver\"\n", "names.blam:1:5: reading stopped at '\"NewtonSolver\"'\n", "[]"},
      {"use NewtonSolver\nrun -f\n", "names.blam:2:5: reading stopped at '-'\n",
       "[[USE NewtonSolver]]"},
      {"x = 1\nrun\n", "names.blam:2:1: reading stopped at 'run'\n", "[[ASSIGN : x = "},
      {"use NewtonSolver run f1", "", "[[USE NewtonSolver], [RUN f1]]"},
      {"use NewtonSolver\nbatch sweep of 2\nrun f\nend\n",
       "names.blam:2:7: reading stopped at 'sweep'\n", "[[USE NewtonSolver]]"},
      {"end = 1 x=2 Batch \"b\" of 2 x = 3 end", "names.blam:1:13: reading stopped at 'Batch'\n",
       "[[ASSIGN : end = [CONSTANT 1 : _, _]\n], [ASSIGN : x = [CONSTANT 2 : _, _]\n]]"},
  };
  for (const auto& row : rows) {
    tSession session;
    std::ostringstream trace, messages;
    tBLAMProgress progress(messages);
    tBLAMOutputs outputs;
    tBLAMScript script({session, trace, progress, outputs});
    script.loadScriptText("names.blam", row.text);
    const std::string out = trace.str();
    EXPECT_EQ(row.err, messages.str()) << row.text;
    EXPECT_NE(std::string::npos, out.find(std::string("BLAM statements = ") + row.statements))
        << row.text << out;
  }
}

// Negative, fractional and NaN settings are met by runtimeErrors.blam; these
// are the values beyond the ranges.
TEST(tBLAMScriptTest, NumbersFromVariablesConvertWithoutOverflow) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(2147483648u, tBLAMStatement::toUnsigned(2147483648.0));
  EXPECT_EQ(2147483647, tBLAMStatement::toInt(2147483648.0));
  EXPECT_EQ(4294967295u, tBLAMStatement::toUnsigned(4294967295.9));
  EXPECT_EQ(4294967295u, tBLAMStatement::toUnsigned(inf));
  EXPECT_EQ(2147483647, tBLAMStatement::toInt(inf));
}

TEST(tBLAMScriptTest, ProgressShowsBatchesStatementAndShareOfPixels) {
  std::ostringstream messages;
  tBLAMProgress progress(messages);
  progress.beginRun();
  progress.enterBatch("sweep", 3);
  progress.setIteration(2);
  progress.enterBatch("zoom", 4);
  progress.setIteration(1);
  progress.beginStatement("x = 2 *\n3");
  EXPECT_EQ("[sweep 2/3 > zoom 1/4] x = 2 * 3", tBLAMProgress::formatState(progress.getState()));
  progress.leaveBatch();
  progress.beginStatement("run f");
  progress.beginPixels(64);
  progress.setPixelsDone(40);
  tBLAMProgress::tState state = progress.getState();
  EXPECT_TRUE(state.running);
  EXPECT_EQ("[sweep 2/3] run f 62%", tBLAMProgress::formatState(state));
  progress.endRun();
  EXPECT_EQ("", tBLAMProgress::formatState(progress.getState()));
}

}  // namespace

#include "Shell/tCommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <sstream>

#include "blam/tBLAMUseStatement.h"
#include "expr/tFunctionCheck.h"
#include "fractal/tFractal.h"
#include "fractal/tRandom.h"

namespace {

const char kUsage[] =
    "Usage: rootweaver [--batch FILE.blam | --check [--bounds MINX MAXX MINY MAXY] FILE.func...\n"
    "                  | --help]\n"
    "       rootweaver --batch FILE.blam [--seed N] [--threads N] [--output-dir DIR]\n"
    "                  [--shard K/N] [--quiet] [--progress=none]\n"
    "       rootweaver --merge DIR [--quiet] | --version\n"
    "       rootweaver render FILE.func [--method NAME] [--size N | --size WxH]\n"
    "                  [--bounds MINX MAXX MINY MAXY | --center X Y --width W]\n"
    "                  [--iterations K] [--step H] [--palette NAME] [--shade]\n"
    "                  [--annotate] [--seed N] [--threads N] [-o OUT.png]\n"
    "\n"
    "  (no option)        open the Rootweaver window\n"
    "  --batch FILE.blam  run a BLAM script without a window; images and data\n"
    "                     files go below the application directory (installed:\n"
    "                     below the current directory)\n"
    "  --seed N           with --batch or render: _seed = N (a whole number from 0\n"
    "                     to 16777216) before the script starts, so that jittered\n"
    "                     and random-colour pictures come out the same every time\n"
    "  --threads N        with --batch or render: compute on N threads (default:\n"
    "                     the CPUs this process may use, as a scheduler or taskset\n"
    "                     grants)\n"
    "  --output-dir DIR   with --batch: write every output below DIR instead,\n"
    "                     creating it when missing\n"
    "  --shard K/N        with --batch: compute only runs K+1, K+1+N, K+1+2N, ...\n"
    "                     of the script (0 <= K < N), leaving the rest of the\n"
    "                     outputs for --merge\n"
    "  --merge DIR        join the work of all N shards written below DIR into\n"
    "                     the files that one whole run writes\n"
    "  --check FILE.func  print each function file's formulas as read, given or\n"
    "                     derived, and check its four derivatives against finite\n"
    "                     differences of f1 and f2 at 200 points of [-2, 2] x [-2, 2];\n"
    "                     a file not found from here is looked for in \"Shared\n"
    "                     Functions/\". Exit status 0 when every derivative agrees,\n"
    "                     1 when one does not, 2 when a file cannot be read\n"
    "  --bounds MINX MAXX MINY MAXY\n"
    "                     with --check: the points' rectangle instead. With\n"
    "                     render: the view; when its shape is not the picture's,\n"
    "                     its x extent is kept and y fitted about its middle\n"
    "  --quiet            with --batch or --merge: print nothing on standard output\n"
    "                     (the trace); warnings, errors, the status line and the\n"
    "                     run lines stay on standard error and the exit status is\n"
    "                     the same. With --check: only the reports of files that\n"
    "                     fail, on standard error\n"
    "  --progress=none    with --batch or --merge: no status line on a terminal, and\n"
    "                     no line per run (\"run 3 of 16: NAME, 4.2 s, about 50 s\n"
    "                     left\") on a standard error that is no terminal\n"
    "  render FILE.func   draw one picture of the function file, or of a text such\n"
    "                     as \"f(z) = z^3 - 1\", and print the path written: by\n"
    "                     default NAME.png here (render.png for a text), 512 x 512\n"
    "                     pixels over [-2, 2] x [-2, 2], NewtonSolver, 100\n"
    "                     iterations, step 1, the preset colours\n"
    "  --method NAME      with render: a solver a script may use\n"
    "  --size N | WxH     with render: N x N or W x H pixels, whole numbers from 1\n"
    "                     to 16384; the pixels stay square in the plane\n"
    "  --center X Y       with render and --width W: the view's middle, W wide in x\n"
    "  --width W          and W * H / W high in y\n"
    "  --iterations K     with render: at most K steps from each start\n"
    "  --step H           with render: the step size\n"
    "  --palette NAME     with render: the colours: classic (the default),\n"
    "                     okabe-ito, argument or argument-modulus\n"
    "  --shade            with render: shade the basins by convergence speed\n"
    "  --annotate         with render: an SVG page beside the picture, with axes\n"
    "                     and a legend of the roots\n"
    "  -o OUT.png         with render: where the picture goes, a .png or .tga name\n"
    "  --version          print the program's name and version\n"
    "  --help             print this text\n";

// A whole number from 0 to max written in decimal digits alone.
bool parseWhole(const std::string& text, unsigned long max, unsigned long& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  return value <= max;
}

// The whole text as a finite number.
bool parseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return *end == '\0' && errno != ERANGE && std::isfinite(value);
}

// A lone "-" is no option: programs take it for standard input or output.
bool isOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

// An argument that an option cannot take as its value: the next option.
bool isValue(const std::string& argument) { return argument.compare(0, 2, "--") != 0; }

}  // namespace

int tCommandLine::run(const std::vector<std::string>& arguments) {
  tCommandLine commandLine;
  std::string error;
  if (!commandLine.parse(arguments, error)) {
    std::cerr << "rootweaver: " << error << "; see rootweaver --help\n";
    return USAGE_ERROR;
  }
  return commandLine.execute();
}

const std::vector<tCommandLine::tOption>& tCommandLine::options() {
  const unsigned anyRun = MODE_BATCH | MODE_MERGE | MODE_CHECK;
  const unsigned drawing = MODE_BATCH | MODE_RENDER;
  static const std::vector<tOption> table = {
      {"--batch", 1, MODE_BATCH, MODE_BATCH, &tCommandLine::keepScript},
      {"--seed", 1, 0, drawing, &tCommandLine::keepSeed},
      {"--threads", 1, 0, drawing, &tCommandLine::keepThreads},
      {"--output-dir", 1, 0, MODE_BATCH, &tCommandLine::keepOutputDirectory},
      {"--shard", 1, 0, MODE_BATCH, &tCommandLine::keepShard},
      {"--merge", 1, MODE_MERGE, MODE_MERGE, &tCommandLine::keepMerge},
      {"--check", 0, MODE_CHECK, MODE_CHECK, nullptr},
      {"--bounds", 4, 0, MODE_CHECK | MODE_RENDER, &tCommandLine::keepBounds},
      {"--quiet", 0, 0, anyRun, &tCommandLine::keepQuiet},
      {"--progress=none", 0, 0, MODE_BATCH | MODE_MERGE, &tCommandLine::keepNoProgress},
      {"render", 0, MODE_RENDER, MODE_RENDER, nullptr},
      {"--method", 1, 0, MODE_RENDER, &tCommandLine::keepMethod},
      {"--size", 1, 0, MODE_RENDER, &tCommandLine::keepSize},
      {"--center", 2, 0, MODE_RENDER, &tCommandLine::keepCenter},
      {"--width", 1, 0, MODE_RENDER, &tCommandLine::keepWidth},
      {"--iterations", 1, 0, MODE_RENDER, &tCommandLine::keepIterations},
      {"--step", 1, 0, MODE_RENDER, &tCommandLine::keepStep},
      {"--palette", 1, 0, MODE_RENDER, &tCommandLine::keepPalette},
      {"--shade", 0, 0, MODE_RENDER, &tCommandLine::keepShade},
      {"--annotate", 0, 0, MODE_RENDER, &tCommandLine::keepAnnotate},
      {"-o", 1, 0, MODE_RENDER, &tCommandLine::keepOutput},
      {"--version", 0, MODE_VERSION, MODE_VERSION, nullptr},
      {"--help", 0, MODE_HELP, MODE_HELP, nullptr},
  };
  return table;
}

const tCommandLine::tOption* tCommandLine::find(const std::string& name) {
  for (const tOption& option : options())
    if (name == option.name) return &option;
  return nullptr;
}

std::string tCommandLine::unknown(const std::string& argument) {
  if (argument.compare(0, 10, "--progress") == 0)
    return argument + ": progress is shown unless --progress=none";
  const std::size_t equals = argument.find('=');
  const tOption* option = equals == std::string::npos ? nullptr : find(argument.substr(0, equals));
  if (!option) return "unknown option " + argument;
  const std::string name = option->name;
  if (option->values == 0) return argument + ": " + name + " takes no value";
  if (option->values > 1) return argument + ": write " + name + " and its values apart";
  return argument + ": write " + name + " " + argument.substr(equals + 1);
}

std::string tCommandLine::modeNames(unsigned modes) {
  std::vector<std::string> names;
  for (const tOption& option : options())
    if (option.asks & modes) names.push_back(option.name);
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
    text += names[i];
  }
  return text;
}

std::string tCommandLine::conflict(const tOption& mode, const tOption& option) {
  // A merge, the usage and the version stand alone; say so of the one given.
  const unsigned alone = MODE_MERGE | MODE_HELP | MODE_VERSION;
  const tOption& lone = (mode.asks & alone) ? mode : option;
  if (lone.asks == MODE_MERGE) return "--merge DIR takes no other option";
  if (lone.asks & alone) return std::string(lone.name) + " takes no other option";
  if (option.asks) return std::string(option.name) + " cannot go with " + mode.name;
  return std::string(option.name) + " goes with " + modeNames(option.goesWith);
}

bool tCommandLine::parse(const std::vector<std::string>& arguments, std::string& error) {
  const bool takesFiles = std::count(arguments.begin(), arguments.end(), "--check") > 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (isOption(arguments[i]) || (i == 0 && arguments[i] == "render")) {
      if (!readOption(arguments, i, error)) return false;
    } else if (!keepArgument(arguments[i], takesFiles, error)) {
      return false;
    }
  }
  return chooseMode(error);
}

bool tCommandLine::keepArgument(const std::string& argument, bool takesFiles, std::string& error) {
  if (takesFiles) {
    check_.files.push_back(argument);
    return true;
  }
  if (given("render") && render_.function.empty() && !argument.empty()) {
    render_.function = argument;
    return true;
  }
  error = "unexpected argument " + argument;
  return false;
}

bool tCommandLine::given(const char* name) const {
  return std::count(given_.begin(), given_.end(), find(name)) > 0;
}

bool tCommandLine::readOption(const std::vector<std::string>& arguments, std::size_t& i,
                              std::string& error) {
  const std::string& name = arguments[i];
  const tOption* option = find(name);
  if (!option) {
    error = unknown(name);
    return false;
  }
  if (std::count(given_.begin(), given_.end(), option) > 0) {
    error = name + " given twice";
    return false;
  }
  given_.push_back(option);
  if (!option->keep) return true;
  // A missing value reads as an empty one, which no option takes.
  std::vector<std::string> values;
  while (values.size() < option->values) {
    const bool present = i + 1 < arguments.size() && isValue(arguments[i + 1]);
    values.push_back(present ? arguments[++i] : std::string());
  }
  const std::string needs = (this->*option->keep)(values);
  if (needs.empty()) return true;
  error = name + " needs " + needs;
  return false;
}

bool tCommandLine::chooseMode(std::string& error) {
  const auto asking =
      std::find_if(given_.begin(), given_.end(), [](const tOption* option) { return option->asks; });
  if (asking == given_.end()) {
    error = given_.empty() ? "no option given"
                           : std::string(given_.front()->name) + " goes with " +
                                 modeNames(given_.front()->goesWith);
    return false;
  }
  const tOption& mode = **asking;
  for (const tOption* option : given_) {
    if (option->goesWith & mode.asks) continue;
    error = conflict(mode, *option);
    return false;
  }
  mode_ = static_cast<TMODE>(mode.asks);
  if (mode_ == MODE_CHECK && check_.files.empty()) {
    error = "--check needs a function file";
    return false;
  }
  if (mode_ == MODE_RENDER) error = renderConflict();
  return error.empty();
}

std::string tCommandLine::renderConflict() const {
  if (render_.function.empty()) return "render needs a function file or an f(z) = ... text";
  if (given("--bounds") && given("--center")) return "--center cannot go with --bounds";
  if (given("--bounds") && given("--width")) return "--width cannot go with --bounds";
  if (given("--center") != given("--width")) return "--center X Y and --width W go together";
  return "";
}

int tCommandLine::execute() const {
  switch (mode_) {
    case MODE_HELP:
      std::cout << kUsage;
      return 0;
    case MODE_VERSION:
      std::cout << "rootweaver " << ROOTWEAVER_VERSION << "\n";
      return 0;
    case MODE_CHECK:
      return runCheck();
    case MODE_RENDER: {
      tRenderCommand::tOptions render = render_;
      render.seed = batch_.seed;
      render.threads = batch_.threads;
      render.bounds = check_.bounds;
      return tRenderCommand::run(render);
    }
    default:
      return tBLAMBatchRunner::run(batch_);
  }
}

int tCommandLine::runCheck() const {
  tFunctionCheck check;
  const std::vector<double>& b = check_.bounds;
  if (!b.empty()) check.setBounds(b[0], b[1], b[2], b[3]);
  int status = tFunctionCheck::STATUS_AGREES;
  for (std::size_t i = 0; i < check_.files.size(); ++i) {
    const std::string& file = check_.files[i];
    if (check_.quiet) {
      // Failures stay loud: the report of a file that fails is kept.
      std::ostringstream report;
      const int checked = check.checkFile(file, report);
      if (checked != tFunctionCheck::STATUS_AGREES) std::cerr << report.str() << std::flush;
      status = std::max(status, checked);
      continue;
    }
    if (i > 0) std::cout << "\n";
    status = std::max<int>(status, check.checkFile(file, std::cout));
    std::cout << std::flush;
  }
  return status;
}

std::string tCommandLine::keepScript(const std::vector<std::string>& values) {
  batch_.script = values[0];
  return batch_.script.empty() ? "a script file" : "";
}

std::string tCommandLine::keepMerge(const std::vector<std::string>& values) {
  batch_.merge = values[0];
  return batch_.merge.empty() ? "the output directory of the shards" : "";
}

std::string tCommandLine::keepSeed(const std::vector<std::string>& values) {
  unsigned long number;
  if (!parseWhole(values[0], tRandom::MAX_SEED, number))
    return "a whole number from 0 to " + std::to_string(tRandom::MAX_SEED);
  batch_.seed = static_cast<unsigned int>(number);
  return "";
}

std::string tCommandLine::keepThreads(const std::vector<std::string>& values) {
  unsigned long count;
  if (!parseWhole(values[0], MAX_THREADS, count) || count == 0)
    return "a whole number from 1 to " + std::to_string(MAX_THREADS);
  batch_.threads = static_cast<unsigned int>(count);
  return "";
}

std::string tCommandLine::keepOutputDirectory(const std::vector<std::string>& values) {
  batch_.outputDirectory = values[0];
  return batch_.outputDirectory.empty() ? "a directory" : "";
}

std::string tCommandLine::keepShard(const std::vector<std::string>& values) {
  const std::string& text = values[0];
  const std::size_t slash = text.find('/');
  unsigned long k, n;
  if (slash == std::string::npos || !parseWhole(text.substr(0, slash), 999999, k) ||
      !parseWhole(text.substr(slash + 1), 999999, n) || k >= n)
    return "K/N, shard K of N counted from 0 (0 <= K < N)";
  batch_.sharded = true;
  batch_.shard = static_cast<unsigned int>(k);
  batch_.shards = static_cast<unsigned int>(n);
  return "";
}

std::string tCommandLine::keepBounds(const std::vector<std::string>& values) {
  std::vector<double> bounds(values.size());
  for (std::size_t k = 0; k < values.size(); ++k)
    if (!parseNumber(values[k], bounds[k])) return "four numbers: MINX MAXX MINY MAXY";
  if (!(bounds[0] < bounds[1] && bounds[2] < bounds[3])) return "MINX < MAXX and MINY < MAXY";
  check_.bounds = bounds;
  return "";
}

std::string tCommandLine::keepQuiet(const std::vector<std::string>&) {
  batch_.quiet = check_.quiet = true;
  return "";
}

std::string tCommandLine::keepNoProgress(const std::vector<std::string>&) {
  batch_.progress = false;
  return "";
}

std::string tCommandLine::keepMethod(const std::vector<std::string>& values) {
  const std::vector<std::string> names = tBLAMUseStatement::getSolverNames();
  render_.method = values[0];
  if (std::count(names.begin(), names.end(), values[0]) > 0) return "";
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
  return "one of " + list;
}

std::string tCommandLine::keepSize(const std::vector<std::string>& values) {
  const std::string& text = values[0];
  const std::size_t times = text.find('x');
  const std::string width = text.substr(0, times);
  const std::string height = times == std::string::npos ? width : text.substr(times + 1);
  unsigned long w, h;
  if (!parseWhole(width, tFractal::MAX_PICTURE_SIDE, w) || w == 0 ||
      !parseWhole(height, tFractal::MAX_PICTURE_SIDE, h) || h == 0)
    return "N or WxH, whole numbers from 1 to " + std::to_string(tFractal::MAX_PICTURE_SIDE);
  render_.width = static_cast<unsigned int>(w);
  render_.height = static_cast<unsigned int>(h);
  return "";
}

std::string tCommandLine::keepCenter(const std::vector<std::string>& values) {
  std::vector<double> center(values.size());
  for (std::size_t k = 0; k < values.size(); ++k)
    if (!parseNumber(values[k], center[k])) return "two numbers: X Y";
  render_.center = center;
  return "";
}

std::string tCommandLine::keepWidth(const std::vector<std::string>& values) {
  if (!parseNumber(values[0], render_.viewWidth) || !(render_.viewWidth > 0.0))
    return "a number greater than 0";
  return "";
}

std::string tCommandLine::keepIterations(const std::vector<std::string>& values) {
  unsigned long count;
  if (!parseWhole(values[0], 999999999, count) || count == 0)
    return "a whole number from 1 to 999999999";
  render_.iterations = count;
  return "";
}

std::string tCommandLine::keepStep(const std::vector<std::string>& values) {
  if (!parseNumber(values[0], render_.step) || !(render_.step > 0.0))
    return "a number greater than 0";
  return "";
}

std::string tCommandLine::keepPalette(const std::vector<std::string>& values) {
  const std::vector<std::string>& names = tRenderCommand::paletteNames();
  render_.palette = values[0];
  if (std::count(names.begin(), names.end(), values[0]) > 0) return "";
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
  return "a palette: " + list;
}

std::string tCommandLine::keepShade(const std::vector<std::string>&) {
  render_.shade = true;
  return "";
}

std::string tCommandLine::keepAnnotate(const std::vector<std::string>&) {
  render_.annotate = true;
  return "";
}

std::string tCommandLine::keepOutput(const std::vector<std::string>& values) {
  render_.output = values[0];
  return tRenderCommand::writesTo(values[0]) ? "" : "a picture's name ending in .png or .tga";
}

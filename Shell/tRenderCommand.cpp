#include "Shell/tRenderCommand.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <set>

#include "File/tFileUtils.h"
#include "blam/tBLAMAnnotatedSVG.h"
#include "blam/tBLAMUseStatement.h"
#include "expr/tFunction.h"
#include "fractal/tBasinStatistics.h"
#include "fractal/tFractal.h"
#include "fractal/tFractalComputation.h"
#include "fractal/tIterativeSolver.h"
#include "fractal/tPalette.h"
#include "fractal/tPictureContext.h"
#include "fractal/tRootManager.h"
#include "fractal/tSpeedShading.h"
#include "graphics/tImage.h"
#include "graphics/tPNGLoader.h"
#include "graphics/tTGALoader.h"

namespace {

// A plane coordinate as people read it.
std::string numberText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.12g", value);
  return text;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A function given as text rather than a file: one that writes a formula
// and names no file there is.
bool isText(const std::string& function) {
  std::error_code error;
  return function.find('=') != std::string::npos && !std::filesystem::exists(function, error);
}

// The function read from its file or text, its reader's messages on
// standard error; null, after one line saying why, when it cannot be drawn.
std::unique_ptr<tFunction> readFunction(const std::string& given) {
  std::ostream nowhere(nullptr);
  std::unique_ptr<tFunction> function;
  if (isText(given)) {
    function = std::make_unique<tFunction>();
    function->setName("f");
    function->setStreams(nowhere, std::cerr);
    function->readText(given, "<expression>");
  } else {
    // A name found from here is that file; any other is looked for in
    // "Shared Functions/", as scripts and --check look.
    std::error_code error;
    std::string location = given;
    if (!tFileUtils::isCompletePath(given) && std::filesystem::exists(given, error))
      location = std::filesystem::absolute(given, error).string();
    function = std::make_unique<tFunction>(location, nowhere, std::cerr);
    if (!function->isReadable()) {
      std::string refusal = tFileUtils::getReadRefusal(tFunction::locate(location));
      if (refusal.empty() && !std::filesystem::exists(tFunction::locate(location), error))
        refusal = "no such file";
      std::cerr << "rootweaver: cannot read function file " << given
                << (refusal.empty() ? "" : ": " + refusal) << "\n";
      return nullptr;
    }
  }
  bool whole = !function->isRefused() && !function->hasFileWarnings();
  for (unsigned slot = 0; slot < tFunction::FORMULAS; ++slot)
    whole = whole && function->hasFormula(slot);
  if (whole) return function;
  std::cerr << "rootweaver: cannot draw " << given
            << ": the function is refused, incomplete or read with warnings\n";
  return nullptr;
}

// A name the function reads that it does not define has no script to set
// it: said once each, as a script's run says it.
void warnAboutUnsetNames(const tFunction& function, const std::string& given) {
  std::set<std::string> names;
  function.freeVars(names);
  for (const auto& constant : function.getLocalConstants()) names.erase(constant.first);
  for (const std::string& name : names)
    std::cerr << "rootweaver: " << given << ": '" << name << "' is not set; it reads as 0\n";
}

// Why the picture cannot be written at path; "" when its folder takes it.
std::string unwritable(const std::string& path) {
  std::string folder = std::filesystem::path(path).parent_path().string();
  if (folder.empty()) folder = ".";
  if (access(folder.c_str(), W_OK | X_OK) == 0) return "";
  return "cannot write " + path + ": " + std::strerror(errno);
}

// The annotated page beside the picture at output; false, after one line
// saying why, when it cannot be written.
bool writePage(const tRenderCommand::tOptions& options, const tFractal& fractal,
               const std::string& output) {
  const tBasinStatistics statistics(fractal.getBasinLabels(), options.threads);
  tBLAMAnnotatedSVG::tLabels labels;
  labels.title =
      (isText(options.function) ? options.function
                                : std::filesystem::path(options.function).stem().string()) +
      ", " + options.method;
  const std::string page = tBLAMAnnotatedSVG::pathFor(output);
  std::string error;
  if (tBLAMAnnotatedSVG::write(page, fractal, statistics, labels, error)) {
    std::cout << page << "\n";
    return true;
  }
  std::cerr << "rootweaver: " << (error.empty() ? "cannot write " + page : error) << "\n";
  return false;
}

}  // namespace

const std::vector<std::string>& tRenderCommand::paletteNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all;
    for (const tPalette* palette : tPalette::all()) all.push_back(palette->getName());
    return all;
  }();
  return names;
}

bool tRenderCommand::writesTo(const std::string& output) {
  const std::string name = std::filesystem::path(output).filename().string();
  return name.size() > 4 && (endsWith(name, ".png") || endsWith(name, ".tga"));
}

tRenderCommand::tFrame tRenderCommand::frame(const tOptions& options) {
  tFrame frame{options.width, options.height, -2.0, 2.0, 0.0, 0.0, ""};
  double middleY = 0.0;
  if (!options.center.empty()) {
    frame.minX = options.center[0] - options.viewWidth / 2.0;
    frame.maxX = options.center[0] + options.viewWidth / 2.0;
    middleY = options.center[1];
  } else if (!options.bounds.empty()) {
    const std::vector<double>& b = options.bounds;
    const double across = b[1] - b[0];
    const double up = b[3] - b[2];
    if (frame.width == 0) {
      // The longer side takes the default; the other follows the bounds.
      const double longer = DEFAULT_SIDE;
      frame.width =
          static_cast<unsigned>(std::max(1.0, std::round(longer * std::min(1.0, across / up))));
      frame.height =
          static_cast<unsigned>(std::max(1.0, std::round(longer * std::min(1.0, up / across))));
    }
    frame.minX = b[0];
    frame.maxX = b[1];
    // Within half a pixel the bounds are the picture's: kept as given.
    if (std::fabs(up * frame.width / across - frame.height) <= 0.5) {
      frame.minY = b[2];
      frame.maxY = b[3];
      return frame;
    }
    middleY = (b[2] + b[3]) / 2.0;
  }
  if (frame.width == 0) frame.width = frame.height = DEFAULT_SIDE;
  const double up = (frame.maxX - frame.minX) * frame.height / frame.width;
  frame.minY = middleY - up / 2.0;
  frame.maxY = middleY + up / 2.0;
  if (!options.bounds.empty()) {
    frame.note = "--bounds give y from " + numberText(options.bounds[2]) + " to " +
                 numberText(options.bounds[3]) + ", which does not fit " +
                 std::to_string(frame.width) + " x " + std::to_string(frame.height) +
                 " pixels with x from " + numberText(frame.minX) + " to " + numberText(frame.maxX) +
                 "; y runs from " + numberText(frame.minY) + " to " + numberText(frame.maxY) +
                 " to keep the pixels square";
  }
  return frame;
}

std::string tRenderCommand::outputOf(const tOptions& options) {
  if (!options.output.empty()) return options.output;
  if (isText(options.function)) return "render.png";
  return std::filesystem::path(options.function).stem().string() + ".png";
}

int tRenderCommand::run(const tOptions& options) {
  const std::unique_ptr<tFunction> function = readFunction(options.function);
  if (!function) return 1;
  warnAboutUnsetNames(*function, options.function);
  const std::unique_ptr<tIterativeSolver> solver(
      tBLAMUseStatement::makeSolver(options.method, options.iterations, options.step));
  const std::string refusal = solver->refusalFor(*function);
  if (!refusal.empty()) {
    std::cerr << "rootweaver: cannot draw " << options.function << ": " << refusal << "\n";
    return 1;
  }
  const std::string output = outputOf(options);
  std::string error = unwritable(output);
  if (!error.empty()) {
    std::cerr << "rootweaver: " << error << "\n";
    return 1;
  }
  const tFrame view = frame(options);
  if (!view.note.empty()) std::cerr << "rootweaver: " << view.note << "\n";

  // As a script's run makes it: a fresh registry, the presets' colours.
  tPictureContext context;
  context.getRoots().useRandomColors(false);
  context.getRoots().usePalette(*tPalette::find(options.palette));
  context.getRandom().seed(options.seed ? *options.seed
                                        : static_cast<unsigned>(std::time(nullptr)));
  const std::unique_ptr<tFractal> fractal(tFractal::create(
      view.width, view.height, view.minX, view.maxX, view.minY, view.maxY, context));
  tFractalComputation(fractal.get(), function.get(), solver.get(), options.threads).run();
  if (options.shade) tSpeedShading::shade(fractal->getImage(), fractal->getBasinLabels());

  const bool written = endsWith(output, ".tga")
                           ? tTGALoader().write(output, fractal->getImage(), 24, false, &error)
                           : tPNGLoader().write(output, fractal->getImage(), &error);
  if (!written) {
    std::cerr << "rootweaver: " << (error.empty() ? "cannot write " + output : error) << "\n";
    return 1;
  }
  std::cout << output << "\n";
  return options.annotate && !writePage(options, *fractal, output) ? 1 : 0;
}

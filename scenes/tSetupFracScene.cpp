#include "scenes/tSetupFracScene.h"

#include <GL/gl.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "File/tFileDialogUtils.h"
#include "File/tFileUtils.h"
#include "Shell/tMainApp.h"
#include "Shell/tSceneManager.h"
#include "Shell/tTimer.h"
#include "expr/tFunction.h"
#include "fractal/tAdamsBashforthSolver2.h"
#include "fractal/tBacktrackingNewtonSolver.h"
#include "fractal/tChebyshevHalleySolver.h"
#include "fractal/tChebyshevSystemSolver.h"
#include "fractal/tFractal.h"
#include "fractal/tHalleySolver.h"
#include "fractal/tHalleySystemSolver.h"
#include "fractal/tHeunSolver.h"
#include "fractal/tJarrattSolver.h"
#include "fractal/tJarrattSystemSolver.h"
#include "fractal/tKingSolver.h"
#include "fractal/tLaguerreSolver.h"
#include "fractal/tNewtonSolver.h"
#include "fractal/tPalette.h"
#include "fractal/tParameterPlane.h"
#include "fractal/tRefinedNewtonSolver.h"
#include "fractal/tRootManager.h"
#include "fractal/tRungeKuttaSolver2.h"
#include "fractal/tRungeKuttaSolver4.h"
#include "fractal/tSchroderSolver.h"
#include "fractal/tSteffensenSolver.h"
#include "fractal/tTraubSolver.h"
#include "fractal/tTraubSystemSolver.h"
#include "graphics/tFontManager.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tTextRenderer.h"
#include "input/tMouseHandler.h"
#include "lexer/tStringUtils.h"
#include "scenes/tFracScene.h"
#include "scenes/tModeSelectScene.h"
#include "scenes/tPreferences.h"
#include "scenes/tStringSelect.h"
#include "scenes/tTextEntry.h"

namespace {

const char kNone[] = "<NONE>";
// Letters of a message too long for one line at the buttons' size.
const float kMessageSize = 15.0f;
const char kFunctionExtension[] = "func";
const char kGoLabel[] = "Vadoduraraz Go!!";
// The Go button is measured on its label without the last "!".
const char kGoMeasure[] = "Vadoduraraz Go!";
const char kReturnLabel[] = "Return To Mode Select";
const char kChooseLabel[] = "Choose Function";
// The palette button's label before the palette's name, and its centre's x,
// left of "Go".
const char kPalettePrefix[] = "Palette: ";
const float kPaletteX = 160.0f;
const char kMaxIterationsLabel[] = "Max Iterations:";
const float kLabelSize = 20.0f;
const float kButtonSize = 16.0f;
const float kFieldHalfWidth = 35.0f;
const float kFieldHeight = 20.0f;
const float kListX = 175.0f;
// The solver list's first row, above the fields' first row, and its rows,
// lower than the fields': eleven rows end above "Choose Function".
const float kListRise = 20.0f;
const float kListRowHeight = 15.0f;
// The plane's option and fields: the box's x, the first row's y below H/4,
// and the fields' centre and half-width.
const float kPlaneBoxX = 35.0f;
const float kPlaneRowY = 282.0f;
const float kPlaneRowGap = 30.0f;
const float kPlaneFieldX = 230.0f;
const float kPlaneFieldHalfWidth = 50.0f;
// Rows the solver list shows; the wheel scrolls the rest.
const unsigned kListRows = 11;
const float kListHalfWidth = 150.0f;
const float kBoxHalfSize = 10.0f;
// How long a message stays, in ms.
const double kMessageTime = 4000.0;
// What "Go" says of a pair of bounds that cannot be used.
const char kXBoundsUnusable[] = "x Bounds must be two numbers, the first the smaller";
const char kYBoundsUnusable[] = "y Bounds must be two numbers, the first the smaller";

// The solvers in list order; the index is what prefs.txt keeps.
const char* const kSolverNames[] = {"Newton Solver",         "Refined Newton Solver",
                                    "Heun Solver",           "Runge-Kutta Solver 2",
                                    "Runge-Kutta Solver 4",  "Adams-Bashforth Solver 2",
                                    "Halley Solver",         "Chebyshev Solver",
                                    "Super-Halley Solver",   "Chebyshev-Halley Solver",
                                    "Schroder Solver",       "Traub Solver",
                                    "Ostrowski Solver",      "King Solver",
                                    "Jarratt Solver",        "Steffensen Solver",
                                    "Laguerre Solver",       "Traub System Solver",
                                    "Jarratt System Solver", "Chebyshev System Solver",
                                    "Halley System Solver",  "Backtracking Newton Solver"};
// The Chebyshev-Halley parameter of the window's runs: Halley's, a script's default.
const double kFamilyParameter = 0.5;
// King's b of the window's runs, a script's default.
const double kKingParameter = 0.5;
// Not a whole number, so that Laguerre's n is the degree of f(z), as a
// script's default makes it.
const double kLaguerreParameter = 0.5;

tIterativeSolver* createSolver(unsigned int index, unsigned long iterations, double stepSize) {
  switch (index) {
    case 1:
      return new tRefinedNewtonSolver(iterations, stepSize);
    case 2:
      return new tHeunSolver(iterations, stepSize);
    case 3:
      return new tRungeKuttaSolver2(iterations, stepSize);
    case 4:
      return new tRungeKuttaSolver4(iterations, stepSize);
    case 5:
      return new tAdamsBashforthSolver2(iterations, stepSize);
    case 6:
      return new tHalleySolver(iterations, stepSize);
    case 7:
      return tChebyshevHalleySolver::makeChebyshev(iterations, stepSize);
    case 8:
      return tChebyshevHalleySolver::makeSuperHalley(iterations, stepSize);
    case 9:
      return new tChebyshevHalleySolver(iterations, stepSize, kFamilyParameter);
    case 10:
      return new tSchroderSolver(iterations, stepSize);
    case 11:
      return new tTraubSolver(iterations, stepSize);
    case 12:
      return tKingSolver::makeOstrowski(iterations, stepSize);
    case 13:
      return new tKingSolver(iterations, stepSize, kKingParameter);
    case 14:
      return new tJarrattSolver(iterations, stepSize);
    case 15:
      return new tSteffensenSolver(iterations, stepSize);
    case 16:
      return new tLaguerreSolver(iterations, stepSize, kLaguerreParameter);
    case 17:
      return new tTraubSystemSolver(iterations, stepSize);
    case 18:
      return new tJarrattSystemSolver(iterations, stepSize);
    case 19:
      return new tChebyshevSystemSolver(iterations, stepSize);
    case 20:
      return new tHalleySystemSolver(iterations, stepSize);
    case 21:
      return new tBacktrackingNewtonSolver(iterations, stepSize);
    default:
      return new tNewtonSolver(iterations, stepSize);
  }
}

// A number as the run reads it, when the whole text is one and it is finite
// there: in single precision, or for a bound as a script reads it
// (tStringUtils::readNumber), so that the exact bounds of a view left
// by "Back" make the same view again.
bool parseNumber(const std::string& text, double* value, bool exact = false) {
  const std::string packed = tStringUtils::pack(text);
  if (packed.empty()) return false;
  char* end = nullptr;
  std::strtod(packed.c_str(), &end);
  const double number =
      exact ? tStringUtils::readNumber(packed) : tStringUtils::stringToFloat(packed);
  if (*end != '\0' || !std::isfinite(number)) return false;
  *value = number;
  return true;
}

// A whole number from 1 to INT_MAX, the whole text being the number.
bool parseCount(const std::string& text, long* value) {
  const std::string packed = tStringUtils::pack(text);
  if (packed.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long number = std::strtol(packed.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || number < 1 || number > INT_MAX) return false;
  *value = number;
  return true;
}

// A file that opens and that tFunction will read.
bool isReadableFile(const std::string& path) {
  if (!tFileUtils::getReadRefusal(path).empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

void setWhite(float alpha) { glColor4f(1.0f, 1.0f, 1.0f, alpha); }

// " (line 3)" for the place path:3:12; "" for a place without a line.
std::string lineOf(const std::string& place) {
  const std::size_t column = place.rfind(':');
  const std::size_t line = column == std::string::npos || column == 0
                               ? std::string::npos
                               : place.rfind(':', column - 1);
  if (line == std::string::npos) return "";
  return " (line " + place.substr(line + 1, column - line - 1) + ")";
}

// "Go" in translucent red while it cannot start a run.
void setGoColor(bool ready, float alpha) {
  if (ready) {
    setWhite(alpha);
  } else {
    glColor4f(1.0f, 0.0f, 0.0f, 0.6f);
  }
}

}  // namespace

const tSetupFracScene::tFieldPlace tSetupFracScene::FIELDS[7] = {
    {&tSetupFracScene::stepSizeEntry_, "Step Size", false, 15.0f, "Step Size must be a number"},
    {&tSetupFracScene::iterationsEntry_, "Iterations", false, 65.0f,
     "Max Iterations must be a whole number from 1"},
    {&tSetupFracScene::minXEntry_, "minX", false, 115.0f, kXBoundsUnusable},
    {&tSetupFracScene::maxXEntry_, "maxX", true, 115.0f, kXBoundsUnusable},
    {&tSetupFracScene::minYEntry_, "minY", false, 165.0f, kYBoundsUnusable},
    {&tSetupFracScene::maxYEntry_, "maxY", true, 165.0f, kYBoundsUnusable},
    {&tSetupFracScene::dimensionEntry_, "Dim", false, 215.0f,
     "Dimension must be a whole number from 1 to about 23000"},
};

tSetupFracScene::tSetupFracScene()
    : tScene("Setup Frac"),
      solverSelect_(std::make_unique<tStringSelect>()),
      stepSizeEntry_(std::make_unique<tTextEntry>()),
      iterationsEntry_(std::make_unique<tTextEntry>()),
      dimensionEntry_(std::make_unique<tTextEntry>()),
      minXEntry_(std::make_unique<tTextEntry>()),
      maxXEntry_(std::make_unique<tTextEntry>()),
      minYEntry_(std::make_unique<tTextEntry>()),
      maxYEntry_(std::make_unique<tTextEntry>()),
      findSingularSet_(false),
      useRandomColors_(false),
      functionPath_(kNone),
      messageMark_(tTimer::instance().setMark()) {
  for (const char* name : kSolverNames) solverSelect_->addString(name);
  solverSelect_->setVisibleRows(kListRows);
  readData();
  markUnusableFields();
  checkFunctionFile();
}

tSetupFracScene::~tSetupFracScene() = default;

void tSetupFracScene::readData() {
  prefs_ = tPreferences::load();
  for (const tFieldPlace& field : FIELDS) entry(field).setText(prefs_[field.category][0]);
  findSingularSet_ = prefs_["Singular Set"][0] != "0";
  useRandomColors_ = prefs_["Random Colors"][0] != "0";
  plane_.read(prefs_);
  palette_.read(prefs_);
  solverSelect_->setSelectedItem(
      static_cast<unsigned int>(tStringUtils::stringToInt(prefs_["Solver"][0])));
  const std::string& function = prefs_["Function"][0];
  functionPath_ = function.empty() ? kNone : function;
}

bool tSetupFracScene::writeData() {
  for (const tFieldPlace& field : FIELDS) {
    prefs_[field.category][0] = entry(field).getText();
  }
  prefs_["Singular Set"][0] = findSingularSet_ ? "1" : "0";
  prefs_["Random Colors"][0] = useRandomColors_ ? "1" : "0";
  prefs_["Solver"][0] =
      tStringUtils::intToString(static_cast<int>(solverSelect_->getSelectedItem()));
  prefs_["Function"][0] = functionPath_;
  plane_.write(prefs_);
  palette_.write(prefs_);
  return tPreferences::save(prefs_);
}

tTextEntry& tSetupFracScene::entry(const tFieldPlace& field) const { return *(this->*field.entry); }

const tTextEntry& tSetupFracScene::getEntry(unsigned int index) const {
  return entry(FIELDS[index < 7 ? index : 0]);
}

std::string tSetupFracScene::getMessage() const {
  if (message_.empty() || tTimer::instance().timeSinceMark(messageMark_) > kMessageTime)
    return functionProblem_;
  return message_;
}

void tSetupFracScene::showMessage(const std::string& text) {
  message_ = text;
  tTimer::instance().resetMark(messageMark_);
}

// Each value is checked as the run will read it; a pair of bounds that is
// not increasing marks both of its fields.
void tSetupFracScene::markUnusableFields() {
  double number = 0.0;
  long count = 0;
  stepSizeEntry_->setMarked(!parseNumber(stepSizeEntry_->getText(), &number));
  iterationsEntry_->setMarked(!parseCount(iterationsEntry_->getText(), &count));
  dimensionEntry_->setMarked(!parseCount(dimensionEntry_->getText(), &count) ||
                             !tFractal::acceptsDimension(static_cast<unsigned int>(count)));
  const std::unique_ptr<tTextEntry>* pairs[2][2] = {{&minXEntry_, &maxXEntry_},
                                                    {&minYEntry_, &maxYEntry_}};
  for (auto& pair : pairs) {
    double low = 0.0;
    double high = 0.0;
    const bool lowOk = parseNumber((*pair[0])->getText(), &low, true);
    const bool highOk = parseNumber((*pair[1])->getText(), &high, true);
    const bool ordered = !lowOk || !highOk || low < high;
    (*pair[0])->setMarked(!lowOk || !ordered);
    (*pair[1])->setMarked(!highOk || !ordered);
  }
  planeProblem_ = plane_.markUnusable();
}

const tSetupFracScene::tFieldPlace* tSetupFracScene::firstUnusableField() const {
  for (const tFieldPlace& field : FIELDS) {
    if (entry(field).isMarked()) return &field;
  }
  return nullptr;
}

bool tSetupFracScene::goReady() const {
  return functionPath_ != kNone && functionProblem_.empty() && firstUnusableField() == nullptr &&
         planeProblem_.empty();
}

float tSetupFracScene::maxIterationsWidth() {
  tFontManager::instance().setCurrentFont("Daduz");
  return tTextRenderer::instance().getStringWidth(kMaxIterationsLabel, kLabelSize);
}

float tSetupFracScene::fieldX(bool secondColumn) {
  return viewWidth() / 2.0f + (secondColumn ? 190.0f : 70.0f) + maxIterationsWidth();
}

float tSetupFracScene::paletteHalfWidth() {
  float widest = 0.0f;
  for (const tPalette* palette : tPalette::all()) {
    const std::string label = std::string(kPalettePrefix) + palette->getName();
    widest = std::max(widest, buttonHalfWidth(label.c_str(), kButtonSize));
  }
  return widest;
}

void tSetupFracScene::update(double) {
  if (!followTransition()) return;
  const float w = viewWidth();
  const float h = viewHeight();
  solverSelect_->update(kListX, h / 4.0f - kListRise, kListHalfWidth, kListRowHeight, alpha_);
  for (const tFieldPlace& field : FIELDS) {
    entry(field).update(fieldX(field.secondColumn), h / 4.0f + field.rowY, kFieldHalfWidth,
                        kFieldHeight, alpha_);
  }
  plane_.getAxesEntry().update(kPlaneFieldX, h / 4.0f + kPlaneRowY, kPlaneFieldHalfWidth,
                               kFieldHeight, alpha_);
  plane_.getStartEntry().update(kPlaneFieldX, h / 4.0f + kPlaneRowY + kPlaneRowGap,
                                kPlaneFieldHalfWidth, kFieldHeight, alpha_);
  markUnusableFields();
  if (!tMouseHandler::instance().buttonPressed(TBUTTON_PRIMARY)) return;

  if (mouseInRect(w / 2.0f, h - 85.0f, buttonHalfWidth(kGoMeasure, kButtonSize), 12.0f)) {
    pressGo();
  }
  if (mouseInRect(w / 2.0f, h - 35.0f, buttonHalfWidth(kReturnLabel, kButtonSize), 12.0f)) {
    writeData();
    tSceneManager::instance().beginTransition(new tModeSelectScene(), 1000.0f);
  }
  if (mouseInRect(w / 2.0f + 10.0f, h / 4.0f + 265.0f, kBoxHalfSize, kBoxHalfSize)) {
    findSingularSet_ = !findSingularSet_;
  }
  if (mouseInRect(w / 2.0f + 10.0f, h / 4.0f + 305.0f, kBoxHalfSize, kBoxHalfSize)) {
    useRandomColors_ = !useRandomColors_;
  }
  if (mouseInRect(kPaletteX, h - 85.0f, paletteHalfWidth(), 12.0f)) palette_.step();
  if (mouseInRect(kListX, h / 4.0f + 170.0f, buttonHalfWidth(kChooseLabel, kLabelSize), 16.0f)) {
    chooseFunction();
  }
  if (mouseInRect(kPlaneBoxX, h / 4.0f + kPlaneRowY, kBoxHalfSize, kBoxHalfSize)) plane_.toggle();
}

// Without a function "Go" does nothing, as its red name already says why.
void tSetupFracScene::pressGo() {
  if (const tFieldPlace* field = firstUnusableField()) {
    showMessage(field->unusable);
  } else if (!planeProblem_.empty()) {
    showMessage(planeProblem_);
  } else if (plane_.isOn() && findSingularSet_) {
    showMessage("A parameter plane is drawn without the singular set");
  } else if (functionPath_ != kNone) {
    startRun();
  }
}

void tSetupFracScene::chooseFunction() {
  const std::string path = tFileDialogUtils::chooseSingleFile(kFunctionExtension);
  if (path.empty()) return;
  functionPath_ = path;
  checkFunctionFile();
}

void tSetupFracScene::checkFunctionFile() {
  functionProblem_.clear();
  if (functionPath_ == kNone || isReadableFile(tFunction::locate(functionPath_))) return;
  functionProblem_ = "Cannot read " + tFileUtils::getFilenameFromPath(functionPath_);
}

// The old run is emptied before each new part is made, so that a large old
// picture and the new one never take memory together. A function file whose
// map was refused starts no run: its picture would only say "singular"; nor
// does one the solver refuses.
void tSetupFracScene::startRun() {
  writeData();
  checkFunctionFile();
  if (!functionProblem_.empty()) return;
  auto function = std::make_unique<tFunction>(functionPath_);
  if (function->isRefused()) {
    functionProblem_ = "Cannot use " + tFileUtils::getFilenameFromPath(functionPath_) + ": " +
                       function->getRefusal() + lineOf(function->getRefusalPlace());
    return;
  }
  std::unique_ptr<tIterativeSolver> solver(createSolver(
      solverSelect_->getSelectedItem(),
      static_cast<unsigned long>(tStringUtils::stringToInt(iterationsEntry_->getText())),
      tStringUtils::stringToFloat(stepSizeEntry_->getText())));
  const std::string refusal = solver->refusalFor(*function);
  if (!refusal.empty()) {
    functionProblem_ = "Cannot use " + tFileUtils::getFilenameFromPath(functionPath_) + ": " +
                       refusal;
    return;
  }
  tMainApp& app = tMainApp::instance();
  app.setFunction(nullptr);
  app.setFunction(function.release());
  if (plane_.isOn() && !makePlane(*app.getFunction())) return;
  std::printf("CREATED FUNCTION\n");
  std::fflush(stdout);

  app.setFractal(nullptr);
  tFractal* fractal = tFractal::create(
      static_cast<unsigned int>(tStringUtils::stringToInt(dimensionEntry_->getText())),
      tStringUtils::readNumber(minXEntry_->getText()),
      tStringUtils::readNumber(maxXEntry_->getText()),
      tStringUtils::readNumber(minYEntry_->getText()),
      tStringUtils::readNumber(maxYEntry_->getText()), app.getSession().getPictureContext());
  fractal->setJitter(1);
  fractal->setJitterFirst(false);
  fractal->setSingularSet(findSingularSet_);
  app.setFractal(fractal);

  app.getSession().getRoots().useRandomColors(useRandomColors_);
  app.getSession().getRoots().usePalette(palette_.getPalette());
  app.setSolver(nullptr);
  app.setSolver(solver.release());
  tSceneManager::instance().beginTransition(new tFracScene(tPreferences::seedOf(prefs_)), 1000.0f);
}

bool tSetupFracScene::makePlane(const tFunction& function) {
  std::unique_ptr<tParameterPlane> plane;
  std::unique_ptr<tFunction> start;
  std::string error;
  if (!plane_.make(function, plane, start, error)) {
    showMessage("Cannot draw the plane of " + tFileUtils::getFilenameFromPath(functionPath_) +
                ": " + error);
    tMainApp::instance().setFunction(nullptr);
    return false;
  }
  tMainApp::instance().getSession().setPlane(std::move(plane), std::move(start));
  return true;
}

void tSetupFracScene::drawMenuCheckbox(float cx, float cy, float s, bool on) const {
  glDisable(GL_TEXTURE_2D);
  setWhite(alpha_);
  tOGLUtils::drawBoxFilled(cx, cy, s, s);
  glColor4f(0.0f, 0.0f, 0.0f, alpha_);
  tOGLUtils::drawBoxOutline(cx, cy, s, s);
  if (!on) return;
  glColor4f(0.0f, 0.0f, 0.0f, 0.7f * alpha_);
  glLineWidth(2.0f);
  glBegin(GL_LINES);
  glVertex2f(cx - s, cy - s);
  glVertex2f(cx + s, cy + s);
  glVertex2f(cx - s, cy + s);
  glVertex2f(cx + s, cy - s);
  glEnd();
  glLineWidth(1.0f);
}

void tSetupFracScene::draw() {
  if (!beginDrawing()) return;
  const float w = viewWidth();
  const float h = viewHeight();
  tTextRenderer& text = tTextRenderer::instance();
  text.drawStringCentered("Setup Zirudadazevu", w / 2.0f, 80.0f, 40.0f * alpha_);
  solverSelect_->draw(kListX, h / 4.0f - kListRise, kListHalfWidth, kListRowHeight, alpha_);
  setWhite(1.0f);
  drawTexts(w, h);
  for (const tFieldPlace& field : FIELDS) {
    entry(field).draw(fieldX(field.secondColumn), h / 4.0f + field.rowY, kFieldHalfWidth,
                      kFieldHeight, alpha_);
  }
  glEnable(GL_TEXTURE_2D);
  tFontManager::instance().bindCurrentFont();
  setGoColor(goReady(), 1.0f);
  text.drawStringCentered(kGoLabel, w / 2.0f, h - 80.0f, kButtonSize * alpha_);
  setWhite(1.0f);
  text.drawStringCentered(kReturnLabel, w / 2.0f, h - 30.0f, kButtonSize * alpha_);
  // A message of one line stands above "Go"; a longer one, in smaller
  // letters, ends there.
  const std::string message = getMessage();
  const float size = message.size() > 60 ? kMessageSize : kButtonSize;
  const std::string lines = text.formatStringToWidth(message, w - 40.0f, size);
  if (!lines.empty()) {
    const auto breaks = static_cast<float>(std::count(lines.begin(), lines.end(), '\n'));
    glColor4f(1.0f, 0.3f, 0.3f, 1.0f);
    text.drawStringCentered(lines, w / 2.0f, h - 106.0f - 18.0f * breaks, size * alpha_);
  }
  drawMenuCheckbox(w / 2.0f + 10.0f, h / 4.0f + 265.0f, kBoxHalfSize, findSingularSet_);
  drawMenuCheckbox(w / 2.0f + 10.0f, h / 4.0f + 305.0f, kBoxHalfSize, useRandomColors_);
  drawPlaneOptions(h);
  drawPaletteButton(h);
  drawOutlines(w, h);
  drawFadeOverlay();
}

// The labels, the function's name and the two "to", in white unless the
// function is missing.
void tSetupFracScene::drawTexts(float w, float h) const {
  tTextRenderer& text = tTextRenderer::instance();
  const float size = kLabelSize * alpha_;
  const float q = h / 4.0f;
  const float x = w / 2.0f;
  text.drawString("Step Size:", x, q + 20.0f, size);
  text.drawString(kMaxIterationsLabel, x, q + 70.0f, size);
  text.drawString("x Bounds:", x, q + 120.0f, size);
  text.drawString("y Bounds:", x, q + 170.0f, size);
  text.drawString("Dimension:", x, q + 220.0f, size);
  text.drawStringCentered(kChooseLabel, kListX, q + 175.0f, size);
  text.drawStringCentered("Selected Function:", kListX, q + 225.0f, size);
  if (functionPath_ == kNone) {
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
  } else {
    glColor4f(0.6f, 0.6f, 1.0f, 1.0f);
  }
  text.drawStringCentered(tFileUtils::getFilenameFromPath(functionPath_), kListX, q + 253.0f, size);
  setWhite(1.0f);
  const float toX = x + 130.0f + maxIterationsWidth();
  text.drawStringCentered("to", toX, q + 120.0f, size);
  text.drawStringCentered("to", toX, q + 170.0f, size);
  text.drawString("Find Singular Set", x + 30.0f, q + 270.0f, size);
  setWhite(palette_.getPalette().isClassic() ? 1.0f : 0.5f);
  text.drawString("Use Random Colors", x + 30.0f, q + 310.0f, size);
  setWhite(1.0f);
}

void tSetupFracScene::drawPaletteButton(float h) const {
  glEnable(GL_TEXTURE_2D);
  tFontManager::instance().bindCurrentFont();
  setWhite(1.0f);
  const std::string label = std::string(kPalettePrefix) + palette_.getPalette().getName();
  tTextRenderer::instance().drawStringCentered(label, kPaletteX, h - 80.0f, kButtonSize * alpha_);
  glDisable(GL_TEXTURE_2D);
  setWhite(alpha_);
  tOGLUtils::drawBoxOutline(kPaletteX, h - 85.0f, paletteHalfWidth(), 12.0f);
}

// The option on the left under the function, its two fields beside it.
void tSetupFracScene::drawPlaneOptions(float h) const {
  const float y = h / 4.0f + kPlaneRowY;
  drawMenuCheckbox(kPlaneBoxX, y, kBoxHalfSize, plane_.isOn());
  glEnable(GL_TEXTURE_2D);
  tFontManager::instance().bindCurrentFont();
  setWhite(plane_.isOn() ? 1.0f : 0.5f);
  tTextRenderer& text = tTextRenderer::instance();
  text.drawString("Plane over", kPlaneBoxX + 20.0f, y + 5.0f, kLabelSize * alpha_);
  text.drawString("Start x, y", kPlaneBoxX + 20.0f, y + kPlaneRowGap + 5.0f, kLabelSize * alpha_);
  plane_.getAxesEntry().draw(kPlaneFieldX, y, kPlaneFieldHalfWidth, kFieldHeight, alpha_);
  plane_.getStartEntry().draw(kPlaneFieldX, y + kPlaneRowGap, kPlaneFieldHalfWidth, kFieldHeight,
                              alpha_);
}

void tSetupFracScene::drawOutlines(float w, float h) const {
  glDisable(GL_TEXTURE_2D);
  setWhite(alpha_);
  tOGLUtils::drawBoxOutline(kListX, h / 4.0f + 170.0f, buttonHalfWidth(kChooseLabel, kLabelSize),
                            16.0f);
  setGoColor(goReady(), alpha_);
  tOGLUtils::drawBoxOutline(w / 2.0f, h - 85.0f, buttonHalfWidth(kGoMeasure, kButtonSize), 12.0f);
  setWhite(alpha_);
  tOGLUtils::drawBoxOutline(w / 2.0f, h - 35.0f, buttonHalfWidth(kReturnLabel, kButtonSize), 12.0f);
}

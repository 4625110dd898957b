#include "scenes/tFracScene.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <mutex>

#include "File/tFileDialogUtils.h"
#include "File/tFileUtils.h"
#include "File/tFileWriter.h"
#include "Shell/tMainApp.h"
#include "Shell/tSceneManager.h"
#include "Shell/tTimer.h"
#include "blam/tBLAMUseStatement.h"
#include "blam/tBLAMViewScript.h"
#include "expr/tFunction.h"
#include "fractal/tBasinStatistics.h"
#include "fractal/tCoarseToFineComputation.h"
#include "fractal/tFractal.h"
#include "fractal/tPalette.h"
#include "fractal/tParameterPlane.h"
#include "fractal/tPlaneComputation.h"
#include "fractal/tRandom.h"
#include "fractal/tRootManager.h"
#include "fractal/tSpeedShading.h"
#include "fractal/tZoomPreview.h"
#include "graphics/tFontManager.h"
#include "graphics/tImage.h"
#include "graphics/tOGLUtils.h"
#include "graphics/tPNGLoader.h"
#include "graphics/tTGALoader.h"
#include "graphics/tTextRenderer.h"
#include "input/tKeyboardHandler.h"
#include "input/tMouseHandler.h"
#include "lexer/tStringUtils.h"
#include "scenes/tPreferences.h"
#include "scenes/tSetupFracScene.h"

namespace {

const char kWriteLabel[] = "Write File";
const char kBackLabel[] = "Back to Zirudadazevu";
const char kSaveLabel[] = "Save Script";
// "Save Script" stands right of "Write File", by this much.
const float kSaveOffset = 150.0f;
// Letters of the corner lines.
const float kViewLineSize = 16.0f;
const float kButtonSize = 16.0f;
const float kInfoSize = 30.0f;
// Two presses closer than this are a double click; a press held longer
// becomes a drag.
const double kDoubleClickTime = 250.0;
const double kMessageTime = 4000.0;
// Each zoom step shrinks (in) or grows (out) both extents by this share.
const double kZoomStep = 0.1;
// Screen coordinates of the drag square are held to this range before they
// are made integers.
const double kScreenLimit = 1e6;

// A screen coordinate truncated toward zero.
int toPixel(double v) {
  return static_cast<int>(std::max(-kScreenLimit, std::min(kScreenLimit, v)));
}

// Labels lie over the picture, whose colours may be anything, the singular
// yellow included: each gets a dark backing so that it reads on every one.
const float kBackingAlpha = 0.6f;

// A text with a dark backing and its shadow one pixel down and right; y is
// its baseline.
void drawShadowedText(const std::string& text, float x, float y, const tPixel& color,
                      float size = kInfoSize) {
  tTextRenderer& renderer = tTextRenderer::instance();
  const float halfWidth = renderer.getStringWidth(text, size) / 2.0f + 4.0f;
  glDisable(GL_TEXTURE_2D);
  glColor4f(0.0f, 0.0f, 0.0f, kBackingAlpha);
  tOGLUtils::drawBoxFilled(x - 4.0f + halfWidth, y - 0.4f * size, halfWidth, 0.55f * size);
  glEnable(GL_TEXTURE_2D);
  glColor4f(0.0f, 0.0f, 0.0f, 0.7f);
  renderer.drawString(text, x + 1.0f, y + 1.0f, size);
  glColor4ub(color[0], color[1], color[2], color[3]);
  renderer.drawString(text, x, y, size);
}

// Decimals that tell apart two points a pixel of this size apart.
int decimalsFor(double pixel) {
  const double decimals = std::ceil(-std::log10(pixel)) + 1.0;
  return static_cast<int>(std::max(1.0, std::min(17.0, decimals)));
}

// Bounds a picture can be computed over: finite and increasing.
bool usableBounds(double minX, double maxX, double minY, double maxY) {
  return std::isfinite(minX) && std::isfinite(maxX) && std::isfinite(minY) && std::isfinite(maxY) &&
         minX < maxX && minY < maxY;
}

// Minus infinity, the dimension of a picture without a mottled box at the
// finest scale, means nothing to a reader: the line says so in words.
std::string dimensionLine(double dimension) {
  if (!std::isfinite(dimension)) return "Fractal Dimension: no boundary at this scale";
  char text[64];
  std::snprintf(text, sizeof text, "Fractal Dimension: %f", dimension);
  return text;
}

// A root's coordinate with four decimals: a converged root lies within the
// solvers' tolerance of its value, so one that would read -0.0000 is 0.
double shownCoordinate(double value) { return std::fabs(value) < 5e-5 ? 0.0 : value; }

// A measure with four decimals, or what NaN stands for.
std::string shownMeasure(double value) {
  if (std::isnan(value)) return "not defined";
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The file name without its directory and without the extension given.
std::string baseName(const std::string& path, const std::string& extension) {
  std::string name = tFileUtils::getFilenameFromPath(path);
  if (endsWith(name, extension)) name.resize(name.size() - extension.size());
  return name;
}

// A seed a user can type in the settings, from the clock.
unsigned int clockSeed() {
  return static_cast<unsigned int>(std::time(nullptr) % (tRandom::MAX_SEED + 1u));
}

bool runComplete() {
  const tMainApp& app = tMainApp::instance();
  return app.getFractal() != nullptr && app.getFunction() != nullptr && app.getSolver() != nullptr;
}

}  // namespace

tFracScene::tFracScene(std::optional<unsigned int> seed)
    : tScene("Frac"),
      showTree_(false),
      showRoots_(false),
      showInfo_(true),
      showStatistics_(false),
      showShading_(false),
      seed_(seed ? *seed : clockSeed()),
      done_(false),
      dimensionDone_(false),
      uploaded_(0),
      uploadedPasses_(0),
      uploadMark_(tTimer::instance().setMark()),
      computeTime_(0.0),
      clickPending_(false),
      dragging_(false),
      clickMark_(tTimer::instance().setMark()),
      dragStartX_(0.0),
      dragStartY_(0.0),
      messageMark_(tTimer::instance().setMark()) {
  tMainApp::instance().getSession().getRoots().clearRoots();
  if (const tFractal* fractal = tMainApp::instance().getFractal())
    texture_.upload(*fractal->getImage(), false);
}

tFracScene::~tFracScene() { stopWadaTest(); }

float tFracScene::halfSide() {
  const int w = static_cast<int>(viewWidth());
  const int h = static_cast<int>(viewHeight());
  return static_cast<float>(std::min(w / 2, h / 2));
}

float tFracScene::pictureLeft() { return viewWidth() / 2.0f - halfSide(); }

float tFracScene::pictureTop() { return viewHeight() / 2.0f - halfSide(); }

double tFracScene::getProgress() const {
  if (done_) return 1.0;
  if (!computation_ || computation_->getPixelCount() == 0) return 0.0;
  return static_cast<double>(computation_->getPaintedCount()) / computation_->getPixelCount();
}

bool tFracScene::isComputing() const { return computation_ && !computation_->isDone(); }

std::string tFracScene::getInfoLine() const {
  if (!runComplete()) return "";
  if (dimensionDone_) return dimensionLine(tMainApp::instance().getFractal()->getDimension());
  return "Computing: " + std::to_string(static_cast<int>(getProgress() * 100.0)) + "%";
}

std::string tFracScene::getSeedLine() const {
  if (!runComplete()) return "";
  const tFractal& fractal = *tMainApp::instance().getFractal();
  // Only the classic palette draws colours at random.
  const tRootManager& roots = tMainApp::instance().getSession().getRoots();
  const bool random = (roots.usesRandomColors() && roots.getPalette().isClassic()) ||
                      fractal.getJitter() > 1 || fractal.getJitterFirst();
  return random ? "Seed: " + std::to_string(seed_) : "";
}

std::string tFracScene::getMessage() const {
  if (message_.empty() || tTimer::instance().timeSinceMark(messageMark_) > kMessageTime) return "";
  return message_;
}

void tFracScene::showMessage(const std::string& text) {
  message_ = text;
  tTimer::instance().resetMark(messageMark_);
}

// The old picture resampled, computed again from the first pixel. The
// computation reads the bounds, so it stops before they change.
void tFracScene::zoomTo(double minX, double maxX, double minY, double maxY) {
  if (!usableBounds(minX, maxX, minY, maxY)) return;
  stopComputation();
  stopWadaTest();
  tFractal* fractal = tMainApp::instance().getFractal();
  tZoomPreview::moveTo(fractal, minX, maxX, minY, maxY);
  texture_.upload(*fractal->getImage(), false);
  done_ = false;
  dimensionDone_ = false;
  statistics_.reset();
  flat_.reset();
}

// The dimension and the statistics are those of the flat picture.
void tFracScene::finishPicture() {
  tFractal* fractal = tMainApp::instance().getFractal();
  fractal->calculateDimension();
  if (!fractal->getBasinLabels().empty()) {
    statistics_ = std::make_unique<tBasinStatistics>(fractal->getBasinLabels());
    if (statistics_->getBasins().size() >= 3) startWadaTest();
  }
  dimensionDone_ = true;
  flat_ = std::make_unique<tImage>(*fractal->getImage());
  if (showShading_) showShading();
}

void tFracScene::showShading() {
  tFractal* fractal = tMainApp::instance().getFractal();
  *fractal->getImage() = *flat_;
  if (showShading_) tSpeedShading::shade(fractal->getImage(), fractal->getBasinLabels());
  texture_.upload(*fractal->getImage(), false);
}

void tFracScene::startWadaTest() {
  tMainApp& app = tMainApp::instance();
  const tFractal* fractal = app.getFractal();
  const tFunction* function = app.getFunction();
  const tIterativeSolver* solver = app.getSolver();
  wadaCancel_ = false;
  wadaTest_ = std::async(std::launch::async, [this, fractal, function, solver] {
    return tWadaGrid::measure(*fractal, *function, *solver, 0, &wadaCancel_);
  });
}

void tFracScene::stopWadaTest() {
  if (wadaTest_.valid()) {
    wadaCancel_ = true;
    wadaTest_.wait();
    wadaTest_ = {};
  }
  wada_.reset();
}

std::string tFracScene::wadaLine() const {
  const tBasinStatistics& s = *statistics_;
  if (std::isnan(s.getWadaDistance())) return "Wada: fewer than three basins";
  char text[128];
  if (!wada_) {
    std::snprintf(text, sizeof text, "Wada: testing (boundaries %.2f px apart)",
                  s.getWadaDistance());
  } else {
    std::snprintf(text, sizeof text, "Wada: %s (W_%zu = %.3f of %zu boxes; %.2f px apart)",
                  wada_->isWada() ? "yes" : "no", wada_->basins, wada_->getShare(wada_->basins),
                  wada_->boundaryBoxes, s.getWadaDistance());
  }
  return text;
}

void tFracScene::stopComputation() {
  if (computation_) computation_->cancel();
  computation_.reset();
  uploaded_ = 0;
  uploadedPasses_ = 0;
}

// A basin picture shows whole and coarse first, then sharpens in row-major
// order, the order in which roots meet the registry and so get their
// colours; each coarse picture is uploaded in the frame that finds it, the
// rows at most every UPLOAD_INTERVAL. The texture is uploaded from the
// picture under its lock, on this thread, which holds the GL context.
void tFracScene::advancePicture() {
  tMainApp& app = tMainApp::instance();
  tFractal* fractal = app.getFractal();
  tTimer& timer = tTimer::instance();
  if (!computation_) {
    app.getSession().getRandom().seed(seed_);
    const tParameterPlane* plane = app.getSession().getPlane();
    if (plane) {
      computation_ = std::make_unique<tPlaneComputation>(fractal, *plane, *app.getSolver());
    } else {
      computation_ = std::make_unique<tCoarseToFineComputation>(fractal, app.getFunction(),
                                                                app.getSolver(), seed_);
    }
    computation_->start();
    timer.resetMark(uploadMark_);
  }
  const bool finished = computation_->isDone();
  const std::size_t painted = computation_->getPaintedCount();
  const unsigned int passes = computation_->getCoarsePasses();
  if (finished || passes != uploadedPasses_ ||
      (painted != uploaded_ && timer.timeSinceMark(uploadMark_) >= UPLOAD_INTERVAL)) {
    auto lock = computation_->lockPicture();
    texture_.upload(*fractal->getImage(), false);
    uploaded_ = painted;
    uploadedPasses_ = passes;
    timer.resetMark(uploadMark_);
  }
  if (!finished) return;
  done_ = true;
  computeTime_ = computation_->getMilliseconds();
  // Its threads are joined and its results freed now, not when the view goes.
  stopComputation();
}

// Nothing is computed during the cross-fade, so the time shown is the
// computation's alone.
void tFracScene::update(double) {
  if (wadaTest_.valid() && wadaTest_.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
    wada_ = wadaTest_.get();
  if (!followTransition()) return;
  if (!runComplete()) {
    handleButtons();
    return;
  }
  toggleOverlays();
  if (!pictureDone()) advancePicture();
  if (done_ && !dimensionDone_) finishPicture();
  if (handleButtons()) return;
  zoomWithKeys();
  zoomWithWheel();
  zoomWithMouse();
}

void tFracScene::toggleOverlays() {
  tKeyboardHandler& keys = tKeyboardHandler::instance();
  if (keys.keyPressed(TKEY_T) && dimensionDone_) showTree_ = !showTree_;
  if (keys.keyPressed(TKEY_R) && done_) showRoots_ = !showRoots_;
  if (keys.keyPressed(TKEY_I)) showInfo_ = !showInfo_;
  if (keys.keyPressed(TKEY_S) && done_) showStatistics_ = !showStatistics_;
  if (keys.keyPressed(TKEY_H) && dimensionDone_) {
    showShading_ = !showShading_;
    showShading();
  }
  if (keys.keyPressed(TKEY_K) && dimensionDone_) saveScript();
}

// The buttons are where they are drawn, shown or not; "Write File" waits
// for the measured picture, "Back" stops the computation at once.
bool tFracScene::handleButtons() {
  if (!tMouseHandler::instance().buttonPressed(TBUTTON_PRIMARY)) return false;
  const float w = viewWidth();
  const float h = viewHeight();
  const bool write =
      mouseInRect(w / 2.0f, h - 85.0f, buttonHalfWidth(kWriteLabel, kButtonSize), 12.0f);
  const bool save = mouseInRect(w / 2.0f + kSaveOffset, h - 85.0f,
                                buttonHalfWidth(kSaveLabel, kButtonSize), 12.0f);
  if (dimensionDone_ && (write || save)) {
    if (write) writeFile();
    if (save) saveScript();
    tTimer::instance().resetMark(clickMark_);
    clickPending_ = false;
    dragging_ = false;
    return true;
  }
  if (mouseInRect(w / 2.0f, h - 35.0f, buttonHalfWidth(kBackLabel, kButtonSize), 12.0f)) {
    stopComputation();
    stopWadaTest();
    if (runComplete()) keepBounds();
    tSceneManager::instance().beginTransition(new tSetupFracScene(), 1000.0f);
  }
  return false;
}

void tFracScene::writeFile() {
  tFractal* fractal = tMainApp::instance().getFractal();
  if (fractal == nullptr) return;
  std::string name = tFileDialogUtils::getSaveName();
  if (name.empty()) return;
  bool written = false;
  if (endsWith(name, ".png") || endsWith(name, ".PNG")) {
    // The picture keeps how it was made.
    tPNGLoader::tTexts texts = {{"Software", "Rootweaver"}};
    tBLAMViewScript view;
    if (describeView(view)) {
      const auto settings = view.settings();
      texts.insert(texts.end(), settings.begin(), settings.end());
    }
    written = tPNGLoader().write(name, fractal->getImage(), nullptr, texts);
  } else {
    if (name.find(".tga") == std::string::npos) name += ".tga";
    written = tTGALoader().write(name, fractal->getImage(), 24, false);
  }
  if (!written) showMessage("Cannot write " + name);
}

void tFracScene::saveScript() {
  if (tMainApp::instance().getSession().getPlane() != nullptr) {
    showMessage("A parameter plane is not saved as a script");
    return;
  }
  tBLAMViewScript view;
  if (!describeView(view)) return;
  std::string path = tFileDialogUtils::getSaveName();
  if (path.empty()) return;
  if (!endsWith(path, ".blam")) path += ".blam";
  const std::string name = baseName(path, ".blam");
  const std::string directory = std::filesystem::absolute(path).parent_path().string() + "/";
  std::string error = view.refusalFor(directory, name);
  if (error.empty() && !tFileWriter::writeWhole(path, view.script(directory, name), error)) {
    error = "Cannot write " + path;
  }
  if (!error.empty()) showMessage(error);
}

bool tFracScene::describeView(tBLAMViewScript& view) const {
  tMainApp& app = tMainApp::instance();
  if (!dimensionDone_ || !runComplete() || app.getSession().getPlane() != nullptr) return false;
  const tFractal& fractal = *app.getFractal();
  const tIterativeSolver& solver = *app.getSolver();
  const std::filesystem::path function = tFunction::locate(app.getFunction()->getName());
  view.function = std::filesystem::absolute(function).lexically_normal().string();
  view.solver = tBLAMUseStatement::useNameOf(solver.getName());
  view.maxIterations = solver.getMaxIterations();
  view.stepSize = solver.getStepSize();
  view.hasMethodParameter = solver.getMethodParameter(view.methodParameter);
  view.minX = fractal.getMinX();
  view.maxX = fractal.getMaxX();
  view.minY = fractal.getMinY();
  view.maxY = fractal.getMaxY();
  view.dimension = fractal.getImage()->getWidth();
  view.singularSet = fractal.isSingularSet();
  view.randomColors = app.getSession().getRoots().usesRandomColors();
  view.palette = app.getSession().getRoots().getPalette().getName();
  view.shadeBySpeed = showShading_;
  view.seed = seed_;
  view.roots = app.getSession().getRoots().getRoots();
  return true;
}

void tFracScene::keepBounds() const {
  const tFractal& fractal = *tMainApp::instance().getFractal();
  const std::pair<const char*, double> bounds[] = {{"minX", fractal.getMinX()},
                                                   {"maxX", fractal.getMaxX()},
                                                   {"minY", fractal.getMinY()},
                                                   {"maxY", fractal.getMaxY()}};
  tCategoricalDict prefs = tPreferences::load();
  bool changed = false;
  for (const auto& bound : bounds) {
    std::string& text = prefs[bound.first][0];
    if (tStringUtils::readNumber(text) == bound.second) continue;
    text = tStringUtils::writeNumber(bound.second);
    changed = true;
  }
  if (changed) tPreferences::save(prefs);
}

// Each frame with the key held shrinks (or grows) both extents by a tenth
// about the centre and starts the picture over.
void tFracScene::zoomWithKeys() {
  tKeyboardHandler& keys = tKeyboardHandler::instance();
  tFractal* f = tMainApp::instance().getFractal();
  const int keyCodes[2] = {TKEY_EQUALS, TKEY_MINUS};
  const double factors[2] = {kZoomStep, -kZoomStep};
  for (int k = 0; k < 2; ++k) {
    if (!keys.keyDown(keyCodes[k])) continue;
    const double hw = (f->getMaxX() - f->getMinX()) / 2.0;
    const double hh = (f->getMaxY() - f->getMinY()) / 2.0;
    const double c = factors[k];
    zoomTo(f->getMinX() + c * hw, f->getMaxX() - c * hw, f->getMinY() + c * hh,
           f->getMaxY() - c * hh);
  }
}

void tFracScene::zoomWithWheel() {
  const tMouseHandler& mouse = tMouseHandler::instance();
  const int turns = mouse.getWheelDelta();
  const double left = pictureLeft();
  const double top = pictureTop();
  const double side = 2.0 * halfSide();
  const int x = mouse.getX();
  const int y = mouse.getY();
  if (turns == 0 || x < left || x > left + side || y < top || y > top + side) return;
  const double scale = std::pow(turns > 0 ? 1.0 - kZoomStep : 1.0 + kZoomStep, std::abs(turns));
  const tFractal* f = tMainApp::instance().getFractal();
  double px = 0.0;
  double py = 0.0;
  mousePoint(&px, &py);
  zoomTo(px - (px - f->getMinX()) * scale, px + (f->getMaxX() - px) * scale,
         py - (py - f->getMinY()) * scale, py + (f->getMaxY() - py) * scale);
}

// A double click recentres the view; a press held beyond the double-click
// time becomes a drag, which zooms to the square it spans when released.
void tFracScene::zoomWithMouse() {
  const tMouseHandler& mouse = tMouseHandler::instance();
  tTimer& timer = tTimer::instance();
  tFractal* f = tMainApp::instance().getFractal();
  double px = 0.0;
  double py = 0.0;
  mousePoint(&px, &py);
  if (mouse.buttonPressed(TBUTTON_PRIMARY)) {
    if (clickPending_ && timer.timeSinceMark(clickMark_) < kDoubleClickTime) {
      const double hw = (f->getMaxX() - f->getMinX()) / 2.0;
      const double hh = (f->getMaxY() - f->getMinY()) / 2.0;
      clickPending_ = false;
      dragging_ = false;
      zoomTo(px - hw, px + hw, py - hh, py + hh);
    } else {
      clickPending_ = true;
      dragging_ = false;
      dragStartX_ = px;
      dragStartY_ = py;
    }
    timer.resetMark(clickMark_);
  }
  if (!dragging_ && clickPending_ && mouse.buttonDown(TBUTTON_PRIMARY) &&
      timer.timeSinceMark(clickMark_) > kDoubleClickTime) {
    clickPending_ = false;
    dragging_ = true;
  }
  if (dragging_ && mouse.buttonUnpressed(TBUTTON_PRIMARY)) {
    dragging_ = false;
    makeSquare(dragStartX_, dragStartY_, &px, &py);
    // A drag that spans nothing leaves the view as it is.
    zoomTo(std::min(dragStartX_, px), std::max(dragStartX_, px), std::min(dragStartY_, py),
           std::max(dragStartY_, py));
  }
}

void tFracScene::makeSquare(double x0, double y0, double* x1, double* y1) {
  const double dy = std::fabs(y0 - *y1);
  if (dy > std::fabs(x0 - *x1)) *x1 = x0 > *x1 ? x0 - dy : x0 + dy;
  const double dx = std::fabs(x0 - *x1);
  if (dx > std::fabs(y0 - *y1)) *y1 = y0 > *y1 ? y0 - dx : y0 + dx;
}

void tFracScene::mousePoint(double* px, double* py) const {
  const tMouseHandler& mouse = tMouseHandler::instance();
  const tFractal* f = tMainApp::instance().getFractal();
  const double half = halfSide();
  *px =
      f->getMinX() + (f->getMaxX() - f->getMinX()) * (mouse.getX() - pictureLeft()) / (2.0 * half);
  *py =
      f->getMaxY() + (f->getMaxY() - f->getMinY()) * (mouse.getY() - pictureTop()) / (-2.0 * half);
}

// The picture as one textured box centred at (centerX, centerY), its row 0
// at the bottom edge.
void tFracScene::drawPicture(float centerX, float centerY, float half) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_.getTexID());
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  tOGLUtils::drawBoxTextured(centerX, centerY, half, half);
  glDisable(GL_TEXTURE_2D);
}

void tFracScene::draw() {
  if (!beginDrawing()) return;
  tFractal* fractal = tMainApp::instance().getFractal();
  const float w = viewWidth();
  const float h = viewHeight();
  const float half = halfSide();
  if (fractal != nullptr) {
    drawPicture(w / 2.0f, h / 2.0f, half);
    if (showTree_) {
      glPushMatrix();
      glTranslatef(w / 2.0f, h / 2.0f, 0.0f);
      glScalef(1.0f, -1.0f, 1.0f);
      glTranslatef(-w / 2.0f, -h / 2.0f, 0.0f);
      fractal->drawTree(w / 2.0f, h / 2.0f, half, half);
      glPopMatrix();
    }
    if (showRoots_) drawRoots(*fractal);
    if (dragging_) drawDragSquare();
  }
  glEnable(GL_TEXTURE_2D);
  tFontManager::instance().bindCurrentFont();
  if (showInfo_) drawInfo();
  if (showStatistics_ && statistics_) drawStatistics();
  const std::string message = getMessage();
  if (!message.empty()) {
    tTextRenderer& text = tTextRenderer::instance();
    glColor4f(0.0f, 0.0f, 0.0f, 0.7f * alpha_);
    text.drawStringCentered(message, w / 2.0f + 1.0f, h - 119.0f, kButtonSize * alpha_);
    glColor4f(1.0f, 0.3f, 0.3f, alpha_);
    text.drawStringCentered(message, w / 2.0f, h - 120.0f, kButtonSize * alpha_);
  }
  drawFadeOverlay();
}

// A growing picture adds roots to the registry as it finds them, so the
// registry is read under the picture's lock meanwhile.
void tFracScene::drawRoots(const tFractal& fractal) const {
  std::unique_lock<std::mutex> lock;
  if (computation_) lock = computation_->lockPicture();
  tMainApp::instance().getSession().getRoots().drawRoots(
      fractal.getMinX(), fractal.getMaxX(), fractal.getMinY(), fractal.getMaxY(), pictureLeft(),
      pictureTop(), halfSide(), halfSide());
}

// The square is made in screen pixels from the drag's start, mapped back
// onto the view, to the mouse.
void tFracScene::drawDragSquare() const {
  const tFractal* f = tMainApp::instance().getFractal();
  const tMouseHandler& mouse = tMouseHandler::instance();
  const double half = halfSide();
  const double bottom = viewHeight() / 2.0 + half;
  double x0 = toPixel(2.0 * half * (dragStartX_ - f->getMinX()) / (f->getMaxX() - f->getMinX()) +
                      pictureLeft());
  double y0 =
      toPixel(-2.0 * half * (dragStartY_ - f->getMinY()) / (f->getMaxY() - f->getMinY()) + bottom);
  double x1 = mouse.getX();
  double y1 = mouse.getY();
  makeSquare(x0, y0, &x1, &y1);
  glDisable(GL_TEXTURE_2D);
  glColor4f(1.0f, 1.0f, 1.0f, 0.7f);
  tOGLUtils::drawBoxOutline(
      static_cast<float>((x0 + x1) / 2.0), static_cast<float>((y0 + y1) / 2.0),
      static_cast<float>(std::fabs(x1 - x0) / 2.0), static_cast<float>(std::fabs(y1 - y0) / 2.0));
  glEnable(GL_TEXTURE_2D);
}

// "Write File" waits for the measured picture; "Back" is taken, and so
// drawn, at any time.
void tFracScene::drawInfo() const {
  const tPixel textColor = tRootManager::getTextColor();
  // The left-hand lines, each with the height of its foot.
  std::vector<std::pair<std::string, float>> left;
  if (done_) {
    const std::string seconds =
        tStringUtils::floatToString(static_cast<float>(computeTime_ / 1000.0), 3);
    left.push_back({"Cooked Fractal In: " + seconds + "s", 30.0f});
  }
  const std::string line = getInfoLine();
  if (!line.empty()) left.push_back({line, 70.0f});
  const std::string seed = getSeedLine();
  if (!seed.empty()) left.push_back({seed, 110.0f});
  float rightmost = 0.0f;  // the right end of the widest left-hand line
  float lowest = 0.0f;     // the foot of the lowest left-hand line
  for (const auto& text : left) {
    drawShadowedText(text.first, 5.0f, text.second, textColor);
    rightmost =
        std::max(rightmost, 5.0f + tTextRenderer::instance().getStringWidth(text.first, kInfoSize));
    lowest = text.second;
  }
  drawViewLines(rightmost, lowest);
  const float w = viewWidth();
  const float h = viewHeight();
  if (dimensionDone_) {
    drawButton(kWriteLabel, w / 2.0f, h - 80.0f);
    drawButton(kSaveLabel, w / 2.0f + kSaveOffset, h - 80.0f);
  }
  drawButton(kBackLabel, w / 2.0f, h - 30.0f);
}

std::vector<std::string> tFracScene::getViewLines() const {
  std::vector<std::string> lines;
  if (!runComplete()) return lines;
  const tFractal& f = *tMainApp::instance().getFractal();
  const double width = f.getMaxX() - f.getMinX();
  const int decimals = decimalsFor(width / f.getImage()->getWidth());
  char text[160];
  std::snprintf(text, sizeof text, "centre (%.*f, %.*f)  width %.4g", decimals,
                f.getMinX() + width / 2.0, decimals, (f.getMinY() + f.getMaxY()) / 2.0, width);
  lines.push_back(text);
  const tMouseHandler& mouse = tMouseHandler::instance();
  const double side = 2.0 * halfSide();
  const double x = mouse.getX() - pictureLeft();
  const double y = mouse.getY() - pictureTop();
  if (x < 0.0 || x > side || y < 0.0 || y > side) return lines;
  double px = 0.0;
  double py = 0.0;
  mousePoint(&px, &py);
  std::snprintf(text, sizeof text, "pointer (%.*f, %.*f)", decimals, px, decimals, py);
  lines.push_back(text);
  return lines;
}

// In the upper right corner, right-aligned, below the picture's first rows,
// which show first whether a growing picture has reached the top; below the
// left-hand lines when one of them reaches under the corner lines.
void tFracScene::drawViewLines(float leftEnd, float leftFoot) const {
  const std::vector<std::string> lines = getViewLines();
  tTextRenderer& text = tTextRenderer::instance();
  float start = viewWidth();
  for (const std::string& line : lines)
    start = std::min(start, viewWidth() - 8.0f - text.getStringWidth(line, kViewLineSize));
  const float top = leftEnd + 10.0f > start ? std::max(34.0f, leftFoot + 24.0f) : 34.0f;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const float x = viewWidth() - 8.0f - text.getStringWidth(lines[i], kViewLineSize);
    drawShadowedText(lines[i], x, top + 22.0f * i, tRootManager::getTextColor(), kViewLineSize);
  }
}

// A label centred at (x, y) in a box with a dark backing, label and box
// each with its shadow two pixels down and right.
void tFracScene::drawButton(const char* label, float x, float y) const {
  tTextRenderer& text = tTextRenderer::instance();
  const float size = kButtonSize * alpha_;
  const float halfWidth = buttonHalfWidth(label, kButtonSize);
  glDisable(GL_TEXTURE_2D);
  glColor4f(0.0f, 0.0f, 0.0f, kBackingAlpha * alpha_);
  tOGLUtils::drawBoxFilled(x, y - 5.0f, halfWidth, 12.0f);
  glEnable(GL_TEXTURE_2D);
  glColor4f(0.0f, 0.0f, 0.0f, 0.3f * alpha_);
  text.drawStringCentered(label, x + 2.0f, y + 2.0f, size);
  glColor4f(1.0f, 1.0f, 1.0f, alpha_);
  text.drawStringCentered(label, x, y, size);

  glDisable(GL_TEXTURE_2D);
  glColor4f(0.0f, 0.0f, 0.0f, 0.3f * alpha_);
  tOGLUtils::drawBoxOutline(x + 2.0f, y - 3.0f, halfWidth, 12.0f);
  glColor4f(1.0f, 1.0f, 1.0f, alpha_);
  tOGLUtils::drawBoxOutline(x, y - 5.0f, halfWidth, 12.0f);
  glEnable(GL_TEXTURE_2D);
}

std::vector<std::pair<std::string, int>> tFracScene::getStatisticsLines() const {
  std::vector<std::pair<std::string, int>> lines;
  if (!statistics_) return lines;
  const tBasinStatistics& s = *statistics_;
  const auto& roots = tMainApp::instance().getSession().getRoots().getRoots();
  char text[128];
  for (const tBasinStatistics::tBasin& basin : s.getBasins()) {
    const tVector2& root = roots[basin.registryIndex].first;
    std::snprintf(text, sizeof text, "(%.4f, %.4f)  %.2f%%", shownCoordinate(root.x_),
                  shownCoordinate(root.y_), 100.0 * basin.fraction);
    lines.push_back({text, static_cast<int>(basin.registryIndex)});
  }
  std::snprintf(text, sizeof text, "no convergence %.2f%%, singular %.2f%%",
                100.0 * s.getNoConvergenceFraction(), 100.0 * s.getSingularFraction());
  lines.push_back({text, -1});
  const double boundaryEntropy = s.getBoundaryBasinEntropy();
  // S_bb > ln 2 is sufficient for a fractal boundary only where the box
  // dimension agrees (tBasinStatistics::hasFractalBoundary).
  const char* verdict = std::isnan(boundaryEntropy)          ? ""
                        : s.hasFractalBoundary()             ? "  > ln 2: fractal boundary"
                        : boundaryEntropy > std::log(2.0)    ? "  > ln 2, but dimension 1"
                                                             : "  <= ln 2";
  lines.push_back({"S_b " + shownMeasure(s.getBasinEntropy()) + "   S_bb " +
                       shownMeasure(boundaryEntropy) + verdict,
                   -1});
  lines.push_back({"box dimension " + shownMeasure(s.getBoxDimension()) + " +- " +
                       shownMeasure(s.getBoxDimensionError()),
                   -1});
  lines.push_back({"uncertainty exponent " + shownMeasure(s.getUncertaintyExponent()) + " +- " +
                       shownMeasure(s.getUncertaintyExponentError()),
                   -1});
  lines.push_back({wadaLine(), -1});
  return lines;
}

// A dark translucent box keeps the lines readable over any picture; each
// basin's line begins with its root's colour.
void tFracScene::drawStatistics() const {
  const std::vector<std::pair<std::string, int>> lines = getStatisticsLines();
  const float size = 16.0f;
  const float lineHeight = 20.0f;
  const float swatch = 12.0f;
  tTextRenderer& text = tTextRenderer::instance();
  float width = 0.0f;
  for (const auto& line : lines) width = std::max(width, text.getStringWidth(line.first, size));
  const float left = pictureLeft() + 10.0f;
  // Below the seed's line when that is shown.
  const float top = showInfo_ && !getSeedLine().empty() ? 125.0f : 110.0f;
  const float textLeft = left + 10.0f + swatch + 8.0f;
  const float halfWidth = (textLeft - left + width + 10.0f) / 2.0f;
  const float halfHeight = (lineHeight * lines.size() + 10.0f) / 2.0f;
  const auto& roots = tMainApp::instance().getSession().getRoots().getRoots();
  glDisable(GL_TEXTURE_2D);
  glColor4f(0.0f, 0.0f, 0.0f, 0.7f * alpha_);
  tOGLUtils::drawBoxFilled(left + halfWidth, top + halfHeight, halfWidth, halfHeight);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].second < 0) continue;
    const tPixel color = roots[static_cast<std::size_t>(lines[i].second)].second;
    glColor4ub(color[0], color[1], color[2], static_cast<unsigned char>(255 * alpha_));
    const float middle = top + 5.0f + lineHeight * (i + 0.5f);
    tOGLUtils::drawBoxFilled(left + 10.0f + swatch / 2.0f, middle, swatch / 2.0f, swatch / 2.0f);
  }
  glEnable(GL_TEXTURE_2D);
  glColor4f(1.0f, 1.0f, 1.0f, alpha_);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    text.drawString(lines[i].first, textLeft, top + 5.0f + lineHeight * (i + 1) - 4.0f, size);
  }
}

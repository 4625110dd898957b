#ifndef ROOTWEAVER_SCENES_TFRACSCENE_H
#define ROOTWEAVER_SCENES_TFRACSCENE_H

#include <atomic>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Shell/tScene.h"
#include "fractal/tWadaGrid.h"
#include "graphics/tTexture.h"

class tBLAMViewScript;
class tBasinStatistics;
class tFractal;
class tPictureComputation;
class tImage;

// The fractal view: the current run of tMainApp computed while it is shown,
// then measured (its fractal dimension), then explored. The picture is drawn
// as a square of side min(W, H) centred on the view, its top edge at maxY_ of
// the fractal and its bottom edge at minY_.
//
// The picture is computed in the background on every CPU
// (tCoarseToFineComputation, or tPlaneComputation when the run draws a
// parameter plane, which has no basins to measure or shade), starting with
// the first update outside transitions. A basin or singular-set picture
// shows whole at once in blocks of 8 pixels, then 4 and 2 (each uploaded in
// the frame that finds it), then sharpens in row-major order, as a parameter
// plane grows; each frame uploads new rows at most every UPLOAD_INTERVAL ms, so
// the window keeps drawing and taking input at the display's rate, with the
// share computed where the dimension will be. In the frame that sees the
// picture complete, the dimension is computed. Only a complete, measured
// picture takes (and shows) "Write File"; "Back" and the zooms (keys, mouse
// wheel, double click, dragged square) are taken while it grows too, and
// cancel the work in flight at once. Every zoom starts the computation over
// on the old picture resampled to the new bounds (tZoomPreview), which the
// coarse pictures and then the new rows replace as they come (the root
// registry keeps its colours across zooms). While it grows, the picture and
// the root registry, which the computation writes, are read under its lock.
// A complete basin picture is measured (tBasinStatistics) in the frame that
// measures its dimension, and
// "s" shows the measures in a panel over the picture; "h" shows it shaded by
// convergence speed (tSpeedShading) or flat again, and the choice holds for
// the pictures of later zooms once they are complete.
//
// Every picture starts its random sequence (jitter, random colours) from the
// view's seed: the one the settings give, or else one taken from the clock
// when the view opens; the info texts show it when random colours or jitter
// are on, so that the settings can ask for the same pictures again.
class tFracScene : public tScene {
 public:
  // Least time between two uploads of a growing picture, in ms.
  static constexpr double UPLOAD_INTERVAL = 100.0;

  // Clears the root registry; without a seed, the clock gives one.
  explicit tFracScene(std::optional<unsigned int> seed = std::nullopt);
  // Cancels the computation in flight and waits for it.
  ~tFracScene() override;

  void draw() override;
  void update(double dt) override;

  // Fraction of the picture's pixels computed, 0 to 1.
  double getProgress() const;
  bool isDone() const { return done_; }
  // A computation is running in the background.
  bool isComputing() const;
  bool isDimensionDone() const { return dimensionDone_; }
  bool showsTree() const { return showTree_; }
  bool showsRoots() const { return showRoots_; }
  bool showsInfo() const { return showInfo_; }
  bool showsStatistics() const { return showStatistics_; }
  bool showsShading() const { return showShading_; }
  unsigned int getSeed() const { return seed_; }
  // The measures of the complete picture; null while it grows, and for a
  // singular-set picture.
  const tBasinStatistics* getStatistics() const { return statistics_.get(); }
  // The statistics panel's lines, top to bottom, each with the registry
  // place of the root whose colour its swatch shows, or -1 for none.
  std::vector<std::pair<std::string, int>> getStatisticsLines() const;
  // The line under the computing time: the share of the picture computed
  // while it grows, then its dimension; "" without a run to show.
  std::string getInfoLine() const;
  // "Seed: N" while random colours or jitter are on; "" otherwise.
  std::string getSeedLine() const;
  // The corner lines: the view's centre and width, then the plane point
  // under the pointer while it is over the picture; none without a run.
  // Each shows as many decimals as a pixel of the picture needs.
  std::vector<std::string> getViewLines() const;
  // The message shown now; "" when none is.
  std::string getMessage() const;
  // Timer marks that the double click and the message are measured from.
  unsigned int getClickMark() const { return clickMark_; }
  unsigned int getMessageMark() const { return messageMark_; }

 private:
  // Starts the computation if none runs, uploads what is new, and notes
  // when the picture is complete.
  void advancePicture();
  // Starts the picture over on these bounds, from the old one resampled,
  // unless no picture can be made over them (they are not finite and
  // increasing).
  void zoomTo(double minX, double maxX, double minY, double maxY);
  // Measures the complete picture and keeps it flat, shading it if asked.
  void finishPicture();
  // Shows the complete picture flat or shaded, as showShading_ says.
  void showShading();
  // Stops the computation in flight, keeping the pixels painted so far.
  void stopComputation();
  // The grid Wada test of the complete picture, in the background: it takes
  // longer than the other measures (seconds for many basins), and reads the
  // picture, the function and the solver until it ends, so anything that
  // changes them stops it first.
  void startWadaTest();
  void stopWadaTest();
  // The panel's Wada line.
  std::string wadaLine() const;
  bool pictureDone() const { return done_; }

  void toggleOverlays();
  // The two buttons; true when "Write File" ended the update.
  bool handleButtons();
  void writeFile();
  // Asks for a name and writes NAME.blam, a script that draws the complete
  // picture again (tBLAMViewScript); "Write File" and this ask alike.
  void saveScript();
  // The view as a script's settings; false without a complete picture.
  bool describeView(tBLAMViewScript& view) const;
  // Puts the view's bounds in the settings file for the setup's fields, only
  // those that differ from what the file holds, so that a view left as it
  // started leaves the file as it was.
  void keepBounds() const;
  void zoomWithKeys();
  void zoomWithMouse();
  // Each turn of the wheel over the picture zooms in (away from the user) or
  // out by the keys' tenth, about the point under the pointer, which stays
  // where it is on screen.
  void zoomWithWheel();
  // Makes the rectangle from (x0, y0) to (*x1, *y1) square on its longer
  // side, moving the second corner.
  static void makeSquare(double x0, double y0, double* x1, double* y1);
  // The plane point under the mouse.
  void mousePoint(double* px, double* py) const;
  void showMessage(const std::string& text);
  void drawPicture(float centerX, float centerY, float half);
  void drawRoots(const tFractal& fractal) const;
  void drawDragSquare() const;
  void drawInfo() const;
  void drawStatistics() const;
  void drawButton(const char* label, float x, float y) const;
  // leftEnd and leftFoot: the right end of the widest left-hand line and the
  // foot of the lowest, which the corner lines keep clear of.
  void drawViewLines(float leftEnd, float leftFoot) const;

  // View geometry: half the picture's side and its left and top edges.
  static float halfSide();
  static float pictureLeft();
  static float pictureTop();

  bool showTree_;             // draw the quad tree of the dimension
  bool showRoots_;            // draw the root markers
  bool showInfo_;             // draw timing, dimension and the two buttons
  bool showStatistics_;       // draw the statistics panel once there are statistics
  bool showShading_;          // show complete pictures shaded by convergence speed
  unsigned int seed_;         // of every picture's random sequence
  bool done_;                 // every pixel computed
  bool dimensionDone_;        // dimension computed for this picture
  std::unique_ptr<tPictureComputation> computation_;  // the picture's; null before it starts
  std::unique_ptr<tBasinStatistics> statistics_;      // the complete picture's measures
  std::future<tWadaGrid::tResult> wadaTest_;          // the grid Wada test while it runs
  std::optional<tWadaGrid::tResult> wada_;            // its result, once it has come
  std::atomic<bool> wadaCancel_{false};               // asks the running test to stop
  std::unique_ptr<tImage> flat_;  // the complete picture unshaded; null while it grows
  tTexture texture_;              // the picture as last uploaded, to be drawn
  std::size_t uploaded_;      // pixels painted when the texture was last uploaded
  unsigned int uploadedPasses_;  // coarse pictures painted when the texture was last uploaded
  unsigned int uploadMark_;   // tTimer mark: the last upload
  double computeTime_;        // ms the last complete picture took
  bool clickPending_;         // a first click has been made
  bool dragging_;             // a zoom square is being dragged
  unsigned int clickMark_;    // tTimer mark: time of the last first click
  double dragStartX_;         // plane point where the drag began
  double dragStartY_;
  std::string message_;       // a short message shown for a while; "" for none
  unsigned int messageMark_;  // tTimer mark of the message's appearance
};

#endif

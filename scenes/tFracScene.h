#ifndef ROOTWEAVER_SCENES_TFRACSCENE_H
#define ROOTWEAVER_SCENES_TFRACSCENE_H

#include <string>

#include "Shell/tScene.h"

// The fractal view: the current run of tMainApp computed while it is shown,
// then measured (its fractal dimension), then explored. The picture is drawn
// as a square of side min(W, H) centred on the view, its top edge at maxY_ of
// the fractal and its bottom edge at minY_.
//
// Computing happens inside the frames, outside transitions: each frame
// computes pixels in row-major order until frameBudget_ ms have passed, then
// uploads the partial picture. The pixel during which the budget ran out is
// computed again first in the next frame. In the frame that completes the
// picture the time is taken and the dimension computed. Only a complete,
// measured picture takes the buttons and the zooms, and every zoom starts the
// picture over (the root registry keeps its colours across zooms).
//
// The computation sits behind a few operations (restartPicture,
// advancePicture, pictureDone and getProgress), so that another way of
// computing can take the place of the frame slices without touching the rest.
class tFracScene : public tScene {
 public:
  // Clears the root registry.
  tFracScene();

  void draw() override;
  void update(double dt) override;

  // Fraction of the picture's pixels computed, 0 to 1.
  double getProgress() const;
  bool isDone() const { return done_; }
  bool isDimensionDone() const { return dimensionDone_; }
  bool showsTree() const { return showTree_; }
  bool showsRoots() const { return showRoots_; }
  bool showsInfo() const { return showInfo_; }
  // The message shown now; "" when none is.
  std::string getMessage() const;
  // Timer marks that the frame's budget and the double click are measured
  // from.
  unsigned int getFrameMark() const { return frameMark_; }
  unsigned int getClickMark() const { return clickMark_; }
  unsigned int getMessageMark() const { return messageMark_; }

 private:
  // The computation of the picture.
  // Black picture, computing from the first pixel again.
  void restartPicture();
  // Computes pixels until the picture is complete or the frame's budget is
  // spent, then uploads the picture.
  void advancePicture();
  bool pictureDone() const { return done_; }

  void toggleOverlays();
  // The two buttons; true when "Write File" ended the update.
  bool handleButtons();
  void writeFile();
  void zoomWithKeys();
  void zoomWithMouse();
  // Makes the rectangle from (x0, y0) to (*x1, *y1) square on its longer
  // side, moving the second corner.
  static void makeSquare(double x0, double y0, double* x1, double* y1);
  // The plane point under the mouse.
  void mousePoint(double* px, double* py) const;
  void showMessage(const std::string& text);
  void drawDragSquare() const;
  void drawInfo() const;

  // View geometry: half the picture's side and its left and top edges.
  static float halfSide();
  static float pictureLeft();
  static float pictureTop();

  bool showTree_;             // draw the quad tree of the dimension
  bool showRoots_;            // draw the root markers
  bool showInfo_;             // draw timing, dimension and the two buttons
  bool done_;                 // every pixel computed
  bool dimensionDone_;        // dimension computed for this picture
  unsigned int row_;          // next pixel to compute: its row
  unsigned int column_;       //   and its column
  unsigned int computeMark_;  // tTimer mark: start of the picture's computation
  unsigned int frameMark_;    // tTimer mark: start of the frame's work
  double frameBudget_;        // longest computation per frame, ms
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

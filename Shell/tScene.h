#ifndef ROOTWEAVER_SHELL_TSCENE_H
#define ROOTWEAVER_SHELL_TSCENE_H

#include <string>

// The abstract scene: one screen of the program, updated and drawn once per
// frame, in view pixels with the origin at the top-left and y downwards.
//
// Every scene follows the transition protocol at the start of its update
// (followTransition): its opacity alpha_ comes from the scene manager's
// progress beta. During a cross-fade the outgoing scene fades from 1 to 0 in
// the first half while the incoming one is hidden (alpha_ -1), and the
// incoming one fades from 0 to 1 in the second half while the outgoing one is
// hidden; no scene takes input during a transition. A scene whose alpha_ is
// below 0 draws nothing, sizes of its text and items are multiplied by alpha_,
// and below 1 it ends its drawing with a black overlay of opacity 1 - alpha_.
//
// The behaviour of a scene reads only the input handlers, the timer and the
// text measurements, never GL, so tests drive it frame by frame headless.
class tScene {
 public:
  explicit tScene(const std::string& name);
  virtual ~tScene();
  tScene(const tScene&) = delete;
  tScene& operator=(const tScene&) = delete;

  virtual void draw() = 0;
  virtual void update(double dt) = 0;

  // The mouse lies in [cx - halfWidth, cx + halfWidth] x [cy - halfHeight,
  // cy + halfHeight], edges included.
  bool mouseInRect(float cx, float cy, float halfWidth, float halfHeight) const;

  const std::string& getName() const { return name_; }

 protected:
  // Sets alpha_ from the transition; true when the scene handles its input
  // in this frame (no transition in progress).
  bool followTransition();
  // The common start of drawing: false (draw nothing) when alpha_ is below
  // 0; otherwise the font "Daduz" is made current and bound, 2-D texturing
  // and alpha blending are on and the colour is opaque white.
  bool beginDrawing() const;
  // With alpha_ below 1, covers the view with black of opacity 1 - alpha_.
  void drawFadeOverlay() const;
  // Half the width of a button whose label is drawn at this text size in the
  // font "Daduz" (which it makes current): 0.6 times the label's width.
  static float buttonHalfWidth(const char* label, float size);
  // The view size: the window's, or the requested one before a window exists.
  static float viewWidth();
  static float viewHeight();

  std::string name_;  // the scene's name, set by each scene
  float alpha_;       // opacity from the transition; 1 outside transitions
};

#endif

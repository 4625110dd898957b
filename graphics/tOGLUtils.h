#ifndef ROOTWEAVER_GRAPHICS_TOGLUTILS_H
#define ROOTWEAVER_GRAPHICS_TOGLUTILS_H

// A rectangle of a texture: s0 .. s1 from left to right, t0 .. t1 from the
// first image row (drawn at the bottom) to the last.
struct tTexCoords {
  float s0;  // left edge
  float s1;  // right edge
  float t0;  // bottom edge (first image row)
  float t1;  // top edge
};

// A clipping rectangle in view pixels, edges included.
struct tClipRect {
  float minX;
  float maxX;
  float minY;
  float maxY;
};

// A textured box ready to draw: its edges in view pixels (y downwards) and
// the part of the texture that covers it, t0 at the bottom edge.
struct tTexturedQuad {
  float left;
  float right;
  float top;
  float bottom;
  tTexCoords tex;  // texture rectangle over the box
};

// Drawing helpers over OpenGL immediate mode: the pixel projection that every
// frame uses, and axis-aligned boxes given by centre and half-extents in view
// pixels with y downwards. They use the current colour, texture binding and
// enable state and change none of them.
//
// Clipping a textured box is plain geometry, kept apart from the drawing
// (clipTexturedBox) so that it can be checked without a window. The view
// that "clipped to the whole view" means is the size given to the last
// setOrthographicProjection, which the frame sets from the window first.
class tOGLUtils {
 public:
  // Viewport as given; projection over x in [0, width], y in [0, height],
  // flipped so that (0, 0) is the top-left corner and y grows downwards;
  // model-view identity.
  static void setOrthographicProjection(int width, int height, int viewportX, int viewportY,
                                        int viewportWidth, int viewportHeight);
  static void setOrthographicProjection(int width, int height);

  static void drawBoxFilled(float cx, float cy, float hw, float hh);
  static void drawBoxOutline(float cx, float cy, float hw, float hh);
  static void drawBoxTextured(float cx, float cy, float hw, float hh, const tTexCoords& tc,
                              float minX, float maxX, float minY, float maxY);
  static void drawBoxTextured(float cx, float cy, float hw, float hh, const tTexCoords& tc);
  static void drawBoxTextured(float cx, float cy, float hw, float hh);
  static tTexCoords getDefaultTexCoords();

  // The box cut to the clipping rectangle, its texture coordinates cut in
  // proportion; false (quad untouched) when no part of it lies inside. A box
  // that only touches the rectangle is kept, as a line.
  static bool clipTexturedBox(float cx, float cy, float hw, float hh, const tTexCoords& tc,
                              const tClipRect& clip, tTexturedQuad* quad);
  // One triangle strip: top-left, top-right, bottom-left, bottom-right.
  static void drawTexturedQuad(const tTexturedQuad& quad);
  // [0, view width] x [0, view height] of the last projection.
  static tClipRect getViewRect();

 private:
  static int viewWidth_;   // width given to the last projection
  static int viewHeight_;  // height given to the last projection
};

#endif

#ifndef ROOTWEAVER_SCENES_TSETUPFRACSCENE_H
#define ROOTWEAVER_SCENES_TSETUPFRACSCENE_H

#include <memory>
#include <string>

#include "File/tCategoricalDict.h"
#include "Shell/tScene.h"
#include "scenes/tPaletteOption.h"
#include "scenes/tPlaneOptions.h"

class tFunction;
class tStringSelect;
class tTextEntry;

// The menu of the interactive mode: the solver, step size, iteration limit,
// rectangle of the plane, picture dimension, the two options, the function
// file, the choice of a parameter plane (tPlaneOptions) and the palette
// (tPaletteOption: a button left of "Go"; "Use Random Colors" is dimmed under
// any palette but the classic one, which alone draws random colours). Its
// values come from prefs.txt (tPreferences) when it is built and go back there
// when the user leaves, by "Vadoduraraz Go!!" or by "Return To Mode Select";
// the categories it does not use are written back as read.
//
// "Go" builds the run (function, fractal, solver) in tMainApp and fades to
// the fractal view, but only when every value can make a picture: a field
// whose text is not a usable value (not a number, a dimension the engine
// refuses, an iteration limit below 1, a bound not below its partner) is
// drawn in red, "Go" is drawn in red as it is while no function is chosen,
// and pressing it only shows a short message naming the first such field.
// A function file that cannot make a picture (missing, unreadable, or refused
// by its reader: a formula that is not whole, f(z) beside f1) is named in a
// message that stays on screen, and "Go" stays red, until another file is
// chosen: an unreadable file is found as soon as it is chosen (or read from
// the settings), a refused one at the first press of "Go".
class tSetupFracScene : public tScene {
 public:
  tSetupFracScene();
  ~tSetupFracScene() override;

  void draw() override;
  void update(double dt) override;

  // Stores the current values into prefs_ and writes the settings file.
  bool writeData();
  // The option box: a white square of half-size s with a black outline and,
  // when on, a black cross.
  void drawMenuCheckbox(float cx, float cy, float s, bool on) const;

  const std::string& getFunctionPath() const { return functionPath_; }
  // The message shown now; "" when none is. A short message goes after a
  // while; what keeps the function from making a picture stays.
  std::string getMessage() const;
  // Whether "Go" can start a run: a function is chosen, it is not known to
  // be unusable, and no field is marked.
  bool goReady() const;
  // The timer mark the message's display time counts from.
  unsigned int getMessageMark() const { return messageMark_; }
  // The numeric fields, in update order.
  const tTextEntry& getEntry(unsigned int index) const;
  const tPlaneOptions& getPlaneOptions() const { return plane_; }

 private:
  // A numeric field: its widget, its settings category, its place, and what
  // is said when its text cannot be used.
  struct tFieldPlace {
    std::unique_ptr<tTextEntry> tSetupFracScene::*entry;  // the widget
    const char* category;                                 // category in prefs.txt
    bool secondColumn;                                    // x2 rather than x1
    float rowY;                                           // centre's y below H/4
    const char* unusable;                                 // the message naming the field
  };
  static const tFieldPlace FIELDS[7];

  tTextEntry& entry(const tFieldPlace& field) const;
  void readData();
  // Marks every field whose text cannot make a picture.
  void markUnusableFields();
  // The first marked field in update order; null when none is.
  const tFieldPlace* firstUnusableField() const;
  void pressGo();
  // Finds out whether the chosen function file can be read at all.
  void checkFunctionFile();
  void startRun();
  void chooseFunction();
  void showMessage(const std::string& text);
  void drawTexts(float w, float h) const;
  void drawOutlines(float w, float h) const;
  void drawPlaneOptions(float h) const;
  // The palette's button, left of "Go".
  void drawPaletteButton(float h) const;
  // The plane over the function about to be run, made the session's; false,
  // with a message, when it cannot be drawn.
  bool makePlane(const tFunction& function);

  // Layout: the width of "Max Iterations:" at 20, the two field columns, and
  // the half-widths of the three buttons.
  static float maxIterationsWidth();
  static float fieldX(bool secondColumn);
  // The palette button's half-width, that of its longest label.
  static float paletteHalfWidth();

  std::unique_ptr<tStringSelect> solverSelect_;  // the solvers
  std::unique_ptr<tTextEntry> stepSizeEntry_;    // step size, as text
  std::unique_ptr<tTextEntry> iterationsEntry_;  // iteration limit, as text
  std::unique_ptr<tTextEntry> dimensionEntry_;   // picture dimension, as text
  std::unique_ptr<tTextEntry> minXEntry_;        // left bound, as text
  std::unique_ptr<tTextEntry> maxXEntry_;        // right bound, as text
  std::unique_ptr<tTextEntry> minYEntry_;        // bottom bound, as text
  std::unique_ptr<tTextEntry> maxYEntry_;        // top bound, as text
  bool findSingularSet_;                         // option "Find Singular Set"
  bool useRandomColors_;                         // option "Use Random Colors"
  tPlaneOptions plane_;                          // option "Parameter Plane" and its fields
  tPaletteOption palette_;                       // the palette of the roots' colours
  std::string functionPath_;                     // chosen function file, or "<NONE>"
  std::string functionProblem_;                  // why it cannot make a picture; "" if it may
  std::string planeProblem_;                     // what to say of the plane's fields; "" if fine
  tCategoricalDict prefs_;                       // the whole settings file as read
  std::string message_;                          // a short message shown for a while; "" for none
  unsigned int messageMark_;                     // timer mark of the message's appearance
};

#endif

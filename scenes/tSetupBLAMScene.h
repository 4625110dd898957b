#ifndef ROOTWEAVER_SCENES_TSETUPBLAMSCENE_H
#define ROOTWEAVER_SCENES_TSETUPBLAMSCENE_H

#include <string>

#include "File/tCategoricalDict.h"
#include "Shell/tScene.h"

// The batch mode's setup: "Choose BLAM Script" opens the file dialog for a
// .blam file, the chosen script's name is shown under "Selected BLAM
// Script:", "BLAM it up!" cross-fades to the status scene that runs it, and
// "Return To Mode Select" goes back. The script is kept as entry 0 of the
// settings category "BLAM", written whenever the scene is left, together
// with every other setting as it was read.
//
// "BLAM it up!" does nothing while no script is chosen ("<NONE>", the
// button then drawn in translucent red). It does not start a script that is
// gone from the disk or while another script is still running; instead a
// short notice says why, under the script's name, for a few seconds of frame
// time.
class tSetupBLAMScene : public tScene {
 public:
  // The script when none is chosen.
  static const char* const NO_SCRIPT;
  // How long a notice stays, in milliseconds.
  static constexpr double NOTICE_DURATION = 4000.0;

  // Reads the settings and takes the script from them.
  tSetupBLAMScene();

  void draw() override;
  void update(double dt) override;

  // Sets entry 0 of "BLAM" to the script and writes the settings file.
  void writeData();

  const std::string& getScriptPath() const { return scriptPath_; }
  // The notice shown; empty when none is.
  const std::string& getNotice() const { return notice_; }

 private:
  // "BLAM it up!" was clicked: false, with a notice, when the script cannot
  // start now.
  bool scriptCanStart();
  void showNotice(const std::string& text);

  std::string scriptPath_;  // the chosen script, or NO_SCRIPT
  tCategoricalDict prefs_;  // the whole settings file as read
  std::string notice_;      // why the script did not start; empty when nothing is said
  double noticeTimeLeft_;   // frame time until the notice goes, in ms
};

#endif

#ifndef ROOTWEAVER_SCENES_TBLAMSTATUSSCENE_H
#define ROOTWEAVER_SCENES_TBLAMSTATUSSCENE_H

#include <memory>
#include <string>

#include "Shell/tScene.h"
#include "blam/tBLAMBackgroundRun.h"
#include "blam/tBLAMProgress.h"

// The batch mode at work: "BLAM Status" over a message, while the chosen
// script runs, then "Press Space to Escape!", and Space cross-fades back to
// a new BLAM setup scene.
//
// The scene goes through three states once its fade-in is over. Armed: the
// first frame only shows the message. Running: the next frame starts the
// script on a thread of its own (tBLAMBackgroundRun), and from then on the
// frames go on at the display's rate, each showing the script's progress
// under the message (the statement running, with the batches around it, and
// a bar for the pixels of the picture being computed); input is read, but
// nothing leads away. Finished: the first frame that finds the thread done
// ends the run and shows the prompt; Space is looked for from the frame
// after. Should another script still be running when the scene is armed, the
// scene waits for it before it starts its own.
class tBLAMStatusScene : public tScene {
 public:
  explicit tBLAMStatusScene(const std::string& scriptPath);

  void draw() override;
  void update(double dt) override;

  // The message in the middle of the view. Once the script has ended it
  // says what came of it: "Done: 12 pictures in results/", or how many
  // statements failed, the first failure and where the outputs went.
  std::string getStatusText() const;
  // The progress line under it: the batches in brackets, then the statement
  // running; empty when no statement of this scene's script is running.
  std::string getProgressText() const;

 private:
  // The progress as the scene shows it; not running outside this scene's run.
  tBLAMProgress::tState progressState() const;
  void drawProgress(const tBLAMProgress::tState& state) const;
  // Where the outputs went: the first folder pictures went to, below the
  // output directory where it lies there, and how many others.
  std::string outputsText() const;

  bool armed_;                               // the message was shown; the script starts next
  bool finished_;                            // the script has run
  tBLAMProgress::tSummary summary_;          // what the script did, once it has ended
  std::string scriptPath_;                   // the script to run, as the setup scene keeps it
  std::unique_ptr<tBLAMBackgroundRun> run_;  // the script's run while it is on
};

#endif

#ifndef ROOTWEAVER_FILE_TFILEDIALOGUTILS_H
#define ROOTWEAVER_FILE_TFILEDIALOGUTILS_H

#include <functional>
#include <string>

// The platform's modal open and save dialogs (GTK 3). Each call shows its
// dialog, waits until the user closes it, and lets the dialog vanish from the
// screen before it returns, so the next frame is drawn without it. GTK is
// started on the first call; when it cannot be (no display), the call prints
// one line on standard error and answers as a cancelled dialog would, "".
//
// Nothing else in the program knows GTK: the scenes ask through these two
// operations. Tests stand in for the user with setStandIn, which answers in
// place of the dialogs.
class tFileDialogUtils {
 public:
  // Which dialog a stand-in is asked to answer for.
  enum TDIALOG_KIND {
    TDIALOG_OPEN,  // chooseSingleFile
    TDIALOG_SAVE   // getSaveName
  };
  // Answers a request in place of the user: the kind of dialog and, for
  // TDIALOG_OPEN, its extension.
  using tStandIn = std::function<std::string(TDIALOG_KIND kind, const std::string& extension)>;

  // The path of the chosen file, or "" when the user cancels. With a
  // non-empty extension (without its dot, as "func") the dialog lists
  // folders and only the files of that type (tFileUtils::isFileOfType); a
  // path typed by the user is taken as typed.
  static std::string chooseSingleFile(const std::string& extension);
  // The chosen directory, "/" and the name the user typed; "" on cancel.
  static std::string getSaveName();

  // While set (not empty), both operations return its answer and show
  // nothing; an empty stand-in brings the dialogs back.
  static void setStandIn(tStandIn standIn);

 private:
  // Starts GTK on the first call; false, with the line on standard error,
  // when it could not be started.
  static bool startGtk();
};

#endif

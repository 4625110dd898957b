#ifndef ROOTWEAVER_BLAM_TBLAMMONTAGESTATEMENT_H
#define ROOTWEAVER_BLAM_TBLAMMONTAGESTATEMENT_H

#include <optional>
#include <string>

#include "blam/tBLAMStatement.h"

// montage "FILE" COLUMNS ["CAPTION"]: appends the picture of the last run,
// and its caption, to the batch's montage file <batch>-FILE.txt, then makes
// the whole file anew as the picture <batch>-FILE.png beside it
// (tBLAMMontage), COLUMNS pictures wide, unless the montage file is no
// regular file (a pipe, a device) that can be read back.
//
// The picture is named as its run statement named it, whichever process
// computes it (tBLAMOutputs::getLastPicture), relative to the montage
// file's folder; the caption is the one given, else the name of the solver
// in use. COLUMNS is a number or a variable that holds one, read as the
// statement runs. A COLUMNS that is no whole number of at least 1, or a
// montage before any run, is a failure that writes nothing.
class tBLAMMontageStatement : public tBLAMStatement {
 public:
  // An empty caption stands for the solver's name.
  void buildStatement(const std::string& fileName, const std::string& columns,
                      const std::string& caption);

  void run(tVariableEnv* env, const tBLAMContext& context) override;
  void print(std::ostream& trace) const override;
  std::string describe() const override;

 private:
  // The number of columns; none when COLUMNS is no whole number of at least 1.
  std::optional<unsigned int> findColumns(tVariableEnv* env) const;
  // The caption of the last run's picture.
  std::string findCaption(const tBLAMContext& context) const;
  // The picture's path as the montage file names it: relative to the
  // directory (ending in "/") when it can be.
  static std::string relativePath(const std::string& picture, const std::string& directory);

  std::string fileName_;  // the quoted name after montage, without quotes
  std::string columns_;   // COLUMNS as written
  std::string caption_;   // the quoted caption, without quotes; "" when not given
};

#endif

#ifndef ROOTWEAVER_FILE_TCSVFILE_H
#define ROOTWEAVER_FILE_TCSVFILE_H

#include <string>
#include <vector>

// Rows appended to a CSV file (RFC 4180: cells separated by commas, quoted
// when they hold a comma, a double quote or a line end, lines ended by LF)
// whose first line names its columns.
//
// A file is written by many runs, possibly of functions with other
// parameters, so a row goes into the columns of the file's own header by
// name: a new or empty file gets the row's columns as its header; in an
// existing file, columns the row lacks stay empty, and columns the header
// lacks are added at its end, the file being rewritten whole with the
// earlier rows empty there. No value is ever left out, and the file always
// reads back with its header as column names.
class tCSVFile {
 public:
  // A number with full precision (%.17g); empty for one that is not finite,
  // which stands for "not defined".
  static std::string number(double value);
  // The cell as it stands in the file, quoted where it must be.
  static std::string quote(const std::string& cell);
  // The cells of one line, unquoted; the line without its line end.
  static std::vector<std::string> splitLine(const std::string& line);

  // Appends the rows, each holding one cell per column of `columns`, to the
  // file at path (tFileWriter). False, with the reason in error, when it
  // cannot be written or is not a regular file.
  static bool appendRows(const std::string& path, const std::vector<std::string>& columns,
                         const std::vector<std::vector<std::string>>& rows, std::string& error);

 private:
  // The first line of the file at path; empty when it has none.
  static std::string readHeader(const std::string& path);
  static std::string joinLine(const std::vector<std::string>& cells);
  // The file's bytes with its first line replaced by header and `extra`
  // empty cells added to every later row; false, with error, when the file
  // cannot be read.
  static bool widen(const std::string& path, const std::vector<std::string>& header,
                    std::size_t extra, std::string& bytes, std::string& error);
};

#endif

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
// existing file, cells of columns the header lacks are left out (and named
// to the caller), and columns the row lacks stay empty. The file thus always
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
  // file at path. False when the file cannot be opened; `leftOut` receives
  // the columns that the file's header lacks.
  static bool appendRows(const std::string& path, const std::vector<std::string>& columns,
                         const std::vector<std::vector<std::string>>& rows,
                         std::vector<std::string>& leftOut);

 private:
  // The first line of the file at path; empty when it has none.
  static std::string readHeader(const std::string& path);
  static std::string joinLine(const std::vector<std::string>& cells);
};

#endif

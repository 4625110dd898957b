#ifndef ROOTWEAVER_FILE_TSOURCETEXT_H
#define ROOTWEAVER_FILE_TSOURCETEXT_H

#include <string>
#include <vector>

// The text of a script or function file as its reader tokenizes it: every
// line trimmed and preceded by a line feed, comment lines (starting with
// "//") left out, and a comment after code ("//" outside double quotes, up to
// the end of the line) cut off. Line ends mean nothing beyond separating
// tokens, so the reader sees one stream; a line feed rather than a space
// separates the lines so that no token whose pattern allows spaces (a quoted
// string) runs on into the next line. Every piece of the joined text keeps
// the line and column it came from, so that a warning can name the place in
// the file of any offset in the text.
class tSourceText {
 public:
  tSourceText() = default;
  // Joins the bytes of a file, whose lines end in LF, CR or CR LF; a zero
  // byte separates what stands around it as a line end does, but the line
  // count goes on. A UTF-8 byte-order mark at the start is left out.
  explicit tSourceText(const std::string& bytes);

  // Reads and joins the file; false, with an empty text, when it cannot be
  // read or must not be (tFileUtils::getReadRefusal).
  bool read(const std::string& path);
  // The bytes of the file that read joins; false, with no bytes, when it
  // cannot be read or must not be.
  static bool readFile(const std::string& path, std::string& bytes);

  const std::string& getText() const { return text_; }
  // The line and column, from 1, of the character at offset in the text;
  // false when no line of the file holds it.
  bool findPlace(unsigned offset, unsigned& line, unsigned& column) const;
  // path:line:column of the character at offset, as messages name places;
  // empty when no line holds it.
  std::string placeOf(const std::string& path, unsigned offset) const;
  // The character at offset as a warning shows it: a UTF-8 sequence whole, a
  // control character as an escape.
  std::string characterAt(unsigned offset) const;

 private:
  // A piece of the text that came from one line of the file.
  struct tPiece {
    unsigned offset;  // where the piece starts in the text
    unsigned line;    // line of its first character in the file, from 1
    unsigned column;  // column of its first character in the file, from 1
  };

  void join(const std::string& bytes);

  std::string text_;            // the joined text
  std::vector<tPiece> pieces_;  // the non-empty lines' pieces, in text order
};

#endif

#include "File/tSourceText.h"

#include <algorithm>

#include "File/tFileUtils.h"
#include "lexer/tStringUtils.h"

namespace {

// The UTF-8 encoding of U+FEFF, which some editors write before a file's
// first line to say that it is UTF-8.
const char kByteOrderMark[] = "\xEF\xBB\xBF";

// Line ends and the zero byte end a line, as the text-file reader has it.
bool isLineBreak(char c) { return c == '\n' || c == '\r' || c == '\0'; }

// The line up to a "//" that stands outside double quotes: a comment after
// code ends there, while a quoted string may hold "//" (a script's paths).
std::string withoutComment(const std::string& line) {
  bool quoted = false;
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (!quoted && line[i] == '/' && line[i + 1] == '/') return line.substr(0, i);
  }
  return line;
}

}  // namespace

tSourceText::tSourceText(const std::string& bytes) { join(bytes); }

bool tSourceText::read(const std::string& path) {
  text_.clear();
  pieces_.clear();
  std::string bytes;
  if (!readFile(path, bytes)) return false;
  join(bytes);
  return true;
}

bool tSourceText::readFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  if (!tFileUtils::getReadRefusal(path).empty()) return false;
  // The size was checked before opening; a file that grows since is refused.
  if (tFileUtils::readBytes(path, bytes, tFileUtils::MAX_READ_SIZE)) return true;
  bytes.clear();
  return false;
}

void tSourceText::join(const std::string& bytes) {
  unsigned line = 1;
  // The mark is no character of the text; the first line's columns count
  // from after it, as an editor shows them.
  std::size_t pos = bytes.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
  std::size_t lineStart = pos;
  while (pos < bytes.size()) {
    if (isLineBreak(bytes[pos])) {
      // "\r\n" is one line end; a lone "\r" or "\n" is one too.
      bool newLine = bytes[pos] == '\n' ||
                     (bytes[pos] == '\r' && (pos + 1 >= bytes.size() || bytes[pos + 1] != '\n'));
      ++pos;
      if (newLine) {
        ++line;
        lineStart = pos;
      }
      continue;
    }
    std::size_t end = pos;
    while (end < bytes.size() && !isLineBreak(bytes[end])) ++end;
    std::string piece = bytes.substr(pos, end - pos);
    std::size_t first = piece.find_first_not_of(" \t");
    std::string packed = tStringUtils::pack(piece);
    if (!(packed.size() >= 2 && packed.compare(0, 2, "//") == 0)) {
      packed = tStringUtils::pack(withoutComment(packed));
      text_ += "\n";
      if (first != std::string::npos)
        pieces_.push_back({static_cast<unsigned>(text_.size()), line,
                           static_cast<unsigned>(pos + first - lineStart + 1)});
      text_ += packed;
    }
    pos = end;
  }
}

bool tSourceText::findPlace(unsigned offset, unsigned& line, unsigned& column) const {
  // The last piece that starts at or before the offset holds it.
  auto piece = std::upper_bound(pieces_.begin(), pieces_.end(), offset,
                                [](unsigned value, const tPiece& p) { return value < p.offset; });
  if (piece == pieces_.begin()) return false;
  --piece;
  line = piece->line;
  column = piece->column + (offset - piece->offset);
  return true;
}

std::string tSourceText::placeOf(const std::string& path, unsigned offset) const {
  unsigned line, column;
  if (!findPlace(offset, line, column)) return "";
  return path + ":" + std::to_string(line) + ":" + std::to_string(column);
}

std::string tSourceText::characterAt(unsigned offset) const {
  unsigned char c = static_cast<unsigned char>(text_[offset]);
  if (c < 0x20 || c == 0x7f) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
    return escaped;
  }
  std::size_t end = offset + 1;
  if (c >= 0xc0)
    while (end < text_.size() && (static_cast<unsigned char>(text_[end]) & 0xc0) == 0x80) ++end;
  return text_.substr(offset, end - offset);
}

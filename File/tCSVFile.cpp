#include "File/tCSVFile.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>

#include "File/tFileUtils.h"
#include "File/tFileWriter.h"
#include "File/tTextFile.h"

std::string tCSVFile::number(double value) {
  if (!std::isfinite(value)) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string tCSVFile::quote(const std::string& cell) {
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string quoted = "\"";
  for (char c : cell) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::vector<std::string> tCSVFile::splitLine(const std::string& line) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      cells.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      cells.emplace_back();
    } else {
      cells.back() += c;
    }
  }
  return cells;
}

bool tCSVFile::appendRows(const std::string& path, const std::vector<std::string>& columns,
                          const std::vector<std::vector<std::string>>& rows, std::string& error) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    // Reading the header of a pipe could wait forever.
    error = "cannot write " + path + ": not a regular file";
    return false;
  }
  const std::string firstLine = readHeader(path);
  const bool fresh = firstLine.empty();
  std::vector<std::string> header = fresh ? columns : splitLine(firstLine);
  const std::size_t known = header.size();
  // Each column's place in the header, new columns joining its end; a name
  // that stands twice takes its places in order.
  std::vector<std::size_t> places(columns.size());
  std::vector<bool> taken(header.size(), false);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    std::size_t k = 0;
    while (k < header.size() && (taken[k] || header[k] != columns[i])) ++k;
    if (k == header.size()) {
      header.push_back(columns[i]);
      taken.push_back(false);
    }
    taken[k] = true;
    places[i] = k;
  }

  std::string text;
  if (fresh) text = joinLine(header);
  for (const std::vector<std::string>& row : rows) {
    std::vector<std::string> cells(header.size());
    for (std::size_t i = 0; i < columns.size() && i < row.size(); ++i) cells[places[i]] = row[i];
    text += joinLine(cells);
  }
  if (fresh || header.size() == known) return tFileWriter::append(path, text, error);
  std::string bytes;
  return widen(path, header, header.size() - known, bytes, error) &&
         tFileWriter::writeWhole(path, bytes + text, error);
}

bool tCSVFile::widen(const std::string& path, const std::vector<std::string>& header,
                     std::size_t extra, std::string& bytes, std::string& error) {
  std::string old;
  if (!tFileUtils::readBytes(path, old)) {
    error = "cannot read " + path;
    return false;
  }
  if (old.back() != '\n') old += '\n';
  bytes = joinLine(header);
  const std::string cells(extra, ',');
  bool quoted = false;
  for (std::size_t i = old.find('\n') + 1; i < old.size(); ++i) {
    const char c = old[i];
    if (c == '"') quoted = !quoted;
    if (c == '\n' && !quoted) {
      const bool crlf = !bytes.empty() && bytes.back() == '\r';
      if (crlf) bytes.pop_back();
      bytes += cells + (crlf ? "\r" : "");
    }
    bytes += c;
  }
  return true;
}

std::string tCSVFile::readHeader(const std::string& path) {
  tTextFile file;
  if (!file.open(path)) return "";
  return file.readLine();
}

std::string tCSVFile::joinLine(const std::vector<std::string>& cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) line += (i > 0 ? "," : "") + quote(cells[i]);
  return line + "\n";
}

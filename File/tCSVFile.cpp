#include "File/tCSVFile.h"

#include <cmath>
#include <cstdio>

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
                          const std::vector<std::vector<std::string>>& rows,
                          std::vector<std::string>& leftOut) {
  const std::string firstLine = readHeader(path);
  const bool fresh = firstLine.empty();
  const std::vector<std::string> header = fresh ? columns : splitLine(firstLine);
  // Each column's place in the header; a name that stands twice takes its
  // places in order.
  const std::size_t none = header.size();
  std::vector<std::size_t> places(columns.size(), none);
  std::vector<bool> taken(header.size(), false);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    for (std::size_t k = 0; k < header.size() && places[i] == none; ++k) {
      if (!taken[k] && header[k] == columns[i]) {
        places[i] = k;
        taken[k] = true;
      }
    }
    if (places[i] == none) leftOut.push_back(columns[i]);
  }

  tTextFile file(path, TFILE_APPEND);
  if (!file.isOpen()) return false;
  if (fresh) file << joinLine(header);
  for (const std::vector<std::string>& row : rows) {
    std::vector<std::string> cells(header.size());
    for (std::size_t i = 0; i < columns.size() && i < row.size(); ++i) {
      if (places[i] != none) cells[places[i]] = row[i];
    }
    file << joinLine(cells);
  }
  return true;
}

std::string tCSVFile::readHeader(const std::string& path) {
  tTextFile file;
  if (!file.open(path, TFILE_READ)) return "";
  return file.readLine();
}

std::string tCSVFile::joinLine(const std::vector<std::string>& cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) line += (i > 0 ? "," : "") + quote(cells[i]);
  return line + "\n";
}

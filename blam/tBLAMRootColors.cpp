#include "blam/tBLAMRootColors.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "lexer/tStringUtils.h"

namespace {

// One whole channel value from 0 to 255 of the stream, and nothing glued to it.
bool readChannel(std::istringstream& in, unsigned char& channel) {
  long value = -1;
  if (!(in >> value) || value < 0 || value > 255) return false;
  channel = static_cast<unsigned char>(value);
  return true;
}

bool readEntry(const std::string& entry, std::pair<tVector2, tPixel>& root) {
  std::istringstream in(entry);
  std::string x;
  std::string y;
  if (!(in >> x >> y)) return false;
  char* end = nullptr;
  root.first.x_ = std::strtod(x.c_str(), &end);
  if (*end != '\0' || !std::isfinite(root.first.x_)) return false;
  root.first.y_ = std::strtod(y.c_str(), &end);
  if (*end != '\0' || !std::isfinite(root.first.y_)) return false;
  for (unsigned channel = 0; channel < 3; ++channel)
    if (!readChannel(in, root.second[channel])) return false;
  root.second[3] = 255;
  std::string rest;
  return !(in >> rest);
}

// All the digits a double needs, without the "+" of an exponent, which a
// script's quoted text cannot hold.
std::string coordinate(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  std::string written(text);
  const std::size_t plus = written.find('+');
  if (plus != std::string::npos) written.erase(plus, 1);
  return written;
}

}  // namespace

std::string tBLAMRootColors::write(const tRoots& roots) {
  std::string text;
  for (const auto& root : roots) {
    text +=
        (text.empty() ? "" : " / ") + coordinate(root.first.x_) + " " + coordinate(root.first.y_);
    for (unsigned channel = 0; channel < 3; ++channel)
      text += " " + std::to_string(root.second[channel]);
  }
  return text;
}

bool tBLAMRootColors::read(const std::string& text, tRoots& roots, std::string& error) {
  roots.clear();
  if (tStringUtils::pack(text).empty()) return true;
  std::istringstream entries(text);
  std::string entry;
  while (std::getline(entries, entry, '/')) {
    std::pair<tVector2, tPixel> root;
    if (!readEntry(entry, root)) {
      error = "_rootColors must be entries \"x y red green blue\" separated by '/', not '" +
              tStringUtils::pack(entry) + "'";
      return false;
    }
    roots.push_back(root);
  }
  return true;
}

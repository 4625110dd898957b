#include "blam/tBLAMViewScript.h"

#include "lexer/tStringUtils.h"

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

const char* truth(bool value) { return value ? "true" : "false"; }

// What a script's quoted text may hold: printable characters but the quote,
// and the bytes of UTF-8.
bool quotable(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  return b >= 0x80 || (b >= ' ' && b != '"' && b != 0x7F);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> tBLAMViewScript::settings() const {
  std::vector<std::pair<std::string, std::string>> made = {
      {"function", quoted(function)},
      {"use", solver},
      {"_maxIterations", std::to_string(maxIterations)},
      {"_stepSize", tStringUtils::writeNumber(stepSize)},
  };
  if (hasMethodParameter)
    made.push_back({"_methodParameter", tStringUtils::writeNumber(methodParameter)});
  const std::pair<const char*, double> numbers[] = {{"_imageDimension", dimension},
                                                    {"_minX", minX},
                                                    {"_maxX", maxX},
                                                    {"_minY", minY},
                                                    {"_maxY", maxY}};
  for (const auto& number : numbers)
    made.push_back({number.first, tStringUtils::writeNumber(number.second)});
  made.push_back({"_singularSet", truth(singularSet)});
  made.push_back({"_useRandomColors", truth(randomColors)});
  if (palette != "classic") made.push_back({"_palette", quoted(palette)});
  made.push_back({"_shadeBySpeed", truth(shadeBySpeed)});
  made.push_back({"_seed", std::to_string(seed)});
  made.push_back({"_rootColors", quoted(tBLAMRootColors::write(roots))});
  return made;
}

std::string tBLAMViewScript::refusalFor(const std::string& directory,
                                        const std::string& name) const {
  for (const std::string& text : {function, directory, name}) {
    for (char c : text) {
      if (!quotable(c))
        return "A script cannot name " + text + ": its quoted text holds no '" + c + "'";
    }
  }
  return "";
}

// The solver's settings come before "use", which reads them.
std::string tBLAMViewScript::script(const std::string& directory, const std::string& name) const {
  std::string text =
      "// A view saved from Rootweaver's window. rootweaver --batch on this script\n"
      "// draws its picture again, as " +
      name +
      "-fractal-1.png beside it.\n"
      "_outputDir = " +
      quoted(directory) + "\n_imageFormat = \"png\"\n";
  std::string function;
  std::string solver;
  for (const auto& setting : settings()) {
    if (setting.first == "function") {
      function = setting.second;
    } else if (setting.first == "use") {
      solver = setting.second;
    } else {
      text += setting.first + " = " + setting.second + "\n";
    }
  }
  text += "f = loadFunction " + function + "\nuse " + solver + "\n";
  text += "batch " + quoted(name) + " of 1\nrun f\nend\n";
  return text;
}

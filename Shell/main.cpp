#include <string>
#include <vector>

#include "Shell/tCommandLine.h"
#include "Shell/tMainApp.h"

int main(int argc, char** argv) {
  if (argc == 1) return tMainApp::runWindowed();
  return tCommandLine::run(std::vector<std::string>(argv + 1, argv + argc));
}

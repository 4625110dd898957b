#ifndef ROOTWEAVER_TESTS_EXPR_FUNCTIONTEXT_H
#define ROOTWEAVER_TESTS_EXPR_FUNCTIONTEXT_H

#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "expr/tFunction.h"

// Tokens of a text whose tokens are separated by spaces, for tests that feed
// the parsers directly.
inline std::vector<std::string> splitTokens(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> tokens;
  for (std::string token; in >> token;) tokens.push_back(token);
  return tokens;
}

// What an action printed on the standard output and on the error stream.
struct tPrinted {
  std::string out;
  std::string err;
};

template <typename Action>
tPrinted printedBy(Action action) {
  std::ostringstream out;
  std::ostringstream err;
  std::streambuf* savedOut = std::cout.rdbuf(out.rdbuf());
  std::streambuf* savedErr = std::cerr.rdbuf(err.rdbuf());
  action();
  std::cout.rdbuf(savedOut);
  std::cerr.rdbuf(savedErr);
  return {out.str(), err.str()};
}

// A function read from space-separated tokens, with its reading trace and
// complaints kept off the test output.
inline std::shared_ptr<tFunction> functionFromText(const std::string& text) {
  std::shared_ptr<tFunction> function;
  printedBy([&] {
    function = std::make_shared<tFunction>();
    std::vector<std::string> tokens = splitTokens(text);
    unsigned pos = 0;
    function->processTokens(tokens, pos);
  });
  return function;
}

#endif

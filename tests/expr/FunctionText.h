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

// A function read from space-separated tokens, with its reading trace and
// complaints kept off the test output.
inline std::shared_ptr<tFunction> functionFromText(const std::string& text) {
  std::ostringstream trace;
  std::streambuf* savedOut = std::cout.rdbuf(trace.rdbuf());
  std::streambuf* savedErr = std::cerr.rdbuf(trace.rdbuf());
  auto function = std::make_shared<tFunction>();
  std::vector<std::string> tokens = splitTokens(text);
  unsigned pos = 0;
  function->processTokens(tokens, pos);
  std::cout.rdbuf(savedOut);
  std::cerr.rdbuf(savedErr);
  return function;
}

#endif

#ifndef ROOTWEAVER_TESTS_EXPR_FUNCTIONTEXT_H
#define ROOTWEAVER_TESTS_EXPR_FUNCTIONTEXT_H

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "expr/tExprTree.h"
#include "expr/tFunction.h"

// Tokens of a text whose tokens are separated by spaces.
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
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  action();
  std::string out = testing::internal::GetCapturedStdout();
  return {out, testing::internal::GetCapturedStderr()};
}

// A formula parsed from space-separated tokens.
inline std::unique_ptr<tExprTree> parsedTree(const std::string& formula) {
  std::vector<std::string> tokens = splitTokens(formula);
  unsigned pos = 0;
  auto tree = std::make_unique<tExprTree>();
  tree->buildTree(tokens, pos);
  return tree;
}

inline std::string printedTree(const tExprTree& tree) {
  std::ostringstream out;
  tree.print(out);
  return out.str();
}

// A function read from space-separated tokens, its trace kept off the test output.
inline std::shared_ptr<tFunction> functionFromText(const std::string& text) {
  auto function = std::make_shared<tFunction>();
  std::vector<std::string> tokens = splitTokens(text);
  unsigned pos = 0;
  printedBy([&] { function->processTokens(tokens, pos); });
  return function;
}

// A function file read, its trace kept off the test output.
inline std::shared_ptr<tFunction> functionFromFile(const std::string& name) {
  std::shared_ptr<tFunction> function;
  printedBy([&] { function = std::make_shared<tFunction>(name); });
  return function;
}

#endif

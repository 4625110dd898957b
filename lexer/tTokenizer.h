#ifndef ROOTWEAVER_LEXER_TTOKENIZER_H
#define ROOTWEAVER_LEXER_TTOKENIZER_H

#include <string>
#include <vector>

#include "lexer/tRegularExpression.h"

// Cuts a text into token strings by a list of patterns, taking the longest
// match at each position. Owns its expressions.
class tTokenizer {
 public:
  tTokenizer() = default;
  ~tTokenizer();
  tTokenizer(const tTokenizer&) = delete;
  tTokenizer& operator=(const tTokenizer&) = delete;

  // Appends the pattern; a rejected pattern is kept and never matches.
  void addRegularExpression(const std::string& pattern);
  // Appends the tokens of text to tokens, up to the first place where no
  // pattern matches at least one character, and each token's offset in text
  // to offsets; stoppedAt is the offset where tokenizing ended: text.size()
  // when the whole text was read, else the first character no pattern matches.
  void tokenize(const std::string& text, std::vector<std::string>& tokens,
                std::vector<unsigned int>& offsets, unsigned int& stoppedAt) const;
  // Moves pos over whitespace, when whitespace is skipped.
  void advanceToNonWhitespace(const std::string& text, unsigned int& pos) const;

 private:
  bool skipWhitespace_ = true;                    // whether whitespace separates tokens
  std::vector<tRegularExpression*> expressions_;  // the patterns in the order added, owned
};

#endif

// The tokenizer: longest match over a list of patterns.
//
// At each position every pattern is matched against the rest of the text and
// the longest match becomes the next token; on a tie the pattern added first
// wins, which no caller can see since a token is only its text. A match is a
// full walk of the pattern's automaton from that position, so a pattern whose
// walk runs past a token's end into a non-accepting state does not match
// there at all. Where no pattern matches a character, tokenizing ends quietly,
// telling the caller where each token stood and where it stopped, so that a
// reader can point the user at the place.
#include "lexer/tTokenizer.h"

#include "lexer/tStringUtils.h"

tTokenizer::~tTokenizer() {
  for (tRegularExpression* expression : expressions_) delete expression;
}

void tTokenizer::addRegularExpression(const std::string& pattern) {
  expressions_.push_back(new tRegularExpression(pattern));
}

void tTokenizer::tokenize(const std::string& text, std::vector<std::string>& tokens,
                          std::vector<unsigned int>& offsets, unsigned int& stoppedAt) const {
  unsigned int pos = 0;
  advanceToNonWhitespace(text, pos);
  while (pos < text.size()) {
    int best = -1;
    for (const tRegularExpression* expression : expressions_) {
      int length = expression->match(text, pos);
      if (length > best) best = length;
    }
    // A match of no characters would never move on.
    if (best <= 0) break;
    tokens.push_back(text.substr(pos, best));
    offsets.push_back(pos);
    pos += best;
    advanceToNonWhitespace(text, pos);
  }
  stoppedAt = pos;
}

void tTokenizer::advanceToNonWhitespace(const std::string& text, unsigned int& pos) const {
  while (skipWhitespace_ && pos < text.size() && tStringUtils::isWhitespace(text[pos])) ++pos;
}

#include "lexer/tSpellingHint.h"

#include <algorithm>
#include <vector>

#include "lexer/tStringUtils.h"

std::string tSpellingHint::closest(const std::string& name, const std::set<std::string>& known) {
  const std::string lower = tStringUtils::toLower(name);
  const unsigned allowed = name.size() <= 2 ? 0 : name.size() <= 5 ? 1 : 2;
  std::string best;
  unsigned bestDistance = allowed + 1;
  for (const std::string& candidate : known) {
    if (candidate == name) continue;
    const unsigned d = distance(lower, tStringUtils::toLower(candidate));
    if (d < bestDistance) {
      best = candidate;
      bestDistance = d;
    }
  }
  return best;
}

std::string tSpellingHint::suggestion(const std::string& name,
                                      const std::set<std::string>& known) {
  const std::string hint = closest(name, known);
  return hint.empty() ? "" : " (did you mean '" + hint + "'?)";
}

unsigned tSpellingHint::distance(const std::string& a, const std::string& b) {
  const std::size_t n = a.size(), m = b.size();
  std::vector<std::vector<unsigned>> d(n + 1, std::vector<unsigned>(m + 1));
  for (std::size_t i = 0; i <= n; ++i) d[i][0] = static_cast<unsigned>(i);
  for (std::size_t j = 0; j <= m; ++j) d[0][j] = static_cast<unsigned>(j);
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t j = 1; j <= m; ++j) {
      const unsigned change = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[n][m];
}

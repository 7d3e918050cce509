#include "core/scan/edit_distance.h"

#include <algorithm>
#include <vector>

#include "core/scan/tokenizer.h"

namespace vigil {

int EditDistance(std::string_view a, std::string_view b) {
  size_t n = a.size();
  size_t m = b.size();
  // Three rows suffice for the swap of neighbours.
  std::vector<int> before(m + 1), previous(m + 1), current(m + 1);
  for (size_t j = 0; j <= m; ++j) previous[j] = static_cast<int>(j);
  for (size_t i = 1; i <= n; ++i) {
    current[0] = static_cast<int>(i);
    char x = ToUpper(a[i - 1]);
    for (size_t j = 1; j <= m; ++j) {
      char y = ToUpper(b[j - 1]);
      int best = std::min(previous[j], current[j - 1]) + 1;
      best = std::min(best, previous[j - 1] + (x == y ? 0 : 1));
      if (i > 1 && j > 1 && x == ToUpper(b[j - 2]) && ToUpper(a[i - 2]) == y) {
        best = std::min(best, before[j - 2] + 1);
      }
      current[j] = best;
    }
    before.swap(previous);
    previous.swap(current);
  }
  return previous[m];
}

std::string NearestWord(std::string_view word, std::span<const std::string> candidates) {
  if (word.size() <= 2) return {};  // too short to tell a misspelling from another word
  int limit = word.size() <= 4 ? 1 : word.size() <= 8 ? 2 : 3;
  const std::string* best = nullptr;
  int best_distance = limit + 1;
  for (const std::string& candidate : candidates) {
    size_t longer = std::max(word.size(), candidate.size());
    size_t shorter = std::min(word.size(), candidate.size());
    if (longer - shorter > static_cast<size_t>(limit)) continue;
    int distance = EditDistance(word, candidate);
    if (distance == 0) return {};
    if (distance < best_distance) {
      best = &candidate;
      best_distance = distance;
    }
  }
  return best == nullptr ? std::string() : *best;
}

}  // namespace vigil

#include "record_compare.h"

#include <algorithm>
#include <sstream>

namespace winebench {

std::vector<std::string> RecordLines(const std::string& record) {
  std::vector<std::string> lines;
  std::istringstream in(record);
  std::string line;
  while (std::getline(in, line)) {
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    lines.push_back(line);
  }
  return lines;
}

std::vector<KnownDifference> ParseKnownDifferences(const std::string& text, std::string* error) {
  std::vector<KnownDifference> out;
  std::string reason;
  bool inEntries = false;
  int number = 0;
  for (const auto& line : RecordLines(text)) {
    ++number;
    if (line.empty()) {
      reason.clear();
      inEntries = false;
    } else if (line[0] == '#') {
      if (inEntries) reason.clear();  // a new group without a blank line
      inEntries = false;
      const size_t text = line.find_first_not_of("# ");
      if (text != std::string::npos) reason += (reason.empty() ? "" : " ") + line.substr(text);
    } else {
      const size_t mark = line.find("> ");
      const std::string side = mark == std::string::npos ? "" : line.substr(0, mark);
      if ((side != "wine" && side != "sim") || reason.empty()) {
        *error = "line " + std::to_string(number) + ": " +
                 (reason.empty() ? "an entry needs '#' lines with its reason above it"
                                 : "expected \"wine> <line>\" or \"sim> <line>\"");
        return {};
      }
      inEntries = true;
      out.push_back({side, line.substr(mark + 2), reason});
    }
  }
  return out;
}

namespace {

enum class Op { kSame, kSimOnly, kWineOnly };

// A longest-common-subsequence line diff; records are a few hundred lines.
std::vector<std::pair<Op, std::string>> Diff(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  const size_t n = a.size(), m = b.size();
  std::vector<std::vector<unsigned>> lcs(n + 1, std::vector<unsigned>(m + 1, 0));
  for (size_t i = n; i-- > 0;) {
    for (size_t j = m; j-- > 0;) {
      lcs[i][j] = a[i] == b[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
    }
  }
  std::vector<std::pair<Op, std::string>> out;
  size_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && a[i] == b[j]) {
      out.push_back({Op::kSame, a[i++]});
      ++j;
    } else if (j == m || (i < n && lcs[i + 1][j] >= lcs[i][j + 1])) {
      out.push_back({Op::kSimOnly, a[i++]});
    } else {
      out.push_back({Op::kWineOnly, b[j++]});
    }
  }
  return out;
}

std::string WithoutTrailingBlanks(std::string line) {
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

// Trailing blanks do not count: the program ends some log lines with one,
// and an editor may drop it from the table.
bool Known(const std::vector<KnownDifference>& known, const char* side, const std::string& line) {
  const std::string trimmed = WithoutTrailingBlanks(line);
  return std::any_of(known.begin(), known.end(), [&](const KnownDifference& k) {
    return k.side == side && WithoutTrailingBlanks(k.line) == trimmed;
  });
}

}  // namespace

std::string CompareRecords(const std::string& sim, const std::string& wine, const std::vector<KnownDifference>& known) {
  std::string out;
  std::string section, shownSection;
  std::string previous;  // the last line both records have, for context
  bool previousShown = true;
  for (const auto& [op, line] : Diff(RecordLines(sim), RecordLines(wine))) {
    if (op == Op::kSame) {
      if (line.rfind("== ", 0) == 0) section = line;
      previous = line;
      previousShown = false;
      continue;
    }
    if (Known(known, op == Op::kSimOnly ? "sim" : "wine", line)) continue;
    if (section != shownSection) {
      out += "in " + section + "\n";
      shownSection = section;
    }
    if (!previousShown && previous != section) out += "    " + previous + "\n";
    previousShown = true;
    out += (op == Op::kSimOnly ? "  - " : "  + ") + line + "\n";
  }
  return out;
}

}  // namespace winebench

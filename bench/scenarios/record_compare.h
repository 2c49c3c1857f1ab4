// Comparing the machine records of one scenario: the simulated machine's
// against Wine's, minus the lines in which Wine itself is known to differ
// from Windows (wine_differences.txt).
#pragma once
#include <string>
#include <vector>

namespace winebench {

// One line that only one side's record has, for a reason that is Wine's
// and not ours. `side` is "wine" or "sim".
struct KnownDifference {
  std::string side;
  std::string line;
  std::string reason;
};

// Reads the table: '#' lines give the reason of the entries that follow
// them, "wine> <record line>" and "sim> <record line>" are the entries, a
// blank line ends a group. An entry without a reason is an error.
std::vector<KnownDifference> ParseKnownDifferences(const std::string& text, std::string* error);

// The lines only one record has, after removing each line that a known
// difference of that side names (trailing blanks aside); "" when nothing
// else differs. Otherwise a
// readable listing: the section header above each change, "- " for the
// simulated machine's lines, "+ " for Wine's.
std::string CompareRecords(const std::string& sim, const std::string& wine, const std::vector<KnownDifference>& known);

// The record's lines, CR dropped (a Windows console program's text mode
// ends its lines with CR LF; the record shows real CRs as <CR>).
std::vector<std::string> RecordLines(const std::string& record);

}  // namespace winebench

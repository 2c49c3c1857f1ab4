#include "command_line.h"

namespace winsim::process {

size_t ProgramTokenEnd(std::string_view line) {
  if (!line.empty() && line[0] == '"') {
    size_t close = line.find('"', 1);
    return close == std::string_view::npos ? line.size() : close + 1;
  }
  size_t i = 0;
  while (i < line.size() && !IsBlank(line[i])) ++i;
  return i;
}

std::vector<std::string> SplitArguments(std::string_view s) {
  std::vector<std::string> args;
  size_t i = 0;
  for (;;) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i >= s.size()) break;
    std::string arg;
    int quotes = 0;        // 1 while inside a quoted part
    size_t backslashes = 0;  // run of backslashes just copied to `arg`
    while (i < s.size()) {
      char c = s[i];
      if (IsBlank(c) && quotes == 0) break;
      if (c == '\\') {
        arg += c;
        ++backslashes;
        ++i;
        continue;
      }
      if (c != '"') {
        arg += c;
        backslashes = 0;
        ++i;
        continue;
      }
      if (backslashes % 2 == 0) {
        arg.resize(arg.size() - backslashes / 2);
        ++quotes;
      } else {
        arg.resize(arg.size() - backslashes / 2 - 1);
        arg += '"';
      }
      ++i;
      backslashes = 0;
      // A run of quotes: every third one is a literal quote.
      while (i < s.size() && s[i] == '"') {
        if (++quotes == 3) {
          arg += '"';
          quotes = 0;
        }
        ++i;
      }
      if (quotes == 2) quotes = 0;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::string QuoteArgument(std::string_view arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string_view::npos) return std::string(arg);
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

}  // namespace winsim::process

#include "console_args.h"

#include "windows.h"

namespace console {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t ProgramEnd(std::string_view line, std::string* program) {
  size_t i = 0;
  if (i < line.size() && line[i] == '"') {
    ++i;
    while (i < line.size() && line[i] != '"') program->push_back(line[i++]);
    if (i < line.size()) ++i;  // the closing quote
  }
  while (i < line.size() && !IsBlank(line[i])) program->push_back(line[i++]);
  return i;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args(1);
  size_t i = ProgramEnd(line, &args[0]);
  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      if (line[i] == '\\') {
        size_t count = 0;
        while (i < line.size() && line[i] == '\\') ++count, ++i;
        if (i < line.size() && line[i] == '"') {
          arg.append(count / 2, '\\');
          if (count % 2) {
            arg.push_back('"');
            ++i;
          }
        } else {
          arg.append(count, '\\');
        }
      } else if (line[i] == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          arg.push_back('"');
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg.push_back(line[i++]);
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::vector<std::string> ProgramArguments() {
  LPSTR line = GetCommandLineA();
  std::vector<std::string> args = SplitCommandLine(line ? line : "");
  args.erase(args.begin());
  return args;
}

bool SameOption(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace console

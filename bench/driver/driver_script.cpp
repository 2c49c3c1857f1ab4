#include "driver_script.h"

#include <cstdlib>
#include <utility>

namespace driver {
namespace {

// The dialog result ids of Windows (winuser.h), spelled out so that this
// file builds without the Windows headers.
const std::pair<const char*, int> kButtons[] = {{"IDOK", 1},    {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4},
                                                {"IDIGNORE", 5}, {"IDYES", 6},    {"IDNO", 7}};

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return std::string();
  const size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// A whole decimal number in [0, limit]; -1 otherwise.
long Number(const std::string& text, long limit) {
  if (text.empty() || text.size() > 10) return -1;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
  }
  const long value = std::strtol(text.c_str(), nullptr, 10);
  return value <= limit ? value : -1;
}

enum class Argument { None, ControlId, Button, Path, Milliseconds, Seconds };

struct VerbInfo {
  const char* name;
  Verb verb;
  Argument argument;
};

const VerbInfo kVerbs[] = {
    {"wait", Verb::Wait, Argument::ControlId},      {"click", Verb::Click, Argument::ControlId},
    {"command", Verb::Command, Argument::ControlId}, {"answer", Verb::Answer, Argument::Button},
    {"state", Verb::State, Argument::None},          {"dump", Verb::Dump, Argument::None},
    {"shot", Verb::Shot, Argument::Path},            {"sleep", Verb::Sleep, Argument::Milliseconds},
    {"timeout", Verb::Timeout, Argument::Seconds},   {"gone", Verb::Gone, Argument::None},
};

// Why the argument does not fit the verb; empty when it does.
std::string CheckArgument(const VerbInfo& info, const std::string& argument, Step* step) {
  switch (info.argument) {
    case Argument::None:
      return argument.empty() ? "" : "takes no argument";
    case Argument::ControlId:
      step->number = static_cast<int>(Number(argument, 0xFFFF));
      return step->number >= 0 ? "" : "needs a control id (0..65535)";
    case Argument::Button:
      step->number = ButtonId(argument);
      return step->number >= 0 ? "" : "needs a button: IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE or an id";
    case Argument::Path:
      step->path = argument;
      return argument.empty() ? "needs a file name" : "";
    case Argument::Milliseconds:
      step->number = static_cast<int>(Number(argument, 600000));
      return step->number >= 0 ? "" : "needs milliseconds (0..600000)";
    case Argument::Seconds:
      step->number = static_cast<int>(Number(argument, 3600));
      return step->number > 0 ? "" : "needs seconds (1..3600)";
  }
  return "has an unknown argument";
}

}  // namespace

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

Script ParseScript(const std::vector<std::string>& lines) {
  Script script;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string line = Trim(lines[i]);
    if (line.empty() || line[0] == '#') continue;
    const size_t space = line.find_first_of(" \t");
    const std::string verb = line.substr(0, space);
    const std::string argument = space == std::string::npos ? "" : Trim(line.substr(space));
    const std::string where = "line " + std::to_string(i + 1) + " '" + line + "'";
    const VerbInfo* info = nullptr;
    for (const VerbInfo& v : kVerbs) {
      if (verb == v.name) info = &v;
    }
    if (!info) {
      script.steps.clear();
      script.error = where + ": '" + verb + "' is not a step";
      return script;
    }
    Step step;
    step.verb = info->verb;
    step.line = line;
    const std::string why = CheckArgument(*info, argument, &step);
    if (!why.empty()) {
      script.steps.clear();
      script.error = where + ": " + verb + " " + why;
      return script;
    }
    script.steps.push_back(step);
  }
  return script;
}

int ButtonId(const std::string& name) {
  for (const auto& [n, id] : kButtons) {
    if (name == n) return id;
  }
  return static_cast<int>(Number(name, 0xFFFF));
}

std::string ButtonName(int id) {
  for (const auto& [n, value] : kButtons) {
    if (id == value) return n;
  }
  return std::to_string(id);
}

}  // namespace driver

#include "command_tail.h"

namespace launcher {

LPSTR CommandTail(LPSTR commandLine) {
  LPSTR p = commandLine;
  if (*p == '"') {
    // A quoted name ends at the next quote; blanks inside it belong to it.
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

}  // namespace launcher

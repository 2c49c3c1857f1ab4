// The driver's script: one step a line, read from a file or given as
// command-line arguments, checked as a whole before the first step runs so
// that a typing error does not leave the wizard half clicked through.
//
//   wait <control id>     wait until the control is visible and enabled
//                         (in the wizard's visible page, else in its frame)
//   click <control id>    wait as above, then click it (BM_CLICK)
//   command <control id>  wait as above, then send the parent WM_COMMAND
//                         (BN_CLICKED), for a control a click cannot reach
//   answer <button>       wait for a message box or dialog of the program
//                         that has the button (IDYES, IDNO, IDOK, IDCANCEL,
//                         IDABORT, IDRETRY, IDIGNORE or a number), press it
//   state                 print the wizard's page and enabled buttons
//   dump                  print every control of the program's windows
//   shot <file>           save the program's front window (.png or .bmp)
//   sleep <ms>            pause
//   timeout <seconds>     time limit of the waits that follow
//   gone                  wait until the program shows no window any more
//
// Blank lines and lines starting with '#' are skipped. Parsing is portable
// code: it is tested on Linux.
#pragma once

#include <string>
#include <vector>

namespace driver {

enum class Verb { Wait, Click, Command, Answer, State, Dump, Shot, Sleep, Timeout, Gone };

struct Step {
  Verb verb = Verb::State;
  std::string line;  // as written, trimmed: for messages
  int number = 0;    // control id, button id, milliseconds or seconds
  std::string path;  // shot: the file, UTF-8
};

struct Script {
  std::vector<Step> steps;
  std::string error;  // empty when every line is a step
};

// The lines of a text, without their line ends.
std::vector<std::string> SplitLines(const std::string& text);

// The steps of the given lines; on the first bad line, `error` names it
// (its number, counting from 1, and its text) and `steps` is empty.
Script ParseScript(const std::vector<std::string>& lines);

// The id of a dialog button named as in a script: IDOK .. IDNO, or a
// decimal number; -1 when it is neither.
int ButtonId(const std::string& name);

// The name of a dialog button id (IDYES), or its number.
std::string ButtonName(int id);

}  // namespace driver

// Helpers of the desktop tests: running the event loop for a while, the
// probe program as a child process, and the desktop journal.
#pragma once
#include <QJsonObject>
#include <string>
#include <vector>

#include "desktop_internal.h"

namespace desktop_test {

// Processes window messages for about ms milliseconds.
void PumpFor(int ms);
// Pumps until done() or the time-out; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

struct ProbeRun {
  int exitCode = -1;
  std::string out;
  std::string err;
  double seconds = 0;
};
// Runs the probe program with a mode, a script for the scripted user (none
// when empty) and, when hidden, as CreateProcessA starts an SW_HIDE child.
ProbeRun RunProbe(const std::string& mode, const std::string& script, bool hidden = false);
// The same with a script file that already exists (several runs share it).
ProbeRun RunProbeWithScriptFile(const std::string& mode, const std::string& scriptPath);

// The desktop journal of the test machine, one object per line.
std::vector<QJsonObject> ReadEvents();
void ClearEvents();
std::vector<QJsonObject> EventsNamed(const std::vector<QJsonObject>& all, const char* event);

}  // namespace desktop_test

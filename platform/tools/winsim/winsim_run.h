// `winsim run`: starts a Windows command line in the machine and waits.
#pragma once
#include <string>

// Starts the command line (UTF-8 on the host side) through CreateProcessA
// from the current folder, waits for it and returns its exit code; returns
// 1 with a message on standard error when it cannot be started.
int WinsimRun(const std::string& commandLineUtf8);

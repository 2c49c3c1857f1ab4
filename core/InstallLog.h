// The install log: one time-stamped line per call, appended to
// VelGTCInstall.log in the system folder, with one older generation.
#pragma once

// Appends "<yyyy-mm-dd hh:mm:ss> <message>" to the log. The message is a
// printf-style format with its arguments. Never fails visibly: when the log
// cannot be opened the line is dropped.
void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The log is rotated once its size passes this many bytes.
constexpr long kInstallLogRotateSize = 5000000;

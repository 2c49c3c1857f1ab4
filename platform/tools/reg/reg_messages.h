// What reg.exe prints besides data: its errors, confirmations and usage.
#pragma once
#include <string>

#include "windows.h"

namespace reg {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;

// "ERROR: Invalid syntax." with the pointer to the operation's help
// ("REG QUERY /?", or "REG /?" for an empty operation).
int InvalidSyntax(const std::string& operation, const std::string& detail = "");
int InvalidKeyName(const std::string& operation);
int NotFound();
// "ERROR: " and Windows' text for a registry result.
int Failure(LSTATUS status);
int Success();

void ShowUsage(const std::string& operation);

}  // namespace reg

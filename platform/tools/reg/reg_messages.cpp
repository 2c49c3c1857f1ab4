#include "reg_messages.h"

#include <cstdio>

#include "console_text.h"

namespace reg {
namespace {

void Error(const std::string& text) { console::WriteUtf8(stderr, "ERROR: " + text + "\n"); }

std::string HelpPointer(const std::string& operation) {
  return operation.empty() ? "Type \"REG /?\" for usage.\n" : "Type \"REG " + operation + " /?\" for usage.\n";
}

std::string SystemMessage(LSTATUS status) {
  switch (status) {
    case ERROR_FILE_NOT_FOUND:
      return "The system was unable to find the specified registry key or value.";
    case ERROR_ACCESS_DENIED:
      return "Access is denied.";
    case ERROR_INVALID_PARAMETER:
      return "The parameter is incorrect.";
    case ERROR_BAD_PATHNAME:
      return "The specified path is invalid.";
    case ERROR_KEY_DELETED:
      return "Illegal operation attempted on a registry key that has been marked for deletion.";
    case ERROR_REGISTRY_CORRUPT:
      return "The registry is corrupted. The structure of one of the files containing registry data is "
             "corrupted, or the system's memory image of the file is corrupted, or the file could not be "
             "recovered because the alternate copy or log was absent or corrupted.";
    case ERROR_REGISTRY_IO_FAILED:
      return "An I/O operation initiated by the registry failed unrecoverably. The registry could not read in, "
             "or write out, or flush, one of the files that contain the system's image of the registry.";
    case ERROR_OUTOFMEMORY:
    case ERROR_NOT_ENOUGH_MEMORY:
      return "Not enough memory resources are available to process this command.";
    default: {
      char text[64];
      std::snprintf(text, sizeof text, "The operation failed with error %ld.", static_cast<long>(status));
      return text;
    }
  }
}

}  // namespace

int InvalidSyntax(const std::string& operation, const std::string& detail) {
  Error("Invalid syntax." + (detail.empty() ? std::string() : " " + detail));
  console::WriteUtf8(stderr, HelpPointer(operation));
  return kExitFailure;
}

int InvalidKeyName(const std::string& operation) {
  Error("Invalid key name.");
  console::WriteUtf8(stderr, HelpPointer(operation));
  return kExitFailure;
}

int NotFound() { return Failure(ERROR_FILE_NOT_FOUND); }

int Failure(LSTATUS status) {
  Error(SystemMessage(status));
  return kExitFailure;
}

int Success() {
  console::WriteUtf8(stdout, "The operation completed successfully.\n");
  return kExitSuccess;
}

void ShowUsage(const std::string& operation) {
  const char* text = nullptr;
  if (operation == "QUERY") {
    text =
        "\nREG QUERY KeyName [/v ValueName | /ve] [/s] [/reg:32 | /reg:64]\n\n"
        "  KeyName  [\\\\Machine\\]FullKey\n"
        "           FullKey = ROOTKEY\\SubKey; ROOTKEY = [ HKLM | HKCU | HKCR | HKU ]\n\n"
        "  /v       Queries for a specific registry key value.\n"
        "  /ve      Queries for the default value or empty value name (Default).\n"
        "  /s       Queries all subkeys and values recursively (like dir /s).\n"
        "  /reg:32  Specifies the key should be accessed using the 32-bit registry view.\n"
        "  /reg:64  Specifies the key should be accessed using the 64-bit registry view.\n\n"
        "Examples:\n\n"
        "  REG QUERY HKLM\\Software\\Microsoft\\ResKit /v Version\n"
        "    Displays the value of the registry value Version\n";
  } else if (operation == "ADD") {
    text =
        "\nREG ADD KeyName [/v ValueName | /ve] [/t Type] [/s Separator] [/d Data] [/f] [/reg:32 | /reg:64]\n\n"
        "  KeyName  ROOTKEY\\SubKey; ROOTKEY = [ HKLM | HKCU | HKCR | HKU ]\n\n"
        "  /v       The value name, under the selected Key, to add.\n"
        "  /ve      adds an empty value name (Default) for the key.\n"
        "  /t       RegKey data types\n"
        "           [ REG_SZ    | REG_MULTI_SZ | REG_EXPAND_SZ |\n"
        "             REG_DWORD | REG_QWORD    | REG_BINARY    | REG_NONE ]\n"
        "           If omitted, REG_SZ is assumed.\n"
        "  /s       Specify one character that you use as the separator in your data\n"
        "           string for REG_MULTI_SZ. If omitted, use \"\\0\" as the separator.\n"
        "  /d       The data to assign to the registry ValueName being added.\n"
        "  /f       Force overwriting the existing registry entry without prompt.\n";
  } else if (operation == "DELETE") {
    text =
        "\nREG DELETE KeyName [/v ValueName | /ve | /va] [/f] [/reg:32 | /reg:64]\n\n"
        "  KeyName  ROOTKEY\\SubKey; ROOTKEY = [ HKLM | HKCU | HKCR | HKU ]\n\n"
        "  ValueName  The value name, under the selected Key, to delete.\n"
        "             When omitted, all subkeys and values under the Key are deleted.\n"
        "  /ve        delete the value of empty value name (Default).\n"
        "  /va        delete all values under this key.\n"
        "  /f         Forces the deletion without prompt.\n";
  } else {
    text =
        "\nREG Operation [Parameter List]\n\n"
        "  Operation  [ QUERY | ADD | DELETE ]\n\n"
        "Return Code:\n\n"
        "  0 - Successful\n"
        "  1 - Failed\n\n"
        "For help on a specific operation type:\n\n"
        "  REG Operation /?\n\n"
        "Examples:\n\n"
        "  REG QUERY /?\n"
        "  REG ADD /?\n"
        "  REG DELETE /?\n";
  }
  console::WriteUtf8(stdout, text);
}

}  // namespace reg

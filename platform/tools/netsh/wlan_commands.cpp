#include "wlan_commands.h"

#include <cstdio>
#include <map>

#include "console_args.h"
#include "console_text.h"
#include "netsh_params.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "wlan_profile_store.h"
#include "wlan_profile_xml.h"

namespace netsh {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

void Say(const std::string& utf8) { console::WriteUtf8(stdout, utf8); }

const char kAddUsage[] =
    "Usage: add profile [filename=]<string> [[interface=]<string>] [[user=]all|current]\n\n"
    "Parameters:\n\n"
    "    Tag            Value\n"
    "    filename     - Name of XML file containing the profile data.\n"
    "    interface    - Name of the interface on which the profile will be added.\n"
    "    user         - Specifies whether the profile is applied to all users or the\n"
    "                   current user. Default is \"all\".\n\n";

const char kDeleteUsage[] =
    "Usage: delete profile [name=]<string> [[interface=]<string>]\n\n"
    "Parameters:\n\n"
    "    Tag            Value\n"
    "    name         - Name of the profile to be deleted, or \"*\" for every profile.\n"
    "    interface    - Name of the interface from which the profile is deleted.\n\n";

const char kShowUsage[] =
    "Usage: show profiles [[name=]<string>] [[interface=]<string>]\n\n"
    "Parameters:\n\n"
    "    Tag            Value\n"
    "    name         - Name of the profile to be displayed.\n"
    "    interface    - Name of the interface which has this profile configured.\n\n";

int MissingParameters(const char* usage) {
  Say("One or more essential parameters were not entered.\n"
      "Verify the required parameters, and reenter them.\n\n");
  Say(usage);
  return kFailure;
}

int WrongParameters(const char* usage) {
  Say("One or more parameters for the command are not correct or missing.\n\n");
  Say(usage);
  return kFailure;
}

// The interface parameter must name the machine's one wireless interface.
bool InterfaceKnown(const std::map<std::string, std::string>& params) {
  auto it = params.find("interface");
  return it == params.end() || console::SameOption(winsim::AnsiToUtf8(it->second), kInterfaceName);
}

std::string FileError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return "The system cannot find the file specified.\n";
    case ERROR_PATH_NOT_FOUND:
      return "The system cannot find the path specified.\n";
    case ERROR_ACCESS_DENIED:
      return "Access is denied.\n";
    default: {
      char text[80];
      std::snprintf(text, sizeof text, "The operation failed with error %lu.\n", static_cast<unsigned long>(error));
      return text;
    }
  }
}

}  // namespace

int AddProfile(const std::vector<std::string>& args) {
  std::map<std::string, std::string> params;
  if (ParseParams(args, {"filename", "interface", "user"}, &params) != ParamsResult::Ok) {
    return WrongParameters(kAddUsage);
  }
  if (!params.count("filename") || params["filename"].empty()) return MissingParameters(kAddUsage);
  bool currentUser = false;
  if (params.count("user")) {
    if (console::SameOption(params["user"], "current")) {
      currentUser = true;
    } else if (!console::SameOption(params["user"], "all")) {
      return WrongParameters(kAddUsage);
    }
  }
  if (!InterfaceKnown(params)) {
    Say("There is no such wireless interface on the system.\n");
    return kFailure;
  }
  std::string document;
  if (DWORD error = ReadWholeFile(params["filename"], &document)) {
    Say(FileError(error));
    return kFailure;
  }
  auto info = ReadProfile(document);
  if (!info) {
    Say("Profile format error 0x80420011:\n    The network connection profile is corrupted.\n");
    return kFailure;
  }
  auto existing = FindProfile(info->name);
  if (DWORD error = SaveProfile(document, currentUser, existing)) {
    Say(FileError(error));
    return kFailure;
  }
  Say("Profile " + info->name + (existing ? " is updated" : " is added") + " on interface " + kInterfaceName +
      ".\n");
  return kSuccess;
}

int DeleteProfileCommand(const std::vector<std::string>& args) {
  std::map<std::string, std::string> params;
  if (ParseParams(args, {"name", "interface"}, &params) != ParamsResult::Ok) return WrongParameters(kDeleteUsage);
  if (!params.count("name") || params["name"].empty()) return MissingParameters(kDeleteUsage);
  if (!InterfaceKnown(params)) {
    Say("There is no such wireless interface on the system.\n");
    return kFailure;
  }
  std::string name = winsim::AnsiToUtf8(params["name"]);
  std::vector<StoredProfile> doomed;
  if (name == "*") {
    doomed = ListProfiles();
  } else if (auto found = FindProfile(name)) {
    doomed.push_back(*found);
  }
  if (doomed.empty()) {
    if (params.count("interface")) {
      Say("Profile \"" + name + "\" is not found on interface \"" + kInterfaceName + "\".\n");
    } else {
      Say("Profile \"" + name + "\" is not found on any interface.\n");
    }
    return kFailure;
  }
  for (const auto& profile : doomed) {
    if (DWORD error = DeleteProfile(profile)) {
      Say(FileError(error));
      return kFailure;
    }
    Say("Profile \"" + profile.name + "\" is deleted from interface \"" + kInterfaceName + "\".\n");
  }
  return kSuccess;
}

int ShowProfiles(const std::vector<std::string>& args) {
  std::map<std::string, std::string> params;
  if (ParseParams(args, {"name", "interface"}, &params) != ParamsResult::Ok) return WrongParameters(kShowUsage);
  if (!InterfaceKnown(params)) {
    Say("There is no such wireless interface on the system.\n");
    return kFailure;
  }
  std::vector<StoredProfile> profiles = ListProfiles();
  if (params.count("name")) {
    auto found = FindProfile(winsim::AnsiToUtf8(params["name"]));
    if (!found) {
      Say("Profile \"" + winsim::AnsiToUtf8(params["name"]) + "\" is not found on the system.\n");
      return kFailure;
    }
    profiles = {*found};
  }
  std::string text = "\nProfiles on interface " + std::string(kInterfaceName) +
                     ":\n\n"
                     "Group policy profiles (read only)\n"
                     "---------------------------------\n"
                     "    <None>\n\n"
                     "User profiles\n"
                     "-------------\n";
  for (const auto& profile : profiles) {
    text += profile.currentUser ? "    Current User Profile : " : "    All User Profile     : ";
    text += profile.name + "\n";
  }
  if (profiles.empty()) text += "    <None>\n";
  Say(text + "\n");
  return kSuccess;
}

}  // namespace netsh

// What the running process knows about itself: its command line, start-up
// information, identity, and how it ends.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "command_line.h"
#include "kernel_objects.h"
#include "launch_env.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/exit_record.h"

namespace {

using namespace winsim::process;

std::string ReadProcSelfCmdline() {
  std::string data;
  int fd = open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return data;
  char buf[4096];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) data.append(buf, static_cast<size_t>(n));
  close(fd);
  return data;
}

// The command line of a program started from a host shell: its own Windows
// path, then its arguments converted to the machine's code page and quoted
// as a Windows program would quote them.
std::string CommandLineFromHost() {
  const std::string& image = CurrentImagePathA();
  std::string line = image.find_first_of(" \t") == std::string::npos ? image : "\"" + image + "\"";
  std::string raw = ReadProcSelfCmdline();
  size_t pos = raw.find('\0');  // skip argv[0]
  while (pos != std::string::npos && pos + 1 < raw.size()) {
    size_t end = raw.find('\0', pos + 1);
    if (end == std::string::npos) end = raw.size();
    line += " " + QuoteArgument(winsim::Utf8ToAnsi(std::string_view(raw).substr(pos + 1, end - pos - 1)));
    pos = end;
  }
  return line;
}

}  // namespace

extern "C" LPSTR WINAPI GetCommandLineA(void) {
  // Built once: Windows hands out the same buffer on every call.
  static std::string* line = [] {
    auto own = OwnLaunchVariable(kCommandLineVar);
    return new std::string(own ? *own : CommandLineFromHost());
  }();
  return line->data();
}

extern "C" void WINAPI GetStartupInfoA(LPSTARTUPINFOA info) {
  if (!info) return;
  static std::string* desktop = new std::string("WinSta0\\Default");
  static std::string* title = new std::string(CurrentImagePathA());
  std::memset(info, 0, sizeof *info);
  info->cb = sizeof *info;
  info->lpDesktop = desktop->data();
  info->lpTitle = title->data();
  auto show = OwnLaunchVariable(kShowVar);
  if (show && !show->empty()) {
    info->dwFlags = STARTF_USESHOWWINDOW;
    info->wShowWindow = static_cast<WORD>(std::strtoul(show->c_str(), nullptr, 10));
  }
}

extern "C" HANDLE WINAPI GetCurrentProcess(void) { return CurrentProcessPseudoHandle(); }

extern "C" DWORD WINAPI GetCurrentProcessId(void) { return static_cast<DWORD>(getpid()); }

extern "C" void WINAPI ExitProcess(UINT uExitCode) {
  // Other threads are not unwound, as on Windows; the C runtime's streams
  // are flushed.
  std::fflush(nullptr);
  winsim::RecordOwnExitCode(uExitCode);
  _exit(static_cast<int>(uExitCode));
}

// winsim_testchild.exe: a program of the machine for the process tests.
// When TESTCHILD_REPORT names a host file it appends what it sees there as
// key=value lines (command line, module, current directory, start-up info,
// arguments); then it does what its first argument asks:
//   exit N | exitprocess N | sleep MS | signal N | print TEXT
//   create NAME      -> exit code = last error of CreateFileMappingA (0 / 183)
//   open NAME        -> exit 0 when OpenFileMappingA finds it, else its error
//   hold NAME GATE MS-> wait for the host file GATE, then take the mapping:
//                       exit 2 when someone holds it, else fill it with 0xAB,
//                       report "owner=<pid>" and keep it for MS milliseconds
//   spawn CMDLINE    -> start CMDLINE, wait, exit with its exit code
//   terminateself N  -> TerminateProcess(GetCurrentProcess(), N)
//   fds              -> report "fds=" and the descriptors it holds open
//                       beyond standard input, output and error
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "windows.h"

namespace {

void AppendReport(const std::string& text) {
  const char* path = std::getenv("TESTCHILD_REPORT");
  if (!path || !*path) return;
  int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  ssize_t ignored = write(fd, text.data(), text.size());  // one write: lines of processes do not mix
  (void)ignored;
  close(fd);
}

void ReportWhatISee(int argc, char** argv) {
  std::string r;
  r += "cmdline=" + std::string(GetCommandLineA()) + "\n";
  char buf[1024];
  GetModuleFileNameA(nullptr, buf, sizeof buf);
  r += "module=" + std::string(buf) + "\n";
  GetCurrentDirectoryA(sizeof buf, buf);
  r += "cwd=" + std::string(buf) + "\n";
  STARTUPINFOA si;
  GetStartupInfoA(&si);
  r += "flags=" + std::to_string(si.dwFlags) + "\n";
  r += "show=" + std::to_string(si.wShowWindow) + "\n";
  r += "argc=" + std::to_string(argc) + "\n";
  for (int i = 1; i < argc; ++i) r += "arg" + std::to_string(i) + "=" + argv[i] + "\n";
  AppendReport(r);
}

// Descriptors above 2, blank-separated, without the one that lists them.
std::string OpenDescriptors() {
  std::string list;
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return "?";
  const int own = dirfd(dir);
  while (dirent* e = readdir(dir)) {
    const int fd = std::atoi(e->d_name);
    if (e->d_name[0] == '.' || fd <= 2 || fd == own) continue;
    char target[512] = {};
    const std::string link = std::string("/proc/self/fd/") + e->d_name;
    const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    list += (list.empty() ? "" : " ") + std::string(e->d_name) + "->" + std::string(target, n > 0 ? n : 0);
  }
  closedir(dir);
  return list;
}

int Hold(const char* name, const char* gate, DWORD milliseconds) {
  for (int i = 0; i < 30000 && access(gate, F_OK) != 0; ++i) usleep(1000);
  HANDLE h = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
  if (h) return 2;
  h = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8, name);
  if (!h) return 3;
  if (GetLastError() == ERROR_ALREADY_EXISTS) return 2;
  void* view = MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  if (view) std::memset(view, 0xAB, 8);
  AppendReport("owner=" + std::to_string(GetCurrentProcessId()) + "\n");
  Sleep(milliseconds);
  return 0;
}

int Spawn(const char* commandLine) {
  std::string line = commandLine;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return 100 + static_cast<int>(GetLastError());
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
  std::string verb = argc > 1 ? argv[1] : "";
  const char* a2 = argc > 2 ? argv[2] : "";
  if (verb != "hold" && verb != "spawn") ReportWhatISee(argc, argv);
  // Codes are read as unsigned 32-bit numbers, as Windows keeps them.
  if (verb == "exit") return static_cast<int>(std::strtoul(a2, nullptr, 0));
  if (verb == "exitprocess") ExitProcess(static_cast<UINT>(std::strtoul(a2, nullptr, 0)));
  if (verb == "terminateself") TerminateProcess(GetCurrentProcess(), static_cast<UINT>(std::strtoul(a2, nullptr, 0)));
  if (verb == "fds") {
    AppendReport("fds=" + OpenDescriptors() + "\n");
    return 0;
  }
  if (verb == "sleep") {
    Sleep(static_cast<DWORD>(std::atoi(a2)));
    return 0;
  }
  if (verb == "signal") {
    struct rlimit none {};
    setrlimit(RLIMIT_CORE, &none);  // no core files from the test
    int sig = std::atoi(a2);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigaction(sig, &dfl, nullptr);  // a sanitizer's handler must not catch it
    raise(sig);
    return 0;
  }
  if (verb == "print") {
    std::printf("%s\n", a2);
    std::fprintf(stderr, "%s\n", a2);
    return 0;
  }
  if (verb == "create") {
    HANDLE h = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8, a2);
    return h ? static_cast<int>(GetLastError()) : 100;
  }
  if (verb == "open") return OpenFileMappingA(FILE_MAP_READ, FALSE, a2) ? 0 : static_cast<int>(GetLastError());
  if (verb == "hold" && argc > 4) return Hold(a2, argv[3], static_cast<DWORD>(std::atoi(argv[4])));
  if (verb == "spawn") return Spawn(a2);
  return 0;
}

#include "exit_record.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "waitable.h"
#include "winsim/exit_record.h"
#include "winsim/machine.h"

namespace winsim::process {
namespace {

std::string RecordPath(pid_t pid) { return ExitRecordDir() + "/" + std::to_string(pid); }

std::optional<DWORD> ReadRecord(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  char text[32] = {};
  const ssize_t n = read(fd, text, sizeof text - 1);
  close(fd);
  if (n <= 0) return std::nullopt;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  if (end == text || *end != '\n' || value > 0xFFFFFFFFul) return std::nullopt;
  return static_cast<DWORD>(value);
}

}  // namespace

std::string ExitRecordDir() { return RunDir() + "/.exit"; }

bool WriteExitRecord(pid_t pid, DWORD code) {
  const std::string dir = ExitRecordDir();
  mkdir(RunDir().c_str(), 0755);
  mkdir(dir.c_str(), 0755);
  const std::string path = RecordPath(pid);
  const std::string partial = path + ".partial";
  const int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const std::string text = std::to_string(code) + "\n";
  bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ok = close(fd) == 0 && ok;
  // renameat: the C runtime's rename takes Windows paths.
  ok = ok && renameat(AT_FDCWD, partial.c_str(), AT_FDCWD, path.c_str()) == 0;
  if (!ok) unlink(partial.c_str());
  return ok;
}

DWORD TakeExitCode(pid_t pid, int status) {
  const std::string path = RecordPath(pid);
  const std::optional<DWORD> record = ReadRecord(path);
  if (record) unlink(path.c_str());
  const DWORD host = ExitCodeFromStatus(status);
  if (!record) return host;
  if (WIFEXITED(status) && (*record & 0xFFu) == static_cast<DWORD>(WEXITSTATUS(status))) return *record;
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return *record;
  return host;
}

}  // namespace winsim::process

namespace winsim {

void RecordOwnExitCode(unsigned code) {
  // The host keeps the low 8 bits: only a larger code needs its record.
  if (code > 0xFFu) process::WriteExitRecord(getpid(), static_cast<DWORD>(code));
}

}  // namespace winsim

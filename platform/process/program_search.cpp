#include "program_search.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "command_line.h"
#include "launch_env.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/paths.h"

namespace winsim::process {
namespace {

// CreateProcess keeps the command line in a UNICODE_STRING.
constexpr size_t kMaxCommandLine = 32766;

struct FoundFile {
  std::string host;
  std::u16string full;
};

bool HasFolder(std::u16string_view name) {
  return name.find_first_of(u"\\/") != std::u16string_view::npos || (name.size() >= 2 && name[1] == u':');
}

// Windows appends ".exe" only when the file name part has no '.' at all;
// a name ending in '.' counts as having an (empty) extension.
bool NeedsExtension(std::u16string_view name) {
  size_t slash = name.find_last_of(u"\\/");
  std::u16string_view file = slash == std::u16string_view::npos ? name : name.substr(slash + 1);
  return file.find(u'.') == std::u16string_view::npos;
}

std::optional<FoundFile> ExistingFile(const std::u16string& path) {
  ResolvedPath r = ResolvePath(path);
  if (r.error || !r.exists || r.isDirectory) return std::nullopt;
  return FoundFile{r.host, r.full};
}

std::u16string Join(const std::u16string& folder, std::u16string_view name) {
  if (folder.empty()) return std::u16string(name);
  if (folder.back() == u'\\' || folder.back() == u'/') return folder + std::u16string(name);
  return folder + u"\\" + std::u16string(name);
}

std::vector<std::u16string> SearchFolders() {
  std::vector<std::u16string> folders;
  std::string own = WindowsFolderOf(CurrentImagePathA());
  if (!own.empty()) folders.push_back(AnsiToUtf16(own));
  folders.push_back(CurrentDirectory());
  folders.push_back(SystemDirectory());
  folders.push_back(WindowsDirectory());
  char path[4096];
  DWORD n = GetEnvironmentVariableA("PATH", path, sizeof path);
  if (n > 0 && n < sizeof path) {
    std::u16string list = AnsiToUtf16(std::string_view(path, n));
    size_t start = 0;
    while (start <= list.size()) {
      size_t end = list.find(u';', start);
      if (end == std::u16string::npos) end = list.size();
      if (end > start) folders.push_back(list.substr(start, end - start));
      start = end + 1;
    }
  }
  return folders;
}

// Where a program name leads: the ".exe" form everywhere first, then the
// name as given.
std::optional<FoundFile> FindProgramFile(std::string_view nameA) {
  if (nameA.empty()) return std::nullopt;
  std::u16string name = AnsiToUtf16(nameA);
  std::vector<std::u16string> forms;
  if (NeedsExtension(name)) forms.push_back(name + u".exe");
  forms.push_back(name);
  if (HasFolder(name)) {
    for (const auto& form : forms) {
      if (auto found = ExistingFile(form)) return found;
    }
    return std::nullopt;
  }
  std::vector<std::u16string> folders = SearchFolders();
  for (const auto& form : forms) {
    for (const auto& folder : folders) {
      if (auto found = ExistingFile(Join(folder, form))) return found;
    }
  }
  return std::nullopt;
}

// A program is a host executable: an ELF file or a "#!" script.
DWORD CheckProgramFormat(const std::string& host) {
  int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
  unsigned char magic[4] = {};
  ssize_t n = read(fd, magic, sizeof magic);
  close(fd);
  bool elf = n == 4 && std::memcmp(magic, "\x7f" "ELF", 4) == 0;
  bool script = n >= 2 && magic[0] == '#' && magic[1] == '!';
  if (!elf && !script) return ERROR_BAD_EXE_FORMAT;
  if (access(host.c_str(), X_OK) != 0) return ERROR_ACCESS_DENIED;
  return 0;
}

ProgramChoice Fail(DWORD error) {
  ProgramChoice c;
  c.error = error;
  return c;
}

ProgramChoice Chosen(const FoundFile& file, std::string childCommandLine) {
  ProgramChoice c;
  c.error = CheckProgramFormat(file.host);
  c.hostImage = file.host;
  c.windowsImage = Utf16ToAnsi(HostToWindows(file.host));
  c.childCommandLine = std::move(childCommandLine);
  return c;
}

}  // namespace

ProgramChoice ChooseProgram(const char* applicationName, const char* commandLine) {
  if (!applicationName && !commandLine) return Fail(ERROR_INVALID_PARAMETER);
  std::string line = commandLine ? commandLine : "";
  if (AnsiToUtf16(line).size() > kMaxCommandLine) return Fail(ERROR_FILENAME_EXCED_RANGE);

  if (applicationName) {
    if (line.empty()) line = "\"" + std::string(applicationName) + "\"";
    auto file = ExistingFile(AnsiToUtf16(applicationName));
    if (!file) return Fail(ERROR_FILE_NOT_FOUND);
    return Chosen(*file, line);
  }

  if (line.empty() || IsBlank(line[0])) return Fail(ERROR_FILE_NOT_FOUND);
  if (line[0] == '"') {
    size_t end = ProgramTokenEnd(line);
    size_t nameEnd = end > 1 && line[end - 1] == '"' ? end - 1 : end;
    auto file = FindProgramFile(std::string_view(line).substr(1, nameEnd - 1));
    if (!file) return Fail(ERROR_FILE_NOT_FOUND);
    return Chosen(*file, line);
  }
  // Unquoted: every prefix that ends before a blank is a candidate.
  size_t end = 0;
  for (;;) {
    while (end < line.size() && !IsBlank(line[end])) ++end;
    std::string candidate = line.substr(0, end);
    if (auto file = FindProgramFile(candidate)) {
      bool blank = candidate.find_first_of(" \t") != std::string::npos;
      return Chosen(*file, blank ? "\"" + candidate + "\"" + line.substr(end) : line);
    }
    if (end >= line.size()) return Fail(ERROR_FILE_NOT_FOUND);
    ++end;
  }
}

}  // namespace winsim::process

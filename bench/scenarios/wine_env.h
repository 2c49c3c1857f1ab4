// Running the Windows build under Wine from a Linux test program.
//
// Contract, for every test that uses it:
//  - Call MissingForWine() first, before the test starts threads of its
//    own (it reads the environment once: PATH, TMPDIR, WINE_BENCH_KEEP); a
//    non-empty answer names what is missing (wine, the ko_KR.UTF-8 locale,
//    Xvfb, build-windows/source, the wine user) and the test skips with it:
//    GTEST_SKIP() << missing.
//  - Each case makes one WineCase: a work folder of its own in the temporary
//    folder holding a fresh prefix (a copy of a template prefix that
//    `wineboot --init` made once and that later runs reuse while the wine
//    version stays the same), a home folder, and whatever the case copies in.
//    Its destructor ends the prefix's Wine session and removes the folder
//    (set WINE_BENCH_KEEP=1 to keep it and see its path on stderr).
//  - Every Wine process runs with LANG/LC_ALL=ko_KR.UTF-8 (ANSI code page
//    949), WINEDEBUG=-all, DISPLAY of an Xvfb server this test program
//    starts once, and as the wine user: when the test runs as root, an
//    unprivileged user made for the purpose ("winebench", created with
//    useradd when missing), because Wine maps the read-only attribute to
//    Unix permissions and root ignores those; otherwise the current user.
//    Everything in the work folder belongs to that user: files a test puts
//    there itself must be handed over with Adopt().
//  - A command line is a Windows command line; it is split as the C runtime
//    splits one and handed to wine, which joins it again (quoting the
//    arguments with blanks), so a plain "program" /switch line arrives
//    unchanged. The program is a Windows path or a name wine finds from
//    the current folder.
//  - Run() waits for the program, then (unless untilSessionEnds is false)
//    for the prefix's other processes and its server (`wineserver -w`, about
//    2 s more), at most `timeoutMs` in all; on time-out it ends the session
//    (`wineserver -k`) and reports timedOut. Start() returns at once; Wait()
//    on the handle is the second half of Run().
// Not thread-safe per WineCase; distinct WineCase objects may be used from
// distinct threads. No call changes the test program's own environment.
// Copy programs in (CopyIn) before another thread starts processes: a child
// started while a program file is open for writing inherits it, and the
// file cannot be run (ETXTBSY) while that child lives.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace winebench {

// "" when Wine runs can go ahead; otherwise what is missing and how to get it.
std::string MissingForWine();

// Folders of the Windows build (compile definitions of the bench).
std::string WindowsSourceDir();  // build-windows/source
std::string WindowsBinDir();     // build-windows/x64/bin

// The Windows path under which Wine shows a host path ("Z:\tmp\...").
std::string WindowsPathOfHost(const std::string& hostPath);

// Splits a Windows command line into its arguments as the C runtime does.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

struct WineRun {
  int exitCode = -1;      // the program's exit code as wine returns it; -1 when it did not start or end
  bool timedOut = false;  // the time-out ended the session
  std::string output;     // what the program wrote to its standard output
  std::string errors;     // its standard error (Wine's own messages)
};

class WineCase;

// A program started under Wine and not waited for yet.
class WineProcess {
 public:
  WineProcess() = default;
  WineProcess(WineProcess&& other) noexcept;
  WineProcess& operator=(WineProcess&& other) noexcept;
  ~WineProcess();  // waits as Wait(10000) would when not waited for

  // Waits for the program and then the prefix's other processes; see Run().
  WineRun Wait(int timeoutMs, bool untilSessionEnds = true);
  bool Started() const { return pid_ > 0; }

 private:
  friend class WineCase;
  const WineCase* owner_ = nullptr;
  pid_t pid_ = -1;
  std::string outputFile, errorFile;
};

class WineCase {
 public:
  // Makes the work folder and the fresh prefix (throws std::runtime_error
  // when the template cannot be made or copied).
  WineCase();
  ~WineCase();
  WineCase(const WineCase&) = delete;
  WineCase& operator=(const WineCase&) = delete;

  const std::string& WorkDir() const { return work_; }  // host folder owned by the wine user
  const std::string& Prefix() const { return prefix_; }  // WINEPREFIX

  // Copies a host file or folder into the work folder under `name` and
  // hands it to the wine user; returns its host path.
  std::string CopyIn(const std::string& hostFrom, const std::string& name);
  // Hands a host path (recursively) to the wine user.
  void Adopt(const std::string& hostPath) const;

  // The host path behind a Windows path of the prefix: "C:\..." below
  // drive_c (existing components matched without regard to case, new ones
  // as written), "Z:\..." on the host's root.
  std::string HostPath(const std::string& windowsPath) const;

  // Runs a Windows command line from a host folder; see the contract above.
  WineRun Run(const std::string& commandLine, const std::string& currentDirHost, int timeoutMs = 120000,
              bool untilSessionEnds = true) const;
  WineProcess Start(const std::string& commandLine, const std::string& currentDirHost) const;

  // Ends the prefix's session at once (`wineserver -k`).
  void EndSession() const;

 private:
  friend class WineProcess;
  std::vector<std::string> Environment() const;
  std::string work_, prefix_, home_;
};

}  // namespace winebench

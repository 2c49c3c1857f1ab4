#include "desktop_test_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "machine_fixture.h"
#include "winsim/machine.h"

namespace desktop_test {

void PumpFor(int ms) {
  winsim::desktop::EnsureUi();
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  winsim::desktop::EnsureUi();
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

namespace {

ProbeRun Run(const std::string& mode, const std::string& scriptPath, bool hidden) {
  std::string dir = winsim::testing::TempHostDir();
  std::string outPath = dir + "/out.txt", errPath = dir + "/err.txt";
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    if (!scriptPath.empty()) setenv("WINSIM_USER", scriptPath.c_str(), 1);
    else unsetenv("WINSIM_USER");
    if (hidden) {
      setenv("WINSIM_SHOW", "0", 1);
      setenv("WINSIM_PID", std::to_string(getpid()).c_str(), 1);
    }
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    execl(DESKTOP_PROBE, "desktop_probe", mode.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ProbeRun run;
  int status = 0;
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(90)) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = winsim::testing::ReadHostFile(outPath);
  run.err = winsim::testing::ReadHostFile(errPath);
  return run;
}

}  // namespace

ProbeRun RunProbe(const std::string& mode, const std::string& script, bool hidden) {
  std::string scriptPath;
  if (!script.empty()) {
    scriptPath = winsim::testing::TempHostDir() + "/user.txt";
    winsim::testing::WriteHostFile(scriptPath, script);
  }
  return Run(mode, scriptPath, hidden);
}

ProbeRun RunProbeWithScriptFile(const std::string& mode, const std::string& scriptPath) {
  return Run(mode, scriptPath, false);
}

std::vector<QJsonObject> ReadEvents() {
  std::string text = winsim::testing::ReadHostFile(winsim::DesktopDir() + "/events.log");
  std::vector<QJsonObject> events;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text.substr(start, end - start)));
    if (doc.isObject()) events.push_back(doc.object());
    start = end + 1;
  }
  return events;
}

void ClearEvents() {
  std::string dir = winsim::DesktopDir();
  unlink((dir + "/events.log").c_str());
  unlink((dir + "/user.state").c_str());
}

std::vector<QJsonObject> EventsNamed(const std::vector<QJsonObject>& all, const char* event) {
  std::vector<QJsonObject> named;
  for (const QJsonObject& e : all)
    if (e.value("event").toString() == event) named.push_back(e);
  return named;
}

}  // namespace desktop_test

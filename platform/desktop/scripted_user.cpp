// The scripted user: when WINSIM_USER names a file, its steps are performed
// in order by whichever process of the machine they fit. The position in
// the script is shared by every process through desktop/user.state, under
// an exclusive lock on desktop/user.lock.
//
// Besides the steps every script may use (answer, click, key, shot,
// sleep), "wait <control id>" waits until that control is visible and
// enabled, without touching it, so that a shot can follow a page that
// comes by itself.
//
// A process takes part while it shows a window. Its agent (on the
// user-interface thread) performs the current step when it fits one of the
// process's windows: as soon as a window or page is shown or a control
// enabled here (once the change is complete: the look waits for the
// event loop), and otherwise every 50 ms, for what changes without telling
// it (a step just performed, another process's steps, a sleep that ends). A watchdog thread ends the process
// with exit code 99 when:
//  - the current step could not be performed for 60 s while the process
//    showed a window (counted from when the process first saw that step,
//    or from the end of a preceding sleep);
//  - a message box is open and the script is exhausted (at once);
//  - a modal dialog is open, the script is exhausted and nothing has
//    happened for 10 s: no window shown, closed or changed (other than by
//    a timer handler), no message from another thread.
// A process started hidden (WINSIM_SHOW=0) never takes steps; for it every
// modal dialog is "after the script", so the 10-s rule applies.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "controls.h"
#include "desktop_internal.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"

namespace winsim::desktop {
namespace {

using Clock = std::chrono::steady_clock;

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}
long long WallMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::atomic<long long> g_lastActivity{NowMs()};
std::atomic<int> g_modals{0};
std::atomic<int> g_boxes{0};
bool g_started = false;

struct Step {
  std::string line;  // as written, for messages and the journal
  std::string verb;
  std::string argument;
};

struct Script {
  std::string path;
  std::string stamp;  // identity of the file's contents
  std::vector<Step> steps;
};
// Never destroyed: the watchdog thread reads it until the process is gone.
Script& g_script = *new Script;

struct SharedState {
  long long position = 0;
  long long notBefore = 0;  // wall-clock ms: a sleep step runs until then
};

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// Host files are read and written with the system calls: the C runtime's
// file functions of a program of the machine take Windows paths.
std::string ReadWholeFile(const std::string& path) {
  std::string data;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return data;
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) data.append(buffer, static_cast<size_t>(n));
  close(fd);
  return data;
}

Script LoadScript(const std::string& path) {
  Script script;
  script.path = path;
  struct stat st {};
  if (stat(path.c_str(), &st) == 0)
    script.stamp = std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
                   std::to_string(st.st_mtim.tv_nsec);
  std::istringstream in(ReadWholeFile(path));
  std::string line;
  while (std::getline(in, line)) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == '#') continue;
    Step step;
    step.line = t;
    size_t space = t.find_first_of(" \t");
    step.verb = t.substr(0, space);
    step.argument = space == std::string::npos ? std::string() : Trim(t.substr(space));
    script.steps.push_back(step);
  }
  return script;
}

// Holds the machine-wide lock of the scripted user.
class StateLock {
 public:
  StateLock() {
    std::string dir = winsim::DesktopDir();
    mkdir(dir.c_str(), 0777);
    m_fd = open((dir + "/user.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd >= 0) flock(m_fd, LOCK_EX);
  }
  ~StateLock() {
    if (m_fd >= 0) {
      flock(m_fd, LOCK_UN);
      close(m_fd);
    }
  }
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;

 private:
  int m_fd = -1;
};

std::string StatePath() { return winsim::DesktopDir() + "/user.state"; }

// Reads the shared state (lock held). A state written for another script,
// or another version of it, starts over at the first step.
SharedState ReadState() {
  SharedState state;
  std::istringstream in(ReadWholeFile(StatePath()));
  std::string line, script, stamp;
  long long position = 0, notBefore = 0;
  while (std::getline(in, line)) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "script") script = value;
    else if (key == "stamp") stamp = value;
    else if (key == "position") position = std::atoll(value.c_str());
    else if (key == "notbefore") notBefore = std::atoll(value.c_str());
  }
  if (script == g_script.path && stamp == g_script.stamp) {
    state.position = position;
    state.notBefore = notBefore;
  }
  return state;
}

void WriteState(const SharedState& state) {
  std::string tmp = StatePath() + ".tmp";
  std::string text = "script=" + g_script.path + "\nstamp=" + g_script.stamp +
                     "\nposition=" + std::to_string(state.position) +
                     "\nnotbefore=" + std::to_string(state.notBefore) + "\n";
  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return;
  bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  if (ok) renameat(AT_FDCWD, tmp.c_str(), AT_FDCWD, StatePath().c_str());
}

// The process's top-level windows that are visible, newest first.
WindowPtr ActiveWindow() { return FindWindowRecord(GetActiveWindow()); }

WindowPtr CurrentPage(HWND top) {
  WindowPtr best;
  for (const WindowPtr& w : AllWindows()) {
    if (w->kind == Kind::Dialog && w->parent && TopLevelOf(w->hwnd) == top && ReallyVisible(w->hwnd) &&
        (!best || w->showSeq > best->showSeq))
      best = w;
  }
  return best;
}

int ParseResult(const std::string& name) {
  static const std::pair<const char*, int> names[] = {{"IDOK", IDOK},       {"IDCANCEL", IDCANCEL},
                                                      {"IDYES", IDYES},     {"IDNO", IDNO},
                                                      {"IDABORT", IDABORT}, {"IDRETRY", IDRETRY},
                                                      {"IDIGNORE", IDIGNORE}};
  for (const auto& [n, v] : names)
    if (name == n) return v;
  return 0;
}

bool AnswerStep(const Step& step) {
  int result = ParseResult(step.argument);
  WindowPtr box;
  for (const WindowPtr& w : AllWindows()) {
    if (w->kind == Kind::MessageBox && !w->ended && (w->style & WS_VISIBLE) && (!box || w->showSeq < box->showSeq))
      box = w;
  }
  if (!box || std::find(box->buttons.begin(), box->buttons.end(), result) == box->buttons.end()) return false;
  return AnswerMessageBox(*box, result);
}

// The control a click or wait step names, when it exists in the active
// window or its current page, is visible and is enabled.
HWND ReadyControl(const Step& step, bool buttonsOnly) {
  char* end = nullptr;
  long id = std::strtol(step.argument.c_str(), &end, 0);
  if (step.argument.empty() || *end) return nullptr;
  WindowPtr active = ActiveWindow();
  if (!active) return nullptr;
  HWND control = nullptr;
  if (WindowPtr page = CurrentPage(active->hwnd)) control = FindChild(page->hwnd, static_cast<int>(id));
  if (!control) control = FindChild(active->hwnd, static_cast<int>(id));
  WindowPtr c = FindWindowRecord(control);
  if (!c || (buttonsOnly && c->kind != Kind::Button) || !ReallyVisible(control) || !ReallyEnabled(control))
    return nullptr;
  return control;
}

bool ClickStep(const Step& step) {
  HWND control = ReadyControl(step, true);
  return control && PostMessageA(control, BM_CLICK, 0, 0) != FALSE;
}

bool KeyStep(const Step& step) {
  int key = step.argument == "Enter" ? VK_RETURN : step.argument == "Escape" ? VK_ESCAPE : 0;
  WindowPtr active = ActiveWindow();
  if (!key || !active) return false;
  if (active->kind == Kind::MessageBox) {
    int result;
    if (key == VK_RETURN) {
      result = LOWORD(MessageBoxProc(*active, DM_GETDEFID, 0, 0));
    } else {
      bool hasCancel = std::find(active->buttons.begin(), active->buttons.end(), IDCANCEL) != active->buttons.end();
      bool onlyOk = active->buttons.size() == 1 && active->buttons[0] == IDOK;
      if (!hasCancel && !onlyOk) return false;
      result = hasCancel ? IDCANCEL : IDOK;
    }
    return AnswerMessageBox(*active, result);
  }
  HWND hwnd = active->hwnd;
  PostToUi([hwnd, key] {
    if (FindWindowRecord(hwnd)) DialogKey(hwnd, key);
  });
  return true;
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::Dialog: return "dialog";
    case Kind::Button: return "button";
    case Kind::Static: return "static";
    case Kind::Edit: return "edit";
    case Kind::Progress: return "progress";
    case Kind::MessageBox: return "messagebox";
  }
  return "?";
}

// One line per control of a window and of its child dialogs (pages, shown
// or not), in creation order: what a reader of a screenshot cannot tell
// for certain from its pixels, with where the control lies in the picture
// (rect=x,y,width,height in the shot's pixels).
void DescribeControls(const Window& parent, const QWidget* shot, const std::string& indent, std::string* out) {
  for (HWND child : parent.children) {
    WindowPtr c = FindWindowRecord(child);
    if (!c || c->destroyed) continue;
    std::string line = indent + KindName(c->kind) + " id=" + std::to_string(c->id) +
                       " visible=" + (ReallyVisible(child) ? "1" : "0") +
                       " enabled=" + (ReallyEnabled(child) ? "1" : "0");
    if (c->kind == Kind::Progress) {
      line += " range=" + std::to_string(c->rangeMin) + ".." + std::to_string(c->rangeMax) +
              " pos=" + std::to_string(c->pos);
    }
    if (c->kind == Kind::Button && (c->style & 0x0F) >= BS_CHECKBOX) line += " check=" + std::to_string(c->check);
    if (c->kind == Kind::Dialog) line += " template=" + std::to_string(c->templateId);
    if (c->widget && shot) {
      const QPoint at = c->widget->mapTo(shot, QPoint(0, 0));
      line += " rect=" + std::to_string(at.x()) + "," + std::to_string(at.y()) + "," +
              std::to_string(c->widget->width()) + "," + std::to_string(c->widget->height());
    }
    // The text last, on the same line: line ends in it are written as \n.
    std::string text;
    for (char ch : winsim::AnsiToUtf8(c->text)) {
      if (ch == '\n') text += "\\n";
      else if (ch != '\r') text += ch;
    }
    *out += line + " text=" + text + "\n";
    if (c->kind == Kind::Dialog) DescribeControls(*c, shot, indent + "  ", out);
  }
}

// A PNG of the active window; its "Controls" text chunk describes the
// window's controls.
bool ShotStep(const Step& step) {
  WindowPtr active = ActiveWindow();
  if (!active || !active->widget || step.argument.empty()) return false;
  QImage image = active->widget->grab().toImage();
  std::string controls;
  DescribeControls(*active, active->widget, "", &controls);
  image.setText("Controls", QString::fromStdString(controls));
  if (!image.save(QString::fromStdString(step.argument), "PNG")) {
    GiveUp("step '" + step.line + "': cannot write the picture");
  }
  return true;
}

bool Perform(const Step& step, SharedState& state) {
  if (step.verb == "answer") return AnswerStep(step);
  if (step.verb == "click") return ClickStep(step);
  if (step.verb == "key") return KeyStep(step);
  if (step.verb == "shot") return ShotStep(step);
  if (step.verb == "wait") return ReadyControl(step, false) != nullptr;
  if (step.verb == "sleep") {
    state.notBefore = WallMs() + std::atoll(step.argument.c_str());
    return true;
  }
  GiveUp("step '" + step.line + "' is not a step of the scripted user");
}

bool ShowsWindow() {
  for (const WindowPtr& w : AllWindows())
    if (IsTopLevel(*w) && (w->style & WS_VISIBLE)) return true;
  return false;
}

bool g_inTick = false;
std::atomic<bool> g_nudged{false};

void Tick();

// Queues one extra turn of the agent; turns asked for while one waits are
// the same turn.
void QueueTurn() {
  if (!g_started || g_nudged.exchange(true)) return;
  PostToUi([] {
    g_nudged = false;
    Tick();
  });
}

void Tick() {
  if (g_inTick || ProcessHidden() || !ShowsWindow()) return;
  g_inTick = true;
  {
    StateLock lock;
    SharedState state = ReadState();
    if (state.position < static_cast<long long>(g_script.steps.size()) && WallMs() >= state.notBefore) {
      const Step& step = g_script.steps[static_cast<size_t>(state.position)];
      if (Perform(step, state)) {
        ++state.position;
        WriteState(state);
        JournalEntry e;
        e.event = "step";
        e.hasText = true;
        e.text = step.line;
        e.extra = ",\"position\":" + std::to_string(state.position);
        WriteJournal(e);
        NoteActivity();
      }
    }
  }
  g_inTick = false;
}

void Watchdog() {
  long long lastPosition = -1;
  long long since = NowMs();
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    SharedState state;
    {
      StateLock lock;
      state = ReadState();
    }
    long long now = NowMs();
    bool exhausted = ProcessHidden() || state.position >= static_cast<long long>(g_script.steps.size());
    int modals = g_modals.load(), boxes = g_boxes.load();
    if (boxes > 0 && exhausted && !ProcessHidden())
      GiveUp("a message box waits for the user, but the script of the scripted user is exhausted");
    if (modals > 0 && exhausted && now - g_lastActivity.load() > 10000)
      GiveUp("a dialog waits for the user, but the script of the scripted user is exhausted "
             "(nothing happened for 10 s)");
    if (exhausted || modals + boxes == 0) {
      since = now;
      lastPosition = -1;
      continue;
    }
    if (state.position != lastPosition) {
      lastPosition = state.position;
      since = now;
    }
    long long sleepEnd = state.notBefore - WallMs();
    if (sleepEnd > 0) since = std::max(since, now + sleepEnd);
    if (now - since > 60000) {
      const Step& step = g_script.steps[static_cast<size_t>(state.position)];
      GiveUp("step " + std::to_string(state.position + 1) + " '" + step.line +
             "' of the scripted user could not be performed within 60 s");
    }
  }
}

}  // namespace

void NoteActivity() { g_lastActivity.store(NowMs()); }
void NoteWindowReady() { QueueTurn(); }
void NoteModalBegin() {
  ++g_modals;
  NoteActivity();
}
void NoteModalEnd() {
  --g_modals;
  NoteActivity();
}
void NoteMessageBoxOpen() {
  ++g_boxes;
  NoteActivity();
}
void NoteMessageBoxClosed() {
  --g_boxes;
  NoteActivity();
}

void GiveUp(const std::string& why) {
  std::fprintf(stderr, "winsim desktop: %s\n", why.c_str());
  std::fflush(stderr);
  JournalEntry e;
  e.event = "error";
  e.hasText = true;
  e.text = why;
  WriteJournal(e);
  _exit(99);
}

void StartScriptedUser() {
  const char* path = std::getenv("WINSIM_USER");
  if (!path || !*path || g_started) return;
  g_started = true;
  g_script = LoadScript(path);
  auto* timer = new QTimer();  // lives as long as the process
  timer->setInterval(50);
  QObject::connect(timer, &QTimer::timeout, [] { Tick(); });
  timer->start();
  std::thread(Watchdog).detach();
}

}  // namespace winsim::desktop

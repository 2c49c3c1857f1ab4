// The desktop journal: desktop/events.log, one JSON object per line in
// UTF-8, appended by every process of the machine.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QScreen>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "desktop_internal.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"

namespace winsim::desktop {
namespace {

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

// Appends the whole line or nothing: a write cut short (a full disk) is
// taken back, so the journal never holds half a record.
int AppendWhole(int fd, const std::string& line) {
  const off_t start = lseek(fd, 0, SEEK_END);
  const char* p = line.data();
  size_t left = line.size();
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : ENOSPC;
      if (start >= 0 && left < line.size() && ftruncate(fd, start) != 0) {
        // Nothing more to take back with.
      }
      return error;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return 0;
}

// A record that cannot be written is not lost in silence: it goes to
// standard error, once, with the reason; the program goes on, as a
// Windows program goes on when its window system keeps no record.
void ReportLost(const std::string& path, int error, const std::string& line) {
  std::string text = "winsim: " + path + ": record not written (" + std::strerror(error) + "): " + line;
  if (text.back() != '\n') text += '\n';
  const char* p = text.data();
  size_t left = text.size();
  while (left > 0) {
    ssize_t n = write(STDERR_FILENO, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    p += n;
    left -= static_cast<size_t>(n);
  }
}

void AppendLine(const std::string& line) {
  std::string dir = winsim::DesktopDir();
  mkdir(dir.c_str(), 0777);
  std::string path = dir + "/events.log";
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) {
    ReportLost(path, errno, line);
    return;
  }
  flock(fd, LOCK_EX);
  const int error = AppendWhole(fd, line);
  flock(fd, LOCK_UN);
  close(fd);
  if (error) ReportLost(path, error, line);
}

// The texts of a dialog's visible static controls, one per line.
std::string VisibleTexts(const Window& dialog) {
  std::string all;
  for (HWND child : dialog.children) {
    WindowPtr c = FindWindowRecord(child);
    if (!c || c->kind != Kind::Static || !(c->style & WS_VISIBLE) || c->text.empty()) continue;
    if (!all.empty()) all += "\n";
    all += c->text;
  }
  return all;
}

}  // namespace

std::string ResultName(INT_PTR result) {
  switch (result) {
    case IDOK: return "IDOK";
    case IDCANCEL: return "IDCANCEL";
    case IDABORT: return "IDABORT";
    case IDRETRY: return "IDRETRY";
    case IDIGNORE: return "IDIGNORE";
    case IDYES: return "IDYES";
    case IDNO: return "IDNO";
    default: return std::to_string(result);
  }
}

void WriteJournal(const JournalEntry& e) {
  std::string line = "{\"time\":" + JsonString(winsim::NowIso8601()) + ",\"pid\":" + std::to_string(getpid()) +
                     ",\"event\":" + JsonString(e.event);
  if (e.templateId) line += ",\"template\":" + std::to_string(e.templateId);
  if (e.hasCaption) line += ",\"caption\":" + JsonString(winsim::AnsiToUtf8(e.caption));
  if (e.hasText) line += ",\"text\":" + JsonString(winsim::AnsiToUtf8(e.text));
  if (e.hasStyle) line += ",\"style\":" + std::to_string(e.style);
  if (!e.result.empty()) {
    bool number = e.result.find_first_not_of("-0123456789") == std::string::npos;
    line += ",\"result\":" + (number ? e.result : JsonString(e.result));
  }
  line += e.extra + "}\n";
  AppendLine(line);
}

void JournalShow(Window& w) {
  if (w.shownLogged || !IsTopLevel(w) || ProcessHidden()) return;
  w.shownLogged = true;
  JournalEntry e;
  e.event = "show";
  e.templateId = w.templateId;
  e.hasCaption = true;
  e.caption = w.text;
  e.hasText = true;
  e.hasStyle = true;
  if (w.kind == Kind::MessageBox) {
    e.style = w.mbStyle;
    e.text = w.mbText;
  } else {
    e.text = VisibleTexts(w);
    e.style = w.style;
  }
  RECT r{};
  GetWindowRect(w.hwnd, &r);
  e.extra = ",\"x\":" + std::to_string(r.left) + ",\"y\":" + std::to_string(r.top) +
            ",\"width\":" + std::to_string(r.right - r.left) + ",\"height\":" + std::to_string(r.bottom - r.top) +
            ",\"topmost\":" + ((w.exStyle & WS_EX_TOPMOST) ? "true" : "false") +
            ",\"screen_width\":" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) +
            ",\"screen_height\":" + std::to_string(GetSystemMetrics(SM_CYSCREEN)) +
            ",\"dpi\":" + std::to_string(ScreenDpi());
  WriteJournal(e);
  // A page that became current while its window was still hidden.
  for (const WindowPtr& page : AllWindows()) {
    if (page->pagePending && page->kind == Kind::Dialog && TopLevelOf(page->hwnd) == w.hwnd &&
        (page->style & WS_VISIBLE)) {
      page->pagePending = false;
      JournalPage(*page);
    }
  }
}

void JournalClose(Window& w, INT_PTR result) {
  if (!w.shownLogged) return;
  w.shownLogged = false;
  JournalEntry e;
  e.event = "close";
  e.templateId = w.templateId;
  e.hasCaption = true;
  e.caption = w.text;
  e.result = ResultName(result);
  WriteJournal(e);
}

void JournalPage(Window& page) {
  WindowPtr top = FindWindowRecord(TopLevelOf(page.hwnd));
  if (!top || ProcessHidden()) return;
  if (!top->shownLogged) {
    page.pagePending = true;
    return;
  }
  JournalEntry e;
  e.event = "page";
  e.templateId = page.templateId;
  e.hasCaption = true;
  e.caption = top->text;
  WriteJournal(e);
}

}  // namespace winsim::desktop

#include "step_runner.h"

#include <windows.h>

#include "image_file.h"
#include "text.h"
#include "window_shot.h"
#include "wizard_probe.h"

namespace driver {
namespace {

// How long a click waits for the program to take it in.
constexpr UINT kClickMs = 3000;

// Sends the message without waiting for its handler, then waits until the
// handler has returned or has entered a modal loop (a click that opens a
// message box): the WM_NULL behind it is handled only then, by the
// program's message loop or by the modal one. The next step then sees what
// the click did.
bool Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!SendNotifyMessageW(hwnd, message, wParam, lParam)) return false;
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kClickMs, &result);
  return true;
}

// A message box's text control (the same id on Windows and Wine).
constexpr int kMessageTextId = 0xFFFF;

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(FromUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

}  // namespace

StepRunner::StepRunner(const ProgramWindows& program, int timeoutSeconds, FILE* out, FILE* err)
    : m_program(program), m_timeoutMs(timeoutSeconds * 1000), m_out(out), m_err(err) {}

int StepRunner::Run(const std::vector<Step>& steps) {
  for (size_t i = 0; i < steps.size(); ++i) {
    const std::string failure = Perform(steps[i]);
    if (failure.empty()) continue;
    std::fprintf(m_err, "wizard_driver: step %zu '%s' failed: %s\n", i + 1, steps[i].line.c_str(), failure.c_str());
    std::string windows;
    for (HWND hwnd : m_program.All()) windows += DescribeWindow(hwnd);
    std::fprintf(m_err, "wizard_driver: the windows of %s:\n%s", m_program.Description().c_str(),
                 windows.empty() ? "(none)\n" : windows.c_str());
    std::fflush(m_err);
    return 1;
  }
  return 0;
}

void StepRunner::Print(const std::string& line) {
  std::fprintf(m_out, "%s\n", line.c_str());
  std::fflush(m_out);
}

bool StepRunner::Poll(const std::function<bool()>& ready) const {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(m_timeoutMs);
  for (;;) {
    if (ready()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(100);
  }
}

std::string StepRunner::Showing() const {
  std::string out;
  if (HWND wizard = m_program.Wizard()) out = "the wizard shows " + FormatState(ReadState(wizard));
  else out = "no wizard is shown";
  for (HWND box : m_program.Boxes()) out += "; a dialog \"" + WindowText(box) + "\" is open";
  return out;
}

std::string StepRunner::Perform(const Step& step) {
  switch (step.verb) {
    case Verb::Wait: {
      HWND control = nullptr;
      return WaitForControl(step.number, &control);
    }
    case Verb::Click: return Click(step.number, false);
    case Verb::Command: return Click(step.number, true);
    case Verb::Answer: return Answer(step.number);
    case Verb::State: return State();
    case Verb::Dump: {
      for (HWND hwnd : m_program.All()) Print(DescribeWindow(hwnd));
      return std::string();
    }
    case Verb::Shot: return Shot(step.path);
    case Verb::Sleep: Sleep(static_cast<DWORD>(step.number)); return std::string();
    case Verb::Timeout: m_timeoutMs = step.number * 1000; return std::string();
    case Verb::Gone: return Gone();
  }
  return "not a step";
}

std::string StepRunner::WaitForControl(int id, HWND* control) {
  if (Poll([&] {
        HWND wizard = m_program.Wizard();
        *control = wizard ? ReadyControl(wizard, id) : nullptr;
        return *control != nullptr;
      }))
    return std::string();
  return "waited " + std::to_string(m_timeoutMs / 1000) + " s for control " + std::to_string(id) +
         " to be visible and enabled in the wizard of " + m_program.Description() + "; " + Showing();
}

std::string StepRunner::Click(int id, bool asCommand) {
  HWND control = nullptr;
  std::string failure = WaitForControl(id, &control);
  if (!failure.empty()) return failure;
  const bool sent = asCommand ? Deliver(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                        reinterpret_cast<LPARAM>(control))
                               : Deliver(control, BM_CLICK, 0, 0);
  if (!sent) return "the control " + std::to_string(id) + " did not take the message (error " +
                    std::to_string(GetLastError()) + ")";
  return std::string();
}

std::string StepRunner::Answer(int button) {
  HWND box = nullptr, control = nullptr;
  if (!Poll([&] {
        for (HWND b : m_program.Boxes()) {
          HWND c = ReadyControl(b, button);
          if (c) {
            box = b;
            control = c;
            return true;
          }
        }
        return false;
      }))
    return "waited " + std::to_string(m_timeoutMs / 1000) + " s for a dialog of " + m_program.Description() +
           " with the button " + ButtonName(button) + "; " + Showing();
  HWND text = GetDlgItem(box, kMessageTextId);
  Print("answer " + ButtonName(button) + " caption=" + WindowText(box) + " text=" + (text ? WindowText(text) : ""));
  Deliver(control, BM_CLICK, 0, 0);
  if (!Poll([box] { return !IsWindow(box) || !IsWindowVisible(box); }))
    return "the dialog \"" + WindowText(box) + "\" stayed open after " + ButtonName(button) + " was pressed";
  return std::string();
}

std::string StepRunner::State() {
  HWND wizard = nullptr;
  if (!Poll([&] { return (wizard = m_program.Wizard()) != nullptr; }))
    return "waited " + std::to_string(m_timeoutMs / 1000) + " s for the wizard of " + m_program.Description();
  // A state read while the wizard switches pages may mix the old page and
  // the new buttons: report it once two reads 250 ms apart agree.
  std::string last = FormatState(ReadState(wizard));
  for (int i = 0; i < 20; ++i) {
    Sleep(250);
    const std::string now = FormatState(ReadState(wizard));
    if (now == last) break;
    last = now;
  }
  Print(last);
  return std::string();
}

std::string StepRunner::Shot(const std::string& path) {
  const ImageFormat format = FormatForPath(path);
  if (format == ImageFormat::Unknown) return "the file name ends neither in .png nor in .bmp";
  HWND front = nullptr;
  if (!Poll([&] {
        const std::vector<HWND> boxes = m_program.Boxes();
        front = boxes.empty() ? m_program.Wizard() : boxes.front();
        return front != nullptr;
      }))
    return "waited " + std::to_string(m_timeoutMs / 1000) + " s for a window of " + m_program.Description();
  Image image;
  std::string method;
  if (!CaptureWindow(front, &image, &method)) return "no picture of the window \"" + WindowText(front) + "\"";
  const std::string bytes = format == ImageFormat::Png ? EncodePng(image) : EncodeBmp(image);
  if (!WriteFileBytes(path, bytes)) return "cannot write " + path + " (error " + std::to_string(GetLastError()) + ")";
  Print("shot " + path + " " + std::to_string(image.width) + "x" + std::to_string(image.height) + " by " + method);
  return std::string();
}

std::string StepRunner::Gone() {
  if (Poll([&] { return m_program.All().empty(); })) return std::string();
  return "waited " + std::to_string(m_timeoutMs / 1000) + " s for " + m_program.Description() +
         " to close its windows; " + Showing();
}

}  // namespace driver

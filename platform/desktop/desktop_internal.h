// Internal interface of the desktop library: the user-interface thread, the
// window table, message dispatch, GDI objects and the desktop journal.
// Only the desktop's own sources (and its tests) include this header.
#pragma once
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "commctrl.h"
#include "windows.h"
#include "wingdi.h"

class QEventLoop;
class QPainter;


namespace winsim::desktop {

// MulDiv: a * b / c rounded half away from zero, as Windows computes
// dialog units and font heights.
int MulDivInt(int a, int b, int c);

// --- The user-interface thread (ui_thread.cpp) -------------------------------

// Creates the application object of the toolkit on first use, on the
// calling thread, which becomes the user-interface thread of the process.
void EnsureUi();
bool OnUiThread();
// Runs fn on the user-interface thread and waits for it (directly when
// called there).
void RunOnUi(const std::function<void()>& fn);
template <class R, class F>
R CallOnUi(F fn) {
  R result{};
  RunOnUi([&] { result = fn(); });
  return result;
}
// Queues fn for the user-interface thread, behind everything queued before.
void PostToUi(std::function<void()> fn);
// The process was started hidden (WINSIM_SHOW=0): no window is ever shown.
bool ProcessHidden();

// --- Windows (window_table.cpp) ------------------------------------------------

enum class Kind { Dialog, Button, Static, Edit, Progress, MessageBox };

struct Window {
  HWND hwnd = nullptr;
  Kind kind = Kind::Dialog;
  int id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;  // the parent of a child window
  HWND owner = nullptr;   // the owner of a top-level window
  std::vector<HWND> children;  // creation order = dialog (tab and z) order
  QPointer<QWidget> widget;
  WNDPROC proc = nullptr;             // the window procedure (GWLP_WNDPROC)
  LONG_PTR userData = 0;              // GWLP_USERDATA
  std::string text;                   // ANSI code page bytes
  HFONT font = nullptr;
  HFONT ownFont = nullptr;            // template font, deleted with the window
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  std::map<UINT_PTR, std::unique_ptr<QTimer>> timers;
  bool destroyed = false;

  // Dialogs.
  DLGPROC dlgProc = nullptr;   // DWLP_DLGPROC
  LRESULT msgResult = 0;       // DWLP_MSGRESULT
  LONG_PTR dlgUser = 0;        // DWLP_USER
  int templateId = 0;
  int baseX = 0, baseY = 0;  // dialog base units in pixels
  int defId = 0;
  bool initDone = false;
  bool modal = false;
  bool ended = false;
  INT_PTR result = 0;
  QEventLoop* loop = nullptr;
  std::function<void()> onEnd;  // wakes a caller on another thread

  // Journal state of a top-level window.
  bool shownLogged = false;
  bool pagePending = false;
  unsigned long long showSeq = 0;  // order in which windows were shown

  // Buttons.
  int check = BST_UNCHECKED;
  // Progress bars.
  int rangeMin = 0, rangeMax = 100, pos = 0, step = 10;
  // Message boxes.
  UINT mbStyle = 0;
  std::string mbText;  // the message (the caption is `text`)
  std::vector<int> buttons;
};
using WindowPtr = std::shared_ptr<Window>;

WindowPtr FindWindowRecord(HWND hwnd);
// Adds a record and gives it a new handle.
HWND RegisterWindow(const WindowPtr& window);
void UnregisterWindow(HWND hwnd);
// Every window of the process, top-level ones in creation order.
std::vector<WindowPtr> AllWindows();
HWND TopLevelOf(HWND hwnd);
bool IsTopLevel(const Window& w);
// Visible: the window and all its parents are shown.
bool ReallyVisible(HWND hwnd);
// Enabled: the window and all its parents are enabled.
bool ReallyEnabled(HWND hwnd);
HWND FindChild(HWND parent, int id);
unsigned long long NextShowSeq();

// --- Dispatch (dispatch.cpp) ------------------------------------------------------

// Delivers a message on the user-interface thread to the window's
// framework object (if any) or straight to its class procedure.
LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The default procedure of the window's kind (button, static, dialog, ...).
LRESULT CallClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// What every window kind does (the generic DefWindowProc).
LRESULT CallGenericProc(Window& w, UINT msg, WPARAM wParam, LPARAM lParam);
// TRUE while a WM_TIMER is being handled on this thread.
bool InTimerDispatch();

// --- Window operations used by several parts (window_ops.cpp) ---------------------

void ApplyText(Window& w);
void SetVisible(Window& w, bool visible);
void DestroyWindowTree(HWND hwnd);
QString ToQString(const std::string& ansi);
std::string FromQString(const QString& text);

// --- Widget fonts (widget_fonts.cpp) ------------------------------------------------------

// Gives the window's widget the toolkit font of its HFONT. Until the
// process paints for the first time the font is only noted (fitting a
// substitute face loads the font database, which nothing before the first
// paint needs); every noted font reaches its widget, in the order noted,
// just before the first paint event is delivered.
void ApplyFont(Window& w);
// Gives every noted font to its widget now (a no-op once fonts are applied
// at once).
void ApplyNotedFonts();

// --- Dialogs (dialog_create.cpp, dialog_units.cpp) -------------------------------

struct BaseUnits {
  int x;
  int y;
};
// Dialog base units of a font (face in the ANSI code page, size in points)
// at a screen density, as Windows derives them from the font's average
// character width and cell height.
BaseUnits DialogBaseUnits(const std::string& face, int pointSize, int dpi);
int DialogUnitsToPixelsX(int units, const BaseUnits& base);
int DialogUnitsToPixelsY(int units, const BaseUnits& base);

// Creates a dialog window from a template, gives it its dialog procedure,
// sends WM_INITDIALOG (lParam = initParam) and shows it when its template
// says so. Runs on the user-interface thread.
struct DialogTemplate;
HWND CreateDialogFromTemplate(const DialogTemplate& t, int templateId, HWND parent, DLGPROC proc, LPARAM initParam);
// The dialog template of a module's RT_DIALOG resource; false (with the last
// error set) when there is none or it does not parse.
bool LoadDialogTemplate(HINSTANCE module, LPCSTR name, DialogTemplate* out, int* templateId);
// The class procedures of the window kinds, as window procedures.
LRESULT CALLBACK ClassWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Runs a dialog modally (on the user-interface thread) until EndDialog.
// The owner is disabled by the caller before the dialog is created.
INT_PTR RunModal(HWND hwnd);
// The same for a caller on another thread: the user-interface thread makes
// and shows the dialog, the caller waits until it ends. Returns its result.
INT_PTR RunModalFromWorker(const std::function<HWND()>& create);
void EndDialogWindow(Window& w, INT_PTR result);

// --- Message boxes (message_box.cpp) ------------------------------------------------

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);
// Closes an open message box with a result (the scripted user's answer).
bool AnswerMessageBox(Window& box, int result);
LRESULT MessageBoxProc(Window& w, UINT msg, WPARAM wParam, LPARAM lParam);

// --- Fonts and GDI objects (fonts.cpp, gdi.cpp) -----------------------------------------

struct FontMetricsRow {
  const char16_t* face;
  double ascent;    // per em
  double descent;   // per em
  double letters;   // width of "A..Za..z" per em
};
const FontMetricsRow& FaceMetrics(const std::u16string& face);
QFont MakeQFont(HFONT font);
QFont MakeQFont(const LOGFONTA& font);
bool GetLogFont(HFONT font, LOGFONTA* out);
HFONT CreateFontForDialog(const std::string& face, int pointSize, int dpi);

struct DeviceContext {
  QPainter* painter = nullptr;
  HWND hwnd = nullptr;
  int bkMode = OPAQUE;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  HGDIOBJ font = nullptr;
  HGDIOBJ brush = nullptr;
  bool memory = false;
};
HDC NewDeviceContext(QPainter* painter, HWND hwnd);
DeviceContext* LookupDC(HDC hdc);
void FreeDeviceContext(HDC hdc);
// A brush's colour; false for the hollow brush or an unknown handle.
bool BrushColor(HBRUSH brush, COLORREF* color);
HBRUSH SystemFaceBrush();    // COLOR_3DFACE
HBRUSH SystemWindowBrush();  // COLOR_WINDOW
QColor ToQColor(COLORREF color);
// The painter of a window while it is being painted (for BeginPaint and GDI+).
QPainter* ActivePainter(HWND hwnd);
void SetActivePainter(HWND hwnd, QPainter* painter);
int ScreenDpi();

// --- Journal (journal.cpp) ------------------------------------------------------------

struct JournalEntry {
  std::string event;
  int templateId = 0;  // 0: none
  bool hasCaption = false;
  std::string caption;  // ANSI
  bool hasText = false;
  std::string text;  // ANSI
  bool hasStyle = false;
  unsigned long style = 0;
  std::string result;  // "IDOK", ... or a number; empty: none
  std::string extra;   // further members, already JSON (",\"x\":1")
};
void WriteJournal(const JournalEntry& entry);
// Ends this program a moment after an accepted restart request.
void RegisterSessionEnd();
std::string ResultName(INT_PTR result);
// Journals the show of a top-level window (once) and any pending page.
void JournalShow(Window& w);
void JournalClose(Window& w, INT_PTR result);
void JournalPage(Window& page);
void NoteActivity();

// --- The scripted user (scripted_user.cpp) ------------------------------------------------

// Starts the scripted user of this process when WINSIM_USER is set.
void StartScriptedUser();
// Window bookkeeping the scripted user and its watchdog read.
void NoteModalBegin();
void NoteModalEnd();
void NoteMessageBoxOpen();
void NoteMessageBoxClosed();
// A window or page was shown or a control enabled: the scripted user looks
// at once whether its current step fits now.
void NoteWindowReady();
// Ends the process with exit code 99, saying why on stderr and in the journal.
[[noreturn]] void GiveUp(const std::string& why);

}  // namespace winsim::desktop

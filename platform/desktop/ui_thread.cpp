// The user-interface thread: the toolkit's application object, calls run
// on that thread for other threads, and the start-up environment (display
// or off-screen, density).
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTemporaryFile>
#include <QThread>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <unistd.h>

#include "desktop_internal.h"
#include "host_font_config.h"
#include "winsim/machine.h"

namespace winsim::desktop {
namespace {

std::once_flag g_once;

// Starts the font system just before the first paint of the process, when
// nothing needed fonts before it (host_font_config.h).
class FirstPaintFonts : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      EnsureHostFontConfig();
      qApp->removeEventFilter(this);
    }
    return false;
  }
};

std::atomic<QApplication*> g_app{nullptr};

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

// Without a display the windows live on an off-screen desktop of
// 1920 x 1080 pixels at the machine's density.
void PrepareOffscreen() {
  int dpi = winsim::Config().dpi;
  QString path = QDir::tempPath() + QString("/winsim-screen-%1.json").arg(QCoreApplication::applicationPid());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    QByteArray json = QString(
                          "{\"synchronousWindowSystemEvents\": false, \"windowFrameMargins\": false,"
                          " \"screens\": [{\"name\": \"winsim\", \"x\": 0, \"y\": 0, \"width\": 1920,"
                          " \"height\": 1080, \"logicalDpi\": %1, \"logicalBaseDpi\": %1, \"dpr\": 1}]}")
                          .arg(dpi)
                          .toUtf8();
    file.write(json);
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).toUtf8());
  } else {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
}

void CreateApplication() {
  // One window pixel is one device pixel: the layer sizes everything from
  // the machine's density itself.
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  qunsetenv("QT_SCALE_FACTOR");
  qunsetenv("QT_SCREEN_SCALE_FACTORS");
  qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
  if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
    // The toolkit wants a private runtime folder; a program of the machine
    // started from a bare environment has none.
    QString runtime = QDir::tempPath() + QString("/winsim-runtime-%1").arg(getuid());
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
  }
  bool offscreen = !HasDisplay();
  QByteArray previousPlatform = qgetenv("QT_QPA_PLATFORM");
  bool hadPlatform = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
  if (offscreen) PrepareOffscreen();
  static int argc = 1;
  static char arg0[] = "winsim-desktop";
  static char* argv[] = {arg0, nullptr};
  auto* app = new QApplication(argc, argv);  // lives until the process ends
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setStyle("Fusion");
  if (offscreen) {
    // The screen description is read once; child processes make their own.
    QFile::remove(qEnvironmentVariable("QT_QPA_PLATFORM").section('=', 1));
    if (hadPlatform) qputenv("QT_QPA_PLATFORM", previousPlatform);
    else qunsetenv("QT_QPA_PLATFORM");
  }
  app->installEventFilter(new FirstPaintFonts);  // lives until the process ends
  g_app.store(app);
  RegisterSessionEnd();
  StartScriptedUser();
}

}  // namespace

void EnsureUi() {
  std::call_once(g_once, CreateApplication);
}

bool OnUiThread() {
  QApplication* app = g_app.load();
  return app && QThread::currentThread() == app->thread();
}

// WINSIM_SHOW is the show command CreateProcessA was given; it counts only
// when it was set for this very process (WINSIM_PID is our pid).
bool ProcessHidden() {
  static const bool hidden = [] {
    const char* show = std::getenv("WINSIM_SHOW");
    const char* pid = std::getenv("WINSIM_PID");
    return show && pid && std::string(show) == "0" && std::atol(pid) == static_cast<long>(getpid());
  }();
  return hidden;
}

void RunOnUi(const std::function<void()>& fn) {
  EnsureUi();
  if (OnUiThread()) {
    fn();
    return;
  }
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  QMetaObject::invokeMethod(
      g_app.load(),
      [&] {
        fn();
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
        done.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock<std::mutex> lock(mutex);
  done.wait(lock, [&] { return finished; });
}

void PostToUi(std::function<void()> fn) {
  EnsureUi();
  QMetaObject::invokeMethod(g_app.load(), std::move(fn), Qt::QueuedConnection);
}

}  // namespace winsim::desktop

// The floor of a program's start to its first window: a bare Qt Widgets
// window, shown as the layer shows one (Fusion style, off-screen when there
// is no display). Prints the wall-clock time at which the window was shown,
// in microseconds since the epoch, and ends.
#include <sys/time.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle("Fusion");
  QWidget window;
  window.resize(497, 387);
  window.setWindowTitle("floor");
  window.show();
  struct timeval tv {};
  gettimeofday(&tv, nullptr);
  std::printf("%lld\n", static_cast<long long>(tv.tv_sec) * 1000000 + tv.tv_usec);
  return 0;
}

// A reference for the silent uninstall, not a floor of the table: the part
// of the run that only the toolkit does. A Qt Widgets program that reads the
// host font configuration with the layer's own host_font_config.cpp, lays
// out and shows one box with the uninstall question in the fonts the
// layer's message box uses (off-screen, Fusion), and ends before its first
// paint. No file, key or program of the uninstall is touched.
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "host_font_config.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle("Fusion");
  // The font configuration read by the layer's own code, as before its
  // first text.
  winsim::desktop::EnsureHostFontConfig();

  QWidget box;
  QFont font;
  font.setFamilies({"DejaVu Sans", "NanumGothic"});
  font.setPixelSize(12);
  box.setFont(font);
  const QString question = QString::fromUtf8(
      "Veltrane RAZ 를 삭제하게 되면 사내 네트워크 사용이 제한 됩니다. 삭제하시겠습니까?");
  const QRect text = QFontMetrics(font).boundingRect(QRect(0, 0, 420, 10000), Qt::TextWordWrap, question);
  auto* layout = new QVBoxLayout(&box);
  auto* label = new QLabel(question);
  label->setWordWrap(true);
  label->setMinimumWidth(text.width());
  layout->addWidget(label);
  layout->addWidget(new QPushButton(QString::fromUtf8("예(&Y)")));
  layout->addWidget(new QPushButton(QString::fromUtf8("아니요(&N)")));
  box.setWindowTitle("Veltrane RAZ ");
  box.show();
  return text.width() > 0 ? 0 : 1;
}

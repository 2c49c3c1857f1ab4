// Toolkit widgets behind the desktop's window kinds. Each widget knows its
// window handle and asks the window procedures for colours and painting,
// as Windows controls do.
#pragma once
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "desktop_internal.h"

namespace winsim::desktop {

// Colours a control gets from its parent through WM_CTLCOLOR*.
struct ControlColors {
  bool fill = false;  // false: hollow brush, nothing is painted behind
  QColor brush;
  QColor text;
  bool opaqueText = true;
  QColor textBackground;
};
ControlColors QueryControlColors(HWND control, UINT message, QPainter* painter);

// Presses a button as a mouse click does: automatic check boxes and radio
// buttons change state, then the parent gets BN_CLICKED.
void PerformButtonClick(HWND button);

class DialogWidget : public QWidget {
 public:
  DialogWidget(HWND hwnd, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  HWND m_hwnd;
};

class StaticWidget : public QWidget {
 public:
  StaticWidget(HWND hwnd, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  HWND m_hwnd;
};

class PushButtonWidget : public QPushButton {
 public:
  PushButtonWidget(HWND hwnd, QWidget* parent);

 private:
  HWND m_hwnd;
};

class CheckBoxWidget : public QCheckBox {
 public:
  CheckBoxWidget(HWND hwnd, QWidget* parent);

 protected:
  void nextCheckState() override {}  // the window procedure decides
  void paintEvent(QPaintEvent* event) override;

 private:
  HWND m_hwnd;
};

class RadioButtonWidget : public QRadioButton {
 public:
  RadioButtonWidget(HWND hwnd, QWidget* parent);

 protected:
  void nextCheckState() override {}
  void paintEvent(QPaintEvent* event) override;

 private:
  HWND m_hwnd;
};

class EditWidget : public QPlainTextEdit {
 public:
  EditWidget(HWND hwnd, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  HWND m_hwnd;
};

class ProgressWidget : public QProgressBar {
 public:
  ProgressWidget(HWND hwnd, QWidget* parent);

 private:
  HWND m_hwnd;
};

// Makes the widget for a control window (its record is complete).
QWidget* CreateControlWidget(Window& w, QWidget* parent);
// Handles Enter and Escape in a dialog as the dialog manager does.
void DialogKey(HWND dialog, int virtualKey);

}  // namespace winsim::desktop

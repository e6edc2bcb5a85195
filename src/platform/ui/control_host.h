// The Qt widget behind each control: it paints the control and hands mouse, focus and key
// input to it. Toolkit-internal.
#pragma once

#include <QWidget>

namespace vz::ui {

class CControlUI;

class ControlHost : public QWidget {
 public:
  ControlHost(QWidget* parent, CControlUI* owner);
  ~ControlHost() override;
  CControlUI* Owner() const { return owner_; }
  void Detach() { owner_ = nullptr; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  CControlUI* owner_;
};

// The control whose host is `widget` or one of its ancestors; null when none.
CControlUI* ControlOfWidget(QWidget* widget);

}  // namespace vz::ui

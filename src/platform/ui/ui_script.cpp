#include "platform/ui/ui_script.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <sstream>

#include "platform/ui/button.h"
#include "platform/ui/color_palette.h"
#include "platform/ui/combo.h"
#include "platform/ui/edit.h"
#include "platform/ui/list.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/progress.h"

namespace vz::ui::script {
namespace {

// The control when a user could act on it: shown (with every parent) and enabled.
ScriptResult Reach(CPaintManagerUI& pm, const std::string& name, CControlUI*& out) {
  pm.UpdateLayout();
  out = pm.FindControl(name);
  if (!out) return ScriptResult::Fail("no control named " + name);
  if (!out->Host() || !out->Host()->isVisibleTo(pm.Surface())) return ScriptResult::Fail(name + " is not visible");
  for (CControlUI* c = out; c; c = c->GetParent()) {
    if (!c->IsEnabled()) return ScriptResult::Fail(name + " is disabled");
  }
  return {};
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint point) {
  QPointF local(point);
  QPointF global(widget->mapToGlobal(point));
  Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, local, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

// Enter, press and release, as the pointer would do them.
void ClickWidget(QWidget* widget, QPoint point) {
  QEnterEvent enter{QPointF(point), QPointF(point), QPointF(widget->mapToGlobal(point))};
  QApplication::sendEvent(widget, &enter);
  SendMouse(widget, QEvent::MouseButtonPress, point);
  SendMouse(widget, QEvent::MouseButtonRelease, point);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(widget, &leave);
}

QPoint Centre(QWidget* widget) { return QPoint(widget->width() / 2, widget->height() / 2); }

void ActivateWindowOf(CPaintManagerUI& pm) {
  QWidget* surface = pm.Surface();
  if (!surface) return;
  QWidget* window = surface->window();
  if (!window->isVisible()) window->show();
  if (QApplication::activeWindow() != window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
  }
}

}  // namespace

ScriptResult Click(CPaintManagerUI& pm, const std::string& name) {
  CControlUI* control = nullptr;
  if (auto r = Reach(pm, name, control); !r.ok) return r;
  if (!control->TakesMousePress()) return ScriptResult::Fail(name + " takes no clicks");
  ClickWidget(control->Host(), Centre(control->Host()));
  return {};
}

ScriptResult Select(CPaintManagerUI& pm, const std::string& name, bool selected) {
  CControlUI* control = nullptr;
  if (auto r = Reach(pm, name, control); !r.ok) return r;
  auto* option = dynamic_cast<COptionUI*>(control);
  if (!option) return ScriptResult::Fail(name + " is no option or check box");
  if (option->IsSelected() == selected) return {};
  if (!selected && !option->GetGroup().empty()) {
    return ScriptResult::Fail(name + " is in a group: select another option instead");
  }
  ClickWidget(control->Host(), Centre(control->Host()));
  return {};
}

ScriptResult Item(CPaintManagerUI& pm, const std::string& name, int index) {
  CControlUI* control = nullptr;
  if (auto r = Reach(pm, name, control); !r.ok) return r;
  if (auto* combo = dynamic_cast<CComboUI*>(control)) {
    if (index < 0 || index >= combo->GetCount()) return ScriptResult::Fail(name + ": no item " + std::to_string(index));
    QComboBox* box = control->Host()->findChild<QComboBox*>();
    if (!box) return ScriptResult::Fail(name + " has no drop-down");
    box->setCurrentIndex(index);
    emit box->activated(index);
    return {};
  }
  if (auto* list = dynamic_cast<CListUI*>(control)) {
    CControlUI* row = list->GetItemAt(index);
    if (!row) return ScriptResult::Fail(name + ": no row " + std::to_string(index));
    list->EnsureVisible(index);
    if (!row->Host()) return ScriptResult::Fail(name + ": row " + std::to_string(index) + " is not shown");
    ClickWidget(row->Host(), QPoint(2, row->Host()->height() / 2));
    return {};
  }
  return ScriptResult::Fail(name + " is no combo or list");
}

ScriptResult Drag(CPaintManagerUI& pm, const std::string& name, const std::vector<int>& values) {
  CControlUI* control = nullptr;
  if (auto r = Reach(pm, name, control); !r.ok) return r;
  auto* slider = dynamic_cast<CSliderUI*>(control);
  if (!slider) return ScriptResult::Fail(name + " is no slider");
  for (int value : values) {
    if (value < slider->GetMinValue() || value > slider->GetMaxValue()) {
      return ScriptResult::Fail(name + ": " + std::to_string(value) + " is out of range");
    }
  }
  for (int value : values) slider->DragTo(value);
  slider->Release();
  return {};
}

ScriptResult Value(CPaintManagerUI& pm, const std::string& name, int value) {
  return Drag(pm, name, {value});
}

ScriptResult Text(CPaintManagerUI& pm, const std::string& name, const std::string& text) {
  CControlUI* control = nullptr;
  if (auto r = Reach(pm, name, control); !r.ok) return r;
  auto* edit = dynamic_cast<CEditUI*>(control);
  if (!edit) return ScriptResult::Fail(name + " is no edit");
  if (edit->IsReadOnly()) return ScriptResult::Fail(name + " is read-only");
  if (auto r = Focus(pm, name); !r.ok) return r;
  QLineEdit* editor = control->Host()->findChild<QLineEdit*>();
  if (!editor) return ScriptResult::Fail(name + " has no editor");
  editor->setText(QString::fromStdString(text));
  emit editor->textEdited(editor->text());
  return {};
}

ScriptResult PickColor(CPaintManagerUI& pm, const std::string& name, unsigned argb) {
  CControlUI* control = nullptr;
  if (auto r = Reach(pm, name, control); !r.ok) return r;
  auto* palette = dynamic_cast<CColorPaletteUI*>(control);
  if (!palette) return ScriptResult::Fail(name + " is no colour palette");
  QColor target = QColor::fromRgb((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
  // The hue bar first, so that the press in the field then lands on the right hue.
  if (target.hsvHue() >= 0) {
    UIPoint bar = palette->PointInBar(target.hsvHue());
    ClickWidget(control->Host(), QPoint(bar.x, bar.y));
  }
  UIPoint field = palette->PointInField(target.hsvSaturation(), target.value());
  ClickWidget(control->Host(), QPoint(field.x, field.y));
  return {};
}

ScriptResult Focus(CPaintManagerUI& pm, const std::string& name) {
  CControlUI* control = nullptr;
  if (auto r = Reach(pm, name, control); !r.ok) return r;
  if (!control->AcceptsFocus() || !control->IsKeyboardEnabled()) {
    return ScriptResult::Fail(name + " takes no focus");
  }
  ActivateWindowOf(pm);
  control->SetFocus();
  if (!control->Host()->hasFocus() && !control->Host()->isAncestorOf(QApplication::focusWidget())) {
    return ScriptResult::Fail(name + " did not get the focus");
  }
  return {};
}

ScriptResult Blur(CPaintManagerUI& pm) {
  QWidget* focus = QApplication::focusWidget();
  if (!focus || !pm.Surface() || !pm.Surface()->isAncestorOf(focus)) return {};
  focus->clearFocus();
  return {};
}

void Wait(int ms) {
  QElapsedTimer clock;
  clock.start();
  do {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  } while (clock.elapsed() < ms);
}

std::string DumpState(CPaintManagerUI& pm) {
  std::ostringstream out;
  pm.ForEachControl([&out](CControlUI& c) {
    if (c.GetName().empty()) return;
    out << c.GetName() << " " << c.GetClass() << " visible=" << c.IsVisible()
        << " enabled=" << c.IsEnabled() << " text=\"" << c.GetText() << "\"";
    if (auto* option = dynamic_cast<COptionUI*>(&c)) out << " selected=" << option->IsSelected();
    if (auto* progress = dynamic_cast<CProgressUI*>(&c)) out << " value=" << progress->GetValue();
    if (auto* combo = dynamic_cast<CComboUI*>(&c)) out << " cursel=" << combo->GetCurSel();
    if (auto* list = dynamic_cast<CListUI*>(&c)) out << " cursel=" << list->GetCurSel() << " rows=" << list->GetCount();
    if (auto* tab = dynamic_cast<CTabLayoutUI*>(&c)) out << " cursel=" << tab->GetCurSel();
    if (auto* palette = dynamic_cast<CColorPaletteUI*>(&c)) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "%08X", palette->GetSelectColor());
      out << " color=" << hex;
    }
    out << "\n";
  });
  return out.str();
}

}  // namespace vz::ui::script

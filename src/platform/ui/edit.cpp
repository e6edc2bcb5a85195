#include "platform/ui/edit.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "platform/ui/control_host.h"
#include "platform/ui/paint_manager.h"

namespace vz::ui {
namespace {

QString ColorCss(UIColor c) {
  return QString("rgba(%1,%2,%3,%4)")
      .arg((c >> 16) & 0xFF).arg((c >> 8) & 0xFF).arg(c & 0xFF).arg(((c >> 24) & 0xFF) / 255.0);
}

// Hands the line editor's focus changes to its control.
class EditFocusFilter : public QObject {
 public:
  EditFocusFilter(QObject* parent, CEditUI* edit) : QObject(parent), edit_(edit) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) edit_->OnFocusChanged(true);
    if (event->type() == QEvent::FocusOut) edit_->OnFocusChanged(false);
    return false;
  }

 private:
  CEditUI* edit_;
};

}  // namespace

CEditUI::CEditUI() { align_ = kAlignLeft | kAlignVCenter; }

const AttributeTable& CEditUI::Attributes() const {
  static const AttributeTable table(&CLabelUI::Attributes(), {
      {"readonly", BoolAttr(&CEditUI::SetReadOnly)},
      {"password", BoolAttr(&CEditUI::SetPasswordMode)},
      {"maxchar", IntAttr(&CEditUI::SetMaxChar)},
      {"numberonly", BoolAttr(&CEditUI::SetNumberOnly)},
      {"tipvalue", TextAttr(&CEditUI::SetTipValue)},
      {"tipvaluecolor", ColorAttr(&CEditUI::SetTipValueColor)},
      {"nativebkcolor", ColorAttr(&CEditUI::SetNativeEditBkColor)},
  });
  return table;
}

void CEditUI::SetText(const std::string& text) {
  CLabelUI::SetText(text);
  if (editor_ && editor_->text().toStdString() != GetText()) {
    QSignalBlocker block(editor_.data());
    editor_->setText(QString::fromStdString(GetText()));
  }
}

void CEditUI::OnUserEdited(const std::string& text) {
  CLabelUI::SetText(text);
  Notify(kNotifyTextChanged);
}

void CEditUI::SetReadOnly(bool on) { readOnly_ = on; ApplyEditorState(); }
void CEditUI::SetPasswordMode(bool on) { password_ = on; ApplyEditorState(); }
void CEditUI::SetMaxChar(int count) { maxChar_ = std::max(1, count); ApplyEditorState(); }
void CEditUI::SetNumberOnly(bool on) { numberOnly_ = on; ApplyEditorState(); }
void CEditUI::SetTipValue(const std::string& text) { tipValue_ = text; ApplyEditorState(); }
void CEditUI::SetTipValueColor(UIColor color) { tipValueColor_ = color; ApplyEditorState(); }
void CEditUI::SetNativeEditBkColor(UIColor color) { nativeBkColor_ = color; ApplyEditorState(); }

void CEditUI::SetSel(int start, int end) {
  if (!editor_) return;
  int length = editor_->text().size();
  if (end < 0) end = length;
  start = std::clamp(start, 0, length);
  end = std::clamp(end, 0, length);
  if (start == end) editor_->setCursorPosition(start);
  else editor_->setSelection(start, end - start);
}

std::pair<int, int> CEditUI::GetSel() const {
  if (!editor_) return {0, 0};
  if (!editor_->hasSelectedText()) return {editor_->cursorPosition(), editor_->cursorPosition()};
  int start = editor_->selectionStart();
  return {start, start + static_cast<int>(editor_->selectedText().size())};
}

void CEditUI::OnHostCreated() {
  editor_ = new QLineEdit(Host());
  editor_->setFrame(false);
  editor_->setText(QString::fromStdString(GetText()));
  editor_->installEventFilter(new EditFocusFilter(editor_, this));
  Host()->setFocusProxy(editor_);
  QObject::connect(editor_.data(), &QLineEdit::textEdited, editor_.data(),
                   [this](const QString& text) { OnUserEdited(text.toStdString()); });
  QObject::connect(editor_.data(), &QLineEdit::returnPressed, editor_.data(),
                   [this] { Notify(kNotifyReturn); });
  ApplyEditorState();
  editor_->show();
}

void CEditUI::ApplyEditorState() {
  if (!editor_) return;
  editor_->setReadOnly(readOnly_);
  editor_->setEchoMode(password_ ? QLineEdit::Password : QLineEdit::Normal);
  editor_->setMaxLength(maxChar_);
  editor_->setPlaceholderText(QString::fromStdString(tipValue_));
  if (numberOnly_) {
    editor_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), editor_));
  } else {
    editor_->setValidator(nullptr);
  }
  if (GetManager()) editor_->setFont(GetManager()->GetQFont(GetFont()));
  int horizontal = (align_ & kAlignRight) ? Qt::AlignRight : (align_ & kAlignCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
  editor_->setAlignment(Qt::Alignment(horizontal | Qt::AlignVCenter));
  editor_->setStyleSheet(QString("QLineEdit { background: %1; color: %2; border: none; }")
                             .arg(nativeBkColor_ ? ColorCss(nativeBkColor_) : QString("transparent"),
                                  ColorCss(CurrentTextColor())));
  QPalette palette = editor_->palette();
  palette.setColor(QPalette::PlaceholderText, QColor::fromRgba(tipValueColor_));
  editor_->setPalette(palette);
}

void CEditUI::SetPos(const UIRect& rc) {
  CLabelUI::SetPos(rc);
  if (!editor_) return;
  UIRect text = TextRect(UIRect{0, 0, rc.Width(), rc.Height()});
  editor_->setGeometry(text.left, text.top, std::max(0, text.Width()), std::max(0, text.Height()));
  if (GetManager()) editor_->setFont(GetManager()->GetQFont(GetFont()));
}

bool CEditUI::DoEvent(const TEventUI& event) {
  switch (event.type) {
    case UIEventType::ButtonDown:
    case UIEventType::ButtonUp:
      return true;
    default:
      return false;
  }
}

void CEditUI::OnLanguageChanged() {
  CLabelUI::OnLanguageChanged();
  if (IsResourceText() && editor_) {
    QSignalBlocker block(editor_.data());
    editor_->setText(QString::fromStdString(GetText()));
  }
}

}  // namespace vz::ui

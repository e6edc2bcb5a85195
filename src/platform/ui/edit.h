// One-line text entry over a real line editor. The user's typing sends "textchanged";
// taking and losing the focus send "setfocus" and "killfocus"; Return sends "return".
// SetText from code sends nothing.
#pragma once

#include <QPointer>

#include "platform/ui/label.h"

#include <QLineEdit>

namespace vz::ui {

class CEditUI : public CLabelUI {
 public:
  CEditUI();
  std::string GetClass() const override { return "Edit"; }

  void SetText(const std::string& text) override;
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);
  bool IsPasswordMode() const { return password_; }
  void SetPasswordMode(bool on);
  int GetMaxChar() const { return maxChar_; }
  void SetMaxChar(int count);
  void SetNumberOnly(bool on);
  void SetTipValue(const std::string& text);
  void SetTipValueColor(UIColor color);
  void SetNativeEditBkColor(UIColor color);
  // Caret and selection in characters: (n, n) puts the caret at n; (0, -1) selects all.
  void SetSel(int start, int end);
  // The selection as characters [start, end); start == end is the caret.
  std::pair<int, int> GetSel() const;

  void SetPos(const UIRect& rc) override;
  bool TakesMousePress() const override { return true; }
  bool AcceptsFocus() const override { return true; }
  bool DoEvent(const TEventUI& event) override;
  void OnLanguageChanged() override;
  // The user typed: the path of the line editor's edit signal and of scripted typing.
  void OnUserEdited(const std::string& text);

 protected:
  const AttributeTable& Attributes() const override;
  void OnHostCreated() override;
  void PaintText(CPaintContext&, const UIRect&) override {}

 private:
  void ApplyEditorState();
  QPointer<QLineEdit> editor_;
  bool readOnly_ = false;
  bool password_ = false;
  int maxChar_ = 255;
  bool numberOnly_ = false;
  std::string tipValue_;
  UIColor tipValueColor_ = 0xFFBAC0C5;
  UIColor nativeBkColor_ = 0;
};

}  // namespace vz::ui

// The base of every control: identity, texts, state, geometry inside its parent, colours and
// images, painting in a fixed order, and attributes by name.
//
// A control lives in a tree owned by its window's paint manager; a container owns its
// children. Controls are touched on the user-interface thread only. Code that fills a control
// (SetText, SetValue, ...) raises no notification; calls that can notify take an explicit
// sendEvent argument.
#pragma once

#include <QPointer>
#include <string>

#include "platform/ui/attributes.h"
#include "platform/ui/control_host.h"
#include "platform/ui/notify.h"
#include "platform/ui/render.h"
#include "platform/ui/ui_types.h"



namespace vz::ui {

class CPaintManagerUI;
class CContainerUI;
class ControlHost;

enum class UIEventType { MouseEnter, MouseLeave, ButtonDown, ButtonUp, MouseMove, DblClick,
                         SetFocus, KillFocus, KeyDown, ScrollWheel };

struct TEventUI {
  UIEventType type;
  UIPoint ptMouse;   // control coordinates
  int key = 0;       // Qt key code for KeyDown
  int wheelDelta = 0;
};

class CControlUI {
 public:
  CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;
  virtual ~CControlUI();

  // The element name the class answers to ("Button"); also the key of <Default> entries.
  virtual std::string GetClass() const { return "Control"; }

  const std::string& GetName() const { return name_; }
  void SetName(const std::string& name);

  // The shown text: the translation of the key in resource-text mode, the text otherwise.
  virtual std::string GetText() const;
  // The text as set: the language key in resource-text mode.
  const std::string& GetTextRaw() const { return text_; }
  virtual void SetText(const std::string& text);
  bool IsResourceText() const { return resourceText_; }
  void SetResourceText(bool on);
  std::string GetToolTip() const;
  void SetToolTip(const std::string& text);
  const std::string& GetUserData() const { return userData_; }
  void SetUserData(const std::string& data) { userData_ = data; }
  // The virtual window whose pump takes this control's notifications: its own, else its
  // nearest parent's; empty for none.
  std::string GetVirtualWnd() const;
  void SetVirtualWnd(const std::string& name) { virtualWnd_ = name; }
  std::uintptr_t GetTag() const { return tag_; }
  void SetTag(std::uintptr_t tag) { tag_ = tag; }

  bool IsVisible() const { return visible_; }
  virtual void SetVisible(bool visible);
  bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  bool IsMouseEnabled() const { return mouseEnabled_; }
  void SetMouseEnabled(bool enabled);
  bool IsKeyboardEnabled() const { return keyboardEnabled_; }
  void SetKeyboardEnabled(bool enabled);
  bool IsFocused() const;
  void SetFocus();
  void SetHandCursor(bool hand);

  // Geometry. Sizes are unscaled skin pixels; the layout scales them by the window's DPI.
  int GetFixedWidth() const { return fixedWidth_; }
  void SetFixedWidth(int cx);
  int GetFixedHeight() const { return fixedHeight_; }
  void SetFixedHeight(int cy);
  int GetMinWidth() const { return minWidth_; }
  void SetMinWidth(int cx);
  int GetMaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int cx);
  int GetMinHeight() const { return minHeight_; }
  void SetMinHeight(int cy);
  int GetMaxHeight() const { return maxHeight_; }
  void SetMaxHeight(int cy);
  UIRect GetPadding() const { return padding_; }
  void SetPadding(UIRect padding);
  bool IsFloat() const { return float_; }
  void SetFloat(bool on);
  // With float, the place inside the parent; without, only its width and height count.
  UIRect GetFloatPos() const { return floatPos_; }
  void SetFloatPos(UIRect pos);
  // Where the layout put the control, in window client pixels.
  UIRect GetPos() const;
  // The layout's call: rc is relative to the parent's content area, already scaled.
  virtual void SetPos(const UIRect& rc);

  UIColor GetBkColor() const { return bkColor_; }
  void SetBkColor(UIColor color);
  const std::string& GetBkImage() const { return bkImage_; }
  void SetBkImage(const std::string& image);
  UIColor GetBorderColor() const { return borderColor_; }
  void SetBorderColor(UIColor color);
  int GetBorderSize() const { return borderSize_; }
  void SetBorderSize(int size);
  UISize GetBorderRound() const { return borderRound_; }
  void SetBorderRound(UISize round);
  // A tint laid over the painted control (the LED previews), invisible at alpha 0.
  UIColor GetChangerColor() const { return changerColor_; }
  void SetChangerColor(UIColor color);
  int GetChangerAlpha() const { return changerAlpha_; }
  void SetChangerAlpha(int alpha);

  // Attributes by their skin names. False for an unknown name or an unreadable value.
  virtual bool SetAttribute(const std::string& name, const std::string& value);
  // Several attributes in the key="value" form of <Default> and <Style>; false when any fails.
  bool ApplyAttributeList(const std::string& list);

  void Invalidate();
  // Asks for a new layout of the window.
  void NeedUpdate();
  void NeedParentUpdate();

  CPaintManagerUI* GetManager() const { return manager_; }
  CControlUI* GetParent() const { return parent_; }
  // Interface casts by class name, like the element names ("Option", "Container").
  virtual CContainerUI* AsContainer() { return nullptr; }

  // Toolkit-internal: tree wiring, the host widget, input and painting.
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent);
  virtual void AttachHost(QWidget* parentWidget);
  ControlHost* Host() const { return host_.data(); }
  virtual bool DoEvent(const TEventUI& event);
  // The widget behind the control got or lost the keyboard focus: "setfocus" / "killfocus".
  void OnFocusChanged(bool focused);
  void DoPaint(CPaintContext& ctx, const UIRect& rc);
  virtual void OnLanguageChanged();
  // Whether a press on the control is its own (true) or falls through to the window, which
  // drags the window when the press is in the caption band.
  virtual bool TakesMousePress() const { return false; }
  virtual bool AcceptsFocus() const { return false; }

 protected:
  virtual const AttributeTable& Attributes() const;
  virtual void OnHostCreated() {}
  virtual void PaintBkColor(CPaintContext& ctx, const UIRect& rc);
  virtual void PaintBkImage(CPaintContext& ctx, const UIRect& rc);
  virtual void PaintStatusImage(CPaintContext& ctx, const UIRect& rc);
  virtual void PaintText(CPaintContext& ctx, const UIRect& rc);
  virtual void PaintBorder(CPaintContext& ctx, const UIRect& rc);
  int Scale(int value) const;
  void Notify(const char* type, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  void ApplyHostState();

 private:
  std::string name_;
  std::string text_;
  std::string toolTip_;
  std::string userData_;
  std::string virtualWnd_;
  std::uintptr_t tag_ = 0;
  bool resourceText_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  bool mouseEnabled_ = true;
  bool keyboardEnabled_ = true;
  bool handCursor_ = false;
  bool float_ = false;
  UIRect floatPos_;
  UIRect padding_;
  int fixedWidth_ = 0;
  int fixedHeight_ = 0;
  int minWidth_ = 0;
  int maxWidth_ = 9999;
  int minHeight_ = 0;
  int maxHeight_ = 9999;
  UIColor bkColor_ = 0;
  std::string bkImage_;
  UIColor borderColor_ = 0;
  int borderSize_ = 0;
  UISize borderRound_;
  UIColor changerColor_ = 0;
  int changerAlpha_ = 0;
  CPaintManagerUI* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  QPointer<ControlHost> host_;
};

}  // namespace vz::ui

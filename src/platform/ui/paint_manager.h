// The paint manager of one window: its control tree, names, fonts, defaults and styles, option
// groups, notifications, layout and DPI. Also the process-wide resource folder and message loop.
#pragma once

#include <QFont>
#include <QImage>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ui/notify.h"
#include "platform/ui/ui_types.h"

#include <QWidget>

namespace vz::ui {

class CControlUI;
class CWindowWnd;

struct FontSpec {
  std::string family;
  int size = 12;  // pixels, unscaled
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;
  ~CPaintManagerUI();

  // The program folder (where the skin folder lives).
  static std::string GetInstancePath();
  // The skin folder; relative skin, image and language file names are looked up in it.
  static void SetResourcePath(const std::string& path);
  static std::string GetResourcePath();
  // Only files on disk are supported; kept for the callers that set it.
  static void SetResourceType(int type);
  // A full path as it stands, a relative one under the resource folder with the letter case of
  // its last component ignored; nullopt when there is no such file.
  static std::optional<std::string> ResolveResourceFile(const std::string& name);
  // Runs the event loop until PostQuitMessage; returns its code.
  static int MessageLoop();
  static void PostQuitMessage(int code);
  static std::vector<CPaintManagerUI*> Managers();

  // Toolkit-internal: the window surface the tree is painted on.
  void Init(QWidget* surface, CWindowWnd* window);
  QWidget* Surface() const { return surface_.data(); }
  CWindowWnd* GetWindow() const { return window_; }

  // Takes ownership of the tree and shows it on the window.
  bool AttachDialog(CControlUI* root);
  CControlUI* GetRoot() const { return root_; }
  // Deletes the tree (window teardown).
  void DestroyRoot();

  // Null when absent. Letter case is ignored; of several controls of one name, the first
  // one registered is found.
  CControlUI* FindControl(const std::string& name) const;
  // The topmost visible control at a client point that takes mouse input; null when none.
  CControlUI* FindControl(UIPoint pt) const;
  CControlUI* FindSubControlByName(CControlUI* parent, const std::string& name) const;

  // Schedules a layout on the event loop; UpdateLayout does it at once.
  void NeedUpdate();
  void UpdateLayout();
  void Invalidate();

  int GetDPI() const { return dpi_; }
  // Scales sizes, fonts and the window by dpi/96 (96 is 100%).
  void SetDPI(int dpi);
  void ResetDPIAssets();
  int Scale(int value) const;

  // Window attributes of the layout.
  UISize GetInitSize() const { return initSize_; }
  void SetInitSize(UISize size) { initSize_ = size; }
  UIRect GetCaptionRect() const { return caption_; }
  void SetCaptionRect(UIRect rc) { caption_ = rc; }
  UISize GetRoundCorner() const { return roundCorner_; }
  void SetRoundCorner(UISize size) { roundCorner_ = size; }
  UISize GetMinInfo() const { return minInfo_; }
  void SetMinInfo(UISize size) { minInfo_ = size; }
  UISize GetMaxInfo() const { return maxInfo_; }
  void SetMaxInfo(UISize size) { maxInfo_ = size; }
  bool IsLayered() const { return layered_; }
  void SetLayered(bool on) { layered_ = on; }

  void AddFont(int id, const FontSpec& font, bool isDefault);
  bool HasFont(int id) const { return fonts_.count(id) != 0; }
  // The font of an id, scaled; the default font for -1 or an unknown id.
  QFont GetQFont(int id) const;
  UIColor GetDefaultFontColor() const { return defaultFontColor_; }
  void SetDefaultFontColor(UIColor c) { defaultFontColor_ = c; }
  UIColor GetDefaultDisabledColor() const { return defaultDisabledColor_; }
  void SetDefaultDisabledColor(UIColor c) { defaultDisabledColor_ = c; }

  void AddDefaultAttributeList(const std::string& className, const std::string& list);
  const std::string* GetDefaultAttributeList(const std::string& className) const;
  void AddStyle(const std::string& name, const std::string& list);
  const std::string* GetStyle(const std::string& name) const;

  void AddNotifier(INotifyUI* notifier);
  void RemoveNotifier(INotifyUI* notifier);
  // Delivers at once to every notifier, in the order they were added.
  void SendNotify(CControlUI* sender, const std::string& type, std::uintptr_t wParam = 0,
                  std::intptr_t lParam = 0);

  // Option groups are per window.
  void AddOptionGroup(const std::string& group, CControlUI* option);
  void RemoveOptionGroup(const std::string& group, CControlUI* option);
  std::vector<CControlUI*> GetOptionGroup(const std::string& group) const;

  CControlUI* GetFocus() const;

  // The window as it looks now (layout brought up to date first).
  QImage Screenshot();
  bool SaveScreenshot(const std::string& pngPath);

  // Toolkit-internal bookkeeping of the control tree.
  void RegisterName(CControlUI* control);
  void UnregisterName(CControlUI* control, const std::string& name);
  void ReapObjects(CControlUI* control);
  void ForEachControl(const std::function<void(CControlUI&)>& visit) const;

 private:
  QPointer<QWidget> surface_;
  CWindowWnd* window_ = nullptr;
  CControlUI* root_ = nullptr;
  std::unordered_map<std::string, std::vector<CControlUI*>> names_;
  std::map<std::string, std::vector<CControlUI*>> optionGroups_;
  std::vector<INotifyUI*> notifiers_;
  std::map<int, FontSpec> fonts_;
  int defaultFont_ = -1;
  std::map<std::string, std::string> defaults_;
  std::map<std::string, std::string> styles_;
  UIColor defaultFontColor_ = 0xFF000000;
  UIColor defaultDisabledColor_ = 0xFFA7A6AA;
  UISize initSize_;
  UIRect caption_;
  UISize roundCorner_;
  UISize minInfo_;
  UISize maxInfo_;
  bool layered_ = false;
  int dpi_ = 96;
  bool layoutPending_ = false;
  std::shared_ptr<bool> alive_;
};

// The colour text is drawn in: a control's own colour for its state when it has one, else
// the window's default for that state. pm may be null (a control not in a window yet).
UIColor StateTextColor(const CPaintManagerUI* pm, bool enabled, UIColor own, UIColor ownDisabled);

}  // namespace vz::ui

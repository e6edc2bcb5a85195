// Builds control trees from skin XML (see SKIN_FORMAT.md), and the registry of control
// classes by element name.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "platform/ui/ui_types.h"

namespace vz::ui {

class CControlUI;
class CPaintManagerUI;
struct XmlElement;

// Turns element names the toolkit does not know into controls (sub-pages, custom classes).
class IDialogBuilderCallback {
 public:
  // Null: not this callback's element.
  virtual CControlUI* CreateControl(const std::string& className) = 0;
  virtual ~IDialogBuilderCallback() = default;
};

// Element names to creation functions. The built-in classes are always present; custom
// classes are added at start-up. Names are matched without regard to case.
class CControlFactory {
 public:
  using Creator = std::function<CControlUI*()>;
  static CControlFactory& GetInstance();
  void RegistControl(const std::string& className, Creator create);
  // Null for an unknown name.
  CControlUI* CreateControl(const std::string& className) const;

 private:
  CControlFactory();
  std::map<std::string, Creator> creators_;
};

class CDialogBuilder {
 public:
  // Builds a layout id or skin file into the manager's window. The returned root is owned by
  // the caller (attach it to the manager or add it to a container). With parent, the built
  // root is also added to it. Null on failure, with the reason in LastError().
  CControlUI* Create(const std::string& skin, IDialogBuilderCallback* callback,
                     CPaintManagerUI* manager, CControlUI* parent = nullptr);
  // The same from XML text; source names it in error texts.
  CControlUI* CreateFromText(const std::string& xml, const std::string& source,
                             IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                             CControlUI* parent = nullptr);
  const std::string& LastError() const { return error_; }
  // Whether window attributes (size, caption, ...) of the file go to the manager; the
  // window's own layout sets them, sub-pages do not.
  void SetApplyWindowAttributes(bool on) { applyWindow_ = on; }

 private:
  CControlUI* BuildRoot(const XmlElement& root, const std::string& source);
  bool ParseWindowChild(const XmlElement& element, const std::string& source);
  CControlUI* BuildControl(const XmlElement& element, const std::string& source);
  bool BuildChildren(const XmlElement& element, CControlUI* control, const std::string& source);
  void ApplyWindowAttributes(const XmlElement& window, const std::string& source);
  void Report(const std::string& source, long long line, const std::string& text);

  IDialogBuilderCallback* callback_ = nullptr;
  CPaintManagerUI* manager_ = nullptr;
  std::string error_;
  bool applyWindow_ = false;
  int includeDepth_ = 0;
  bool failed_ = false;
};

}  // namespace vz::ui

#include "platform/ui/dialog_builder.h"

#include "platform/ui/button.h"
#include "platform/ui/color_palette.h"
#include "platform/ui/combo.h"
#include "platform/ui/container.h"
#include "platform/ui/diagnostics.h"
#include "platform/ui/edit.h"
#include "platform/ui/label.h"
#include "platform/ui/list.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/progress.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/xml_tree.h"

namespace vz::ui {
namespace {

// Deep enough for any page; stops a file that includes itself.
constexpr int kMaxIncludeDepth = 16;
constexpr int kMaxIncludeCount = 1000;

template <class C>
CControlFactory::Creator Make() {
  return [] { return new C; };
}

}  // namespace

CControlFactory& CControlFactory::GetInstance() {
  static CControlFactory factory;
  return factory;
}

CControlFactory::CControlFactory() {
  const std::pair<const char*, Creator> builtIns[] = {
      {"Control", Make<CControlUI>()},
      {"Container", Make<CContainerUI>()},
      {"VerticalLayout", Make<CVerticalLayoutUI>()},
      {"HorizontalLayout", Make<CHorizontalLayoutUI>()},
      {"TabLayout", Make<CTabLayoutUI>()},
      {"Label", Make<CLabelUI>()},
      {"Text", Make<CTextUI>()},
      {"Button", Make<CButtonUI>()},
      {"Option", Make<COptionUI>()},
      {"CheckBox", Make<CCheckBoxUI>()},
      {"Progress", Make<CProgressUI>()},
      {"Slider", Make<CSliderUI>()},
      {"Edit", Make<CEditUI>()},
      {"Combo", Make<CComboUI>()},
      {"List", Make<CListUI>()},
      {"ListEx", Make<CListUI>()},
      {"ListHeader", Make<CListHeaderUI>()},
      {"ListHeaderItem", Make<CListHeaderItemUI>()},
      {"ListLabelElement", Make<CListLabelElementUI>()},
      {"ListTextElement", Make<CListTextElementUI>()},
      {"ListContainerElement", Make<CListContainerElementUI>()},
      {"ColorPalette", Make<CColorPaletteUI>()},
  };
  for (const auto& [name, create] : builtIns) creators_.emplace(ToLower(name), create);
}

void CControlFactory::RegistControl(const std::string& className, Creator create) {
  creators_[ToLower(className)] = std::move(create);
}

CControlUI* CControlFactory::CreateControl(const std::string& className) const {
  auto it = creators_.find(ToLower(className));
  return it == creators_.end() ? nullptr : it->second();
}

void CDialogBuilder::Report(const std::string& source, long long line, const std::string& text) {
  ReportDiagnostic(source + ":" + std::to_string(line) + ": " + text);
}

CControlUI* CDialogBuilder::Create(const std::string& skin, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
  error_.clear();
  std::string file = CResourceManager::GetInstance().GetLayoutFile(skin).value_or(skin);
  auto path = CPaintManagerUI::ResolveResourceFile(file);
  if (!path) {
    error_ = file + ": layout not found in " + CPaintManagerUI::GetResourcePath();
    return nullptr;
  }
  auto root = ParseXmlFile(*path, error_);
  if (!root) return nullptr;
  callback_ = callback;
  manager_ = manager;
  CControlUI* control = BuildRoot(*root, file);
  if (control && parent) {
    CContainerUI* container = parent->AsContainer();
    if (!container || !container->Add(control)) {
      delete control;
      error_ = file + ": the parent cannot hold the built layout";
      return nullptr;
    }
  }
  return control;
}

CControlUI* CDialogBuilder::CreateFromText(const std::string& xml, const std::string& source,
                                           IDialogBuilderCallback* callback,
                                           CPaintManagerUI* manager, CControlUI* parent) {
  error_.clear();
  auto root = ParseXmlText(xml, source, error_);
  if (!root) return nullptr;
  callback_ = callback;
  manager_ = manager;
  CControlUI* control = BuildRoot(*root, source);
  if (control && parent) {
    CContainerUI* container = parent->AsContainer();
    if (!container || !container->Add(control)) {
      delete control;
      error_ = source + ": the parent cannot hold the built layout";
      return nullptr;
    }
  }
  return control;
}

CControlUI* CDialogBuilder::BuildRoot(const XmlElement& root, const std::string& source) {
  failed_ = false;
  if (!EqualsNoCase(root.name, "Window")) {
    CControlUI* control = BuildControl(root, source);
    if (!control && !failed_) error_ = source + ": the root element <" + root.name + "> is no control";
    return failed_ ? (delete control, nullptr) : control;
  }
  if (applyWindow_ && manager_) ApplyWindowAttributes(root, source);
  CControlUI* control = nullptr;
  for (const XmlElement& child : root.children) {
    if (ParseWindowChild(child, source)) continue;
    if (control) {
      Report(source, child.line, "a second root control <" + child.name + "> is ignored");
      continue;
    }
    control = BuildControl(child, source);
    if (failed_) {
      delete control;
      return nullptr;
    }
  }
  if (!control) error_ = source + ": the window holds no control";
  return control;
}

void CDialogBuilder::ApplyWindowAttributes(const XmlElement& window, const std::string& source) {
  using Apply = std::function<bool(CPaintManagerUI&, const std::string&)>;
  auto sizeSetter = [](void (CPaintManagerUI::*set)(UISize)) -> Apply {
    return [set](CPaintManagerUI& pm, const std::string& v) {
      auto size = ParseSize(v);
      if (size) (pm.*set)(*size);
      return size.has_value();
    };
  };
  auto colorSetter = [](void (CPaintManagerUI::*set)(UIColor)) -> Apply {
    return [set](CPaintManagerUI& pm, const std::string& v) {
      auto color = ParseColor(v);
      if (color) (pm.*set)(*color);
      return color.has_value();
    };
  };
  static const std::map<std::string, Apply> table = {
      {"size", sizeSetter(&CPaintManagerUI::SetInitSize)},
      {"roundcorner", sizeSetter(&CPaintManagerUI::SetRoundCorner)},
      {"mininfo", sizeSetter(&CPaintManagerUI::SetMinInfo)},
      {"maxinfo", sizeSetter(&CPaintManagerUI::SetMaxInfo)},
      {"caption", [](CPaintManagerUI& pm, const std::string& v) {
         auto rc = ParseRect(v);
         if (rc) pm.SetCaptionRect(*rc);
         return rc.has_value();
       }},
      {"bktrans", [](CPaintManagerUI& pm, const std::string& v) {
         auto on = ParseBool(v);
         if (on) pm.SetLayered(*on);
         return on.has_value();
       }},
      {"defaultfontcolor", colorSetter(&CPaintManagerUI::SetDefaultFontColor)},
      {"disabledfontcolor", colorSetter(&CPaintManagerUI::SetDefaultDisabledColor)},
  };
  for (const auto& [key, value] : window.attributes) {
    auto it = table.find(ToLower(key));
    if (it == table.end()) Report(source, window.line, "unknown window attribute " + key);
    else if (!it->second(*manager_, value)) Report(source, window.line, "bad value of window attribute " + key + "=\"" + value + "\"");
  }
}

bool CDialogBuilder::ParseWindowChild(const XmlElement& element, const std::string& source) {
  if (EqualsNoCase(element.name, "Font")) {
    FontSpec font;
    const std::string* id = element.Attribute("id");
    auto idValue = id ? ParseInt(*id) : std::nullopt;
    if (!idValue) {
      Report(source, element.line, "<Font> needs a numeric id");
      return true;
    }
    if (const std::string* v = element.Attribute("name")) font.family = *v;
    if (const std::string* v = element.Attribute("size")) font.size = ParseInt(*v).value_or(font.size);
    auto flag = [&](const char* name) {
      const std::string* v = element.Attribute(name);
      return v && ParseBool(*v).value_or(false);
    };
    font.bold = flag("bold");
    font.italic = flag("italic");
    font.underline = flag("underline");
    if (manager_) manager_->AddFont(*idValue, font, flag("default"));
    return true;
  }
  if (EqualsNoCase(element.name, "Default") || EqualsNoCase(element.name, "Style")) {
    const std::string* name = element.Attribute("name");
    const std::string* value = element.Attribute("value");
    if (!name || !value) {
      Report(source, element.line, "<" + element.name + "> needs name and value");
      return true;
    }
    if (!manager_) return true;
    if (EqualsNoCase(element.name, "Default")) manager_->AddDefaultAttributeList(*name, *value);
    else manager_->AddStyle(*name, *value);
    return true;
  }
  return false;
}

CControlUI* CDialogBuilder::BuildControl(const XmlElement& element, const std::string& source) {
  CControlUI* control = callback_ ? callback_->CreateControl(element.name) : nullptr;
  if (!control) control = CControlFactory::GetInstance().CreateControl(element.name);
  if (!control) {
    Report(source, element.line, "unknown element <" + element.name + "> skipped");
    return nullptr;
  }
  if (manager_ && !control->GetManager()) control->SetManager(manager_, nullptr);
  const std::string* defaults = manager_ ? manager_->GetDefaultAttributeList(element.name) : nullptr;
  if (!defaults && manager_) defaults = manager_->GetDefaultAttributeList(control->GetClass());
  if (defaults) control->ApplyAttributeList(*defaults);
  if (const std::string* style = element.Attribute("style")) {
    if (!control->SetAttribute("style", *style)) {
      Report(source, element.line, "unknown style \"" + *style + "\"");
    }
  }
  for (const auto& [key, value] : element.attributes) {
    if (EqualsNoCase(key, "style")) continue;
    if (!control->SetAttribute(key, value)) {
      Report(source, element.line,
             "<" + element.name + "> attribute " + key + "=\"" + value + "\" is unknown or unreadable");
    }
  }
  if (!BuildChildren(element, control, source)) {
    delete control;
    return nullptr;
  }
  return control;
}

bool CDialogBuilder::BuildChildren(const XmlElement& element, CControlUI* control,
                                   const std::string& source) {
  if (element.children.empty()) return true;
  CContainerUI* container = control->AsContainer();
  if (!container) {
    Report(source, element.line, "<" + element.name + "> cannot hold children; they are skipped");
    return true;
  }
  for (const XmlElement& child : element.children) {
    if (!EqualsNoCase(child.name, "Include")) {
      CControlUI* built = BuildControl(child, source);
      if (failed_) return false;
      if (built && !container->Add(built)) delete built;
      continue;
    }
    const std::string* file = child.Attribute("source");
    const std::string* countText = child.Attribute("count");
    int count = countText ? ParseInt(*countText).value_or(-1) : 1;
    if (!file || count < 0 || count > kMaxIncludeCount || includeDepth_ >= kMaxIncludeDepth) {
      error_ = source + ":" + std::to_string(child.line) +
               (includeDepth_ >= kMaxIncludeDepth ? ": includes nest too deep" : ": bad <Include>");
      failed_ = true;
      return false;
    }
    for (int i = 0; i < count; ++i) {
      CDialogBuilder nested;
      nested.includeDepth_ = includeDepth_ + 1;
      CControlUI* built = nested.Create(*file, callback_, manager_, control);
      if (!built) {
        error_ = source + ":" + std::to_string(child.line) + ": include failed: " + nested.error_;
        failed_ = true;
        return false;
      }
    }
  }
  return true;
}

}  // namespace vz::ui

#include "platform/ui/resource_manager.h"

#include "platform/ui/control.h"
#include "platform/ui/diagnostics.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/xml_tree.h"

namespace vz::ui {

CResourceManager& CResourceManager::GetInstance() {
  static CResourceManager instance;
  return instance;
}

static std::optional<XmlElement> ReadResourceXml(const std::string& file, const char* rootName,
                                                 std::string& error) {
  auto path = CPaintManagerUI::ResolveResourceFile(file);
  if (!path) {
    error = file + ": not found in " + CPaintManagerUI::GetResourcePath();
    return std::nullopt;
  }
  auto root = ParseXmlFile(*path, error);
  if (root && !EqualsNoCase(root->name, rootName)) {
    error = *path + ": root element is <" + root->name + ">, expected <" + rootName + ">";
    return std::nullopt;
  }
  return root;
}

bool CResourceManager::LoadResource(const std::string& file) {
  auto root = ReadResourceXml(file, "Res", lastError_);
  if (!root) return false;
  std::map<std::string, std::string> layouts;
  std::map<int, std::string> icons;
  for (const auto& item : root->children) {
    const std::string* id = item.Attribute("id");
    const std::string* target = item.Attribute("file");
    if (!id || !target) {
      ReportDiagnostic(file + ":" + std::to_string(item.line) + ": <" + item.name +
                       "> needs id and file");
      continue;
    }
    if (EqualsNoCase(item.name, "Layout")) {
      layouts[ToLower(*id)] = *target;
    } else if (EqualsNoCase(item.name, "Icon") && ParseInt(*id)) {
      icons[*ParseInt(*id)] = *target;
    } else {
      ReportDiagnostic(file + ":" + std::to_string(item.line) + ": unknown resource <" +
                       item.name + " id=\"" + *id + "\">");
    }
  }
  layouts_ = std::move(layouts);
  icons_ = std::move(icons);
  return true;
}

std::optional<std::string> CResourceManager::GetLayoutFile(const std::string& id) const {
  auto it = layouts_.find(ToLower(id));
  if (it == layouts_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> CResourceManager::GetIconFile(int id) const {
  auto it = icons_.find(id);
  if (it == icons_.end()) return std::nullopt;
  return it->second;
}

bool CResourceManager::LoadLanguage(const std::string& file) {
  auto root = ReadResourceXml(file, "Language", lastError_);
  if (!root) {
    ReportDiagnostic("language not loaded: " + lastError_);
    return false;
  }
  std::map<std::string, std::string> texts;
  for (const auto& item : root->children) {
    const std::string* id = item.Attribute("id");
    if (!EqualsNoCase(item.name, "Text") || !id) {
      ReportDiagnostic(file + ":" + std::to_string(item.line) + ": expected <Text id=...>");
      continue;
    }
    const std::string* value = item.Attribute("value");
    texts.emplace(*id, value ? *value : item.text);
  }
  texts_ = std::move(texts);
  ReloadText();
  return true;
}

std::string CResourceManager::GetText(const std::string& key, const std::string& type) const {
  auto it = texts_.find(key);
  if (it != texts_.end()) return it->second;
  if (query_) {
    std::string answer = query_->QueryControlText(key, type);
    if (!answer.empty()) return answer;
  }
  return key;
}

void CResourceManager::ReloadText() {
  for (CPaintManagerUI* manager : CPaintManagerUI::Managers()) {
    manager->ForEachControl([](CControlUI& control) { control.OnLanguageChanged(); });
  }
}

void CResourceManager::Release() {
  layouts_.clear();
  icons_.clear();
  texts_.clear();
  language_.clear();
  query_ = nullptr;
}

}  // namespace vz::ui

// The resource index (res.xml: layout ids and icon ids to files) and the language table
// (lan_*.xml: text keys to texts), shared by all windows.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vz::ui {

// A window's answer for keys the language files lack (the "texts by id" interface).
class IQueryControlText {
 public:
  // Empty when the window has no text for the key.
  virtual std::string QueryControlText(const std::string& id, const std::string& type) = 0;
  virtual ~IQueryControlText() = default;
};

class CResourceManager {
 public:
  static CResourceManager& GetInstance();

  // Reads the resource index from a file in the resource folder. False (with the reason in
  // LastError) when it cannot be read or parsed; the previous index is then kept.
  bool LoadResource(const std::string& file);
  // The layout file of an id, or nullopt.
  std::optional<std::string> GetLayoutFile(const std::string& id) const;
  std::optional<std::string> GetIconFile(int id) const;

  void SetLanguage(const std::string& code) { language_ = code; }
  const std::string& GetLanguage() const { return language_; }
  // Replaces the language table with the file's texts and re-translates every control of
  // every window. False (table kept) when the file cannot be read or parsed.
  bool LoadLanguage(const std::string& file);
  void SetTextQueryInterface(IQueryControlText* query) { query_ = query; }
  IQueryControlText* GetTextQueryInterface() const { return query_; }
  // The text of a key: the language table, then the query interface, else the key itself.
  std::string GetText(const std::string& key, const std::string& type = "") const;
  bool HasText(const std::string& key) const { return texts_.count(key) != 0; }
  void ReloadText();
  // Forgets the index, the texts and the query interface.
  void Release();

  const std::string& LastError() const { return lastError_; }

 private:
  CResourceManager() = default;
  std::map<std::string, std::string> layouts_;  // ids in lower case
  std::map<int, std::string> icons_;
  std::map<std::string, std::string> texts_;
  std::string language_;
  IQueryControlText* query_ = nullptr;
  std::string lastError_;
};

}  // namespace vz::ui

#include "platform/ui/attributes.h"

namespace vz::ui {

AttributeTable::AttributeTable(const AttributeTable* base,
                               std::initializer_list<std::pair<const char*, AttributeSetter>> rows)
    : base_(base) {
  for (const auto& [name, setter] : rows) rows_.emplace(ToLower(name), setter);
}

const AttributeSetter* AttributeTable::Find(const std::string& name) const {
  std::string key = ToLower(name);
  for (const AttributeTable* table = this; table; table = table->base_) {
    auto it = table->rows_.find(key);
    if (it != table->rows_.end()) return &it->second;
  }
  return nullptr;
}

}  // namespace vz::ui

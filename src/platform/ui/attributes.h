// Attribute tables: each control class maps attribute names (any letter case) to setters.
// A class's table falls back to its base class's table, so a Button knows every Label and
// Control attribute without repeating them.
#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

#include "platform/ui/ui_types.h"

namespace vz::ui {

class CControlUI;

// Returns false when the value cannot be read.
using AttributeSetter = std::function<bool(CControlUI&, const std::string&)>;

class AttributeTable {
 public:
  AttributeTable(const AttributeTable* base,
                 std::initializer_list<std::pair<const char*, AttributeSetter>> rows);
  // Null when neither this table nor a base table has the name.
  const AttributeSetter* Find(const std::string& name) const;

 private:
  const AttributeTable* base_;
  std::map<std::string, AttributeSetter> rows_;  // keys in lower case
};

template <class C>
AttributeSetter TextAttr(void (C::*set)(const std::string&)) {
  return [set](CControlUI& c, const std::string& v) {
    (static_cast<C&>(c).*set)(v);
    return true;
  };
}

template <class C, class V, class Parse>
AttributeSetter ParsedAttr(void (C::*set)(V), Parse parse) {
  return [set, parse](CControlUI& c, const std::string& v) {
    auto parsed = parse(v);
    if (!parsed) return false;
    (static_cast<C&>(c).*set)(*parsed);
    return true;
  };
}

template <class C>
AttributeSetter BoolAttr(void (C::*set)(bool)) { return ParsedAttr(set, ParseBool); }
template <class C>
AttributeSetter IntAttr(void (C::*set)(int)) { return ParsedAttr(set, ParseInt); }
template <class C>
AttributeSetter ColorAttr(void (C::*set)(UIColor)) { return ParsedAttr(set, ParseColor); }
template <class C>
AttributeSetter RectAttr(void (C::*set)(UIRect)) { return ParsedAttr(set, ParseRect); }
template <class C>
AttributeSetter SizeAttr(void (C::*set)(UISize)) { return ParsedAttr(set, ParseSize); }

}  // namespace vz::ui

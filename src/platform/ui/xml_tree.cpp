#include "platform/ui/xml_tree.h"

#include <QFile>
#include <QXmlStreamReader>

#include "platform/ui/ui_types.h"

namespace vz::ui {

const std::string* XmlElement::Attribute(const std::string& attrName) const {
  for (const auto& [key, value] : attributes) {
    if (EqualsNoCase(key, attrName)) return &value;
  }
  return nullptr;
}

std::optional<XmlElement> ParseXmlText(const std::string& text, const std::string& source,
                                       std::string& error) {
  QXmlStreamReader reader(QByteArray::fromStdString(text));
  std::vector<XmlElement> stack;
  std::optional<XmlElement> root;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement()) {
      XmlElement element;
      element.name = reader.name().toString().toStdString();
      element.line = reader.lineNumber();
      for (const auto& attr : reader.attributes()) {
        element.attributes.emplace_back(attr.name().toString().toStdString(),
                                        attr.value().toString().toStdString());
      }
      stack.push_back(std::move(element));
    } else if (reader.isCharacters() && !stack.empty() && !reader.isWhitespace()) {
      stack.back().text += reader.text().toString().trimmed().toStdString();
    } else if (reader.isEndElement()) {
      XmlElement done = std::move(stack.back());
      stack.pop_back();
      if (stack.empty()) root = std::move(done);
      else stack.back().children.push_back(std::move(done));
    }
  }
  if (reader.hasError()) {
    error = source + ":" + std::to_string(reader.lineNumber()) + ": " +
            reader.errorString().toStdString();
    return std::nullopt;
  }
  if (!root) {
    error = source + ": no root element";
    return std::nullopt;
  }
  return root;
}

std::optional<XmlElement> ParseXmlFile(const std::string& path, std::string& error) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    error = path + ": cannot be opened";
    return std::nullopt;
  }
  if (file.size() > kMaxXmlBytes) {
    error = path + ": larger than " + std::to_string(kMaxXmlBytes) + " bytes";
    return std::nullopt;
  }
  return ParseXmlText(file.readAll().toStdString(), path, error);
}

}  // namespace vz::ui

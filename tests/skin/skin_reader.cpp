#include "skin_reader.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

namespace vz::skin_check {
namespace {

struct SubPage {
  const char* element;
  const char* file;
};
constexpr SubPage kSubPages[] = {
    {"kb_key_ui", "keyboard_key.xml"},     {"kb_deng_ui", "keyboard_deng.xml"},  {"kb_macro_ui", "keyboard_macro.xml"},
    {"ms_deng_ui", "Mouse_deng.xml"},      {"ms_macro_ui", "Mouse_macro.xml"},   {"ms_key_ui", "Mouse_key.xml"},
    {"mp_deng_ui", "MousePad_deng.xml"},   {"ms_dpi_ui", "Mouse_DPI.xml"},       {"ms_cursor_ui", "Mouse_cursor.xml"},
    {"kb_cursor_ui", "Mouse_cursor.xml"},
};

// Element names the builder knows: its own classes, the classes registered at start and the
// controls the creation callback makes.
const QSet<QString>& KnownElements() {
  static const QSet<QString> known = [] {
    QSet<QString> s;
    for (const char* n : {"control", "container", "verticallayout", "horizontallayout", "tablayout", "label", "text", "button",
                          "option", "checkbox", "progress", "slider", "edit", "combo", "list", "listex", "listheader",
                          "listheaderitem", "listlabelelement", "listtextelement", "listcontainerelement", "colorpalette",
                          "include", "ccircleprogressui", "cchartviewui", "cwndui", "cdevicekeybuttonui", "circleprogress",
                          "devicekeybutton"}) {
      s.insert(QString::fromLatin1(n));
    }
    for (const SubPage& p : kSubPages) {
      s.insert(QString::fromLatin1(p.element));
    }
    return s;
  }();
  return known;
}

struct BuildState {
  const SkinFolder* folder;
  Window* window;
  QMap<QString, QMap<QString, QString>> defaults;  // by element name, lower case
  QMap<QString, QMap<QString, QString>> styles;
  QStringList stack;  // files being built, to stop include cycles
};

void AddWindowParts(BuildState& st, const XmlNode& windowNode, const QString& file) {
  for (const auto& child : windowNode.children) {
    const QString tag = child->tag.toLower();
    if (tag != QLatin1String("default") && tag != QLatin1String("style")) {
      continue;
    }
    bool ok = false;
    auto parsed = ParseAttributeList(child->attrs.value(QStringLiteral("value")), &ok);
    if (!ok) {
      st.window->errors << QStringLiteral("%1:%2: unreadable %3 value").arg(file).arg(child->line).arg(child->tag);
    }
    auto& target = tag == QLatin1String("default") ? st.defaults : st.styles;
    target[child->attrs.value(QStringLiteral("name")).toLower()] = parsed;
  }
}

void BuildFile(BuildState& st, const QString& file);

void BuildNode(BuildState& st, const XmlNode& node, const QString& file) {
  const QString tag = node.tag.toLower();
  if (!KnownElements().contains(tag)) {
    st.window->errors << QStringLiteral("%1:%2: unknown element <%3>").arg(file).arg(node.line).arg(node.tag);
    return;
  }
  if (tag == QLatin1String("include")) {
    BuildFile(st, node.attrs.value(QStringLiteral("source")));
    return;
  }
  const QString sub = SubPageFile(tag);
  if (!sub.isEmpty()) {
    BuildFile(st, sub);
    return;
  }
  Control c{file, node.line, node.tag, st.defaults.value(tag)};
  const QString style = node.attrs.value(QStringLiteral("style"));
  if (!style.isEmpty()) {
    if (!st.styles.contains(style.toLower())) {
      st.window->errors << QStringLiteral("%1:%2: unknown style \"%3\"").arg(file).arg(node.line).arg(style);
    }
    for (auto [k, v] : st.styles.value(style.toLower()).asKeyValueRange()) {
      c.attrs[k] = v;
    }
  }
  for (auto [k, v] : node.attrs.asKeyValueRange()) {
    c.attrs[k] = v;
  }
  st.window->controls.push_back(std::move(c));
  for (const auto& child : node.children) {
    BuildNode(st, *child, file);
  }
}

void BuildFile(BuildState& st, const QString& file) {
  const QString path = st.folder->Resolve(file);
  if (path.isEmpty()) {
    st.window->errors << QStringLiteral("%1: missing file").arg(file);
    return;
  }
  if (st.stack.contains(file, Qt::CaseInsensitive)) {
    st.window->errors << QStringLiteral("%1: includes itself").arg(file);
    return;
  }
  QString error;
  auto root = ParseXmlFile(path, &error);
  if (!root) {
    st.window->errors << error;
    return;
  }
  if (root->tag.compare(QLatin1String("Window"), Qt::CaseInsensitive) != 0) {
    st.window->errors << QStringLiteral("%1: root element is <%2>, not <Window>").arg(file, root->tag);
    return;
  }
  st.stack << file;
  ++st.window->builds[file.toLower()];
  AddWindowParts(st, *root, file);
  int controls = 0;
  for (const auto& child : root->children) {
    const QString tag = child->tag.toLower();
    if (tag == QLatin1String("font") || tag == QLatin1String("default") || tag == QLatin1String("style")) {
      continue;
    }
    ++controls;
    BuildNode(st, *child, file);
  }
  if (controls != 1) {
    st.window->errors << QStringLiteral("%1: %2 root controls, expected one").arg(file).arg(controls);
  }
  st.stack.removeLast();
}

}  // namespace

std::unique_ptr<XmlNode> ParseXmlFile(const QString& path, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("%1: cannot open").arg(path);
    return nullptr;
  }
  QXmlStreamReader xml(&f);
  std::unique_ptr<XmlNode> root;
  std::vector<XmlNode*> open;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      auto node = std::make_unique<XmlNode>();
      node->tag = xml.name().toString();
      node->line = static_cast<int>(xml.lineNumber());
      for (const auto& a : xml.attributes()) {
        node->attrs[a.name().toString().toLower()] = a.value().toString();
      }
      XmlNode* raw = node.get();
      if (open.empty()) {
        root = std::move(node);
      } else {
        open.back()->children.push_back(std::move(node));
      }
      open.push_back(raw);
    } else if (xml.isEndElement()) {
      open.pop_back();
    }
  }
  if (xml.hasError()) {
    *error = QStringLiteral("%1:%2: %3").arg(path).arg(xml.lineNumber()).arg(xml.errorString());
    return nullptr;
  }
  if (!root) {
    *error = QStringLiteral("%1: no root element").arg(path);
  }
  return root;
}

QMap<QString, QString> ParseAttributeList(const QString& text, bool* ok) {
  static const QRegularExpression item(QStringLiteral(R"re(\s*([A-Za-z_][A-Za-z0-9_]*)\s*=\s*"([^"]*)")re"));
  QMap<QString, QString> out;
  qsizetype pos = 0;
  *ok = true;
  while (pos < text.size()) {
    auto m = item.match(text, pos, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    if (!m.hasMatch()) {
      *ok = text.mid(pos).trimmed().isEmpty();
      break;
    }
    out[m.captured(1).toLower()] = m.captured(2);
    pos = m.capturedEnd();
  }
  return out;
}

QStringList ExpandPattern(const QString& pattern) {
  const qsizetype open = pattern.indexOf(QLatin1Char('{'));
  if (open < 0) {
    return {pattern};
  }
  const qsizetype close = pattern.indexOf(QLatin1Char('}'), open);
  if (close < 0) {
    return {pattern};
  }
  const QString body = pattern.mid(open + 1, close - open - 1);
  QStringList choices;
  static const QRegularExpression range(QStringLiteral(R"(^(\d+)\.\.(\d+)$)"));
  if (auto m = range.match(body); m.hasMatch()) {
    for (int i = m.captured(1).toInt(); i <= m.captured(2).toInt(); ++i) {
      choices << QString::number(i);
    }
  } else {
    choices = body.split(QLatin1Char(','));
  }
  QStringList out;
  for (const QString& c : choices) {
    for (const QString& rest : ExpandPattern(pattern.mid(close + 1))) {
      out << pattern.left(open) + c + rest;
    }
  }
  return out;
}

QString ImageFile(const QString& description) {
  const QString d = description.trimmed();
  if (d.isEmpty()) {
    return {};
  }
  static const QRegularExpression file(QStringLiteral(R"((?:^|\s)(?:file|res)\s*=\s*'([^']*)')"));
  if (d.contains(QLatin1Char('\''))) {
    auto m = file.match(d);
    return m.hasMatch() ? m.captured(1) : QStringLiteral("<no file in \"%1\">").arg(d);
  }
  return d;
}

bool Window::Has(const QString& name) const { return Find(name) != nullptr; }

const Control* Window::Find(const QString& name) const {
  for (const Control& c : controls) {
    if (c.attrs.value(QStringLiteral("name")).compare(name, Qt::CaseInsensitive) == 0) {
      return &c;
    }
  }
  return nullptr;
}

QString SkinFolder::Resolve(const QString& relative) const {
  QString current = dir_.absolutePath();
  for (const QString& part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    const QStringList entries = QDir(current).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const QString& e) { return e.compare(part, Qt::CaseInsensitive) == 0; });
    if (it == entries.end()) {
      return {};
    }
    current = QDir(current).filePath(*it);
  }
  return current;
}

QStringList SkinFolder::LayoutFiles() const { return dir_.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name); }

Window SkinFolder::BuildWindow(const QString& file) const {
  Window w;
  w.file = file;
  BuildState st{this, &w, {}, {}, {}};
  BuildFile(st, file);
  return w;
}

QString SubPageFile(const QString& element) {
  for (const SubPage& p : kSubPages) {
    if (element.compare(QLatin1String(p.element), Qt::CaseInsensitive) == 0) {
      return QString::fromLatin1(p.file);
    }
  }
  return {};
}

}  // namespace vz::skin_check

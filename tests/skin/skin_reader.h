// Reads the staged skin folder the way the dialog builder sees it, for the checks of the skin:
// XML trees, the controls of each window with their effective attributes (defaults, styles,
// own attributes), includes and the sub-pages that the main window's creation callback builds.
#pragma once

#include <QDir>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace vz::skin_check {

struct XmlNode {
  QString tag;
  QMap<QString, QString> attrs;  // attribute names in lower case
  std::vector<std::unique_ptr<XmlNode>> children;
  int line = 0;
};

// Parses a file; on failure returns null and sets *error to "file:line: reason".
std::unique_ptr<XmlNode> ParseXmlFile(const QString& path, QString* error);

// Parses the attribute list held by a Default or Style value ("a=\"1\" b=\"x\"").
QMap<QString, QString> ParseAttributeList(const QString& text, bool* ok);

// "{a,b}" stands for each alternative, "{2..5}" for each number; several groups multiply.
QStringList ExpandPattern(const QString& pattern);

// The file named by an image description ("ms/a.png" or "file='ms/a.png' corner='..'"),
// empty for an empty description.
QString ImageFile(const QString& description);

struct Control {
  QString file;
  int line = 0;
  QString tag;
  QMap<QString, QString> attrs;  // effective: defaults, then the style, then its own
};

struct Window {
  QString file;
  std::vector<Control> controls;
  QMap<QString, int> builds;  // how often each file was built into the window
  QStringList errors;  // unreadable files, unknown elements, unknown styles
  bool Has(const QString& name) const;
  const Control* Find(const QString& name) const;
};

class SkinFolder {
 public:
  explicit SkinFolder(const QString& path) : dir_(path) {}
  // Full path of a skin file, matched without regard to case; empty when missing.
  QString Resolve(const QString& relative) const;
  QStringList LayoutFiles() const;  // every *.xml directly in the folder
  // All controls of the window whose layout is file, with its includes and callback sub-pages.
  Window BuildWindow(const QString& file) const;
  const QDir& dir() const { return dir_; }

 private:
  QDir dir_;
};

// Element names that the main window's creation callback turns into sub-page layouts.
QString SubPageFile(const QString& element);

}  // namespace vz::skin_check

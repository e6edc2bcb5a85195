// Checks of the staged skin folder: every layout builds, every image it names exists, every text
// key it shows is translated in all three languages, every control the program looks up is
// there, and the on-screen keyboard agrees with its layout table and the lighting column map.
#include "skin_reader.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <array>

namespace vz::skin_check {
namespace {

QString Env(const char* name) { return qEnvironmentVariable(name); }
QString SkinDir() { return Env("VZ_PROGRAM_DIR") + QStringLiteral("/skin"); }
QString TestDir() { return Env("VZ_SOURCE_DIR") + QStringLiteral("/tests/skin"); }

std::string S(const QString& s) { return s.toStdString(); }

const QStringList kLanguages = {QStringLiteral("lan_en.xml"), QStringLiteral("lan_cn.xml"), QStringLiteral("lan_tw.xml")};

// Key -> text of one language file.
QMap<QString, QString> ReadLanguage(const SkinFolder& skin, const QString& file, QStringList* problems) {
  QMap<QString, QString> texts;
  QString error;
  auto root = ParseXmlFile(skin.Resolve(file), &error);
  if (!root) {
    *problems << (error.isEmpty() ? file + QStringLiteral(": missing") : error);
    return texts;
  }
  for (const auto& t : root->children) {
    const QString id = t->attrs.value(QStringLiteral("id"));
    if (texts.contains(id)) {
      *problems << QStringLiteral("%1:%2: \"%3\" given twice").arg(file).arg(t->line).arg(id);
    }
    texts[id] = t->attrs.value(QStringLiteral("value"));
  }
  return texts;
}

// Layout files that res.xml names, by id.
QMap<QString, QString> ResourceLayouts(const SkinFolder& skin) {
  QString error;
  auto res = ParseXmlFile(skin.Resolve(QStringLiteral("res.xml")), &error);
  QMap<QString, QString> out;
  if (!res) {
    ADD_FAILURE() << S(error);
    return out;
  }
  for (const auto& n : res->children) {
    if (n->tag.compare(QLatin1String("Layout"), Qt::CaseInsensitive) == 0) {
      out[n->attrs.value(QStringLiteral("id"))] = n->attrs.value(QStringLiteral("file"));
    }
  }
  return out;
}

bool IsMenu(const QString& file) { return file.startsWith(QLatin1String("menu"), Qt::CaseInsensitive); }

// The windows of the skin: every layout in res.xml that is no menu.
QStringList WindowFiles(const SkinFolder& skin) {
  QStringList files;
  for (const QString& f : ResourceLayouts(skin)) {
    if (!IsMenu(f)) {
      files << f;
    }
  }
  return files;
}

bool ResourceText(const Control& c) {
  return c.attrs.value(QStringLiteral("resourcetext")).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

// Patterns of a requirement file: one a line when lines is set, else separated by blanks;
// "[file]" starts a section.
QMap<QString, QStringList> ReadRequirements(const QString& path, bool lines) {
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text)) << S(path);
  QMap<QString, QStringList> sections;
  QString section;
  QTextStream in(&f);
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
      continue;
    }
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
      section = line.mid(1, line.size() - 2);
      continue;
    }
    const QStringList patterns = lines ? QStringList{line} : line.split(QRegularExpression(QStringLiteral("\\s+")));
    for (const QString& p : patterns) {
      sections[section] << ExpandPattern(p);
    }
  }
  return sections;
}

struct LayoutRow {
  int position = 0;
  bool key = false;
  int row = 0, x = 0, y = 0, width = 0, height = 0;
  int type = 0, param1 = 0, param2 = 0;
  QString name;
};

std::vector<LayoutRow> ReadKeyboardLayout() {
  QFile f(SkinDir() + QStringLiteral("/keyboard_layout.tsv"));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
  std::vector<LayoutRow> rows;
  QTextStream in(&f);
  while (!in.atEnd()) {
    const QString line = in.readLine();
    if (line.startsWith(QLatin1Char('#')) || line.trimmed().isEmpty()) {
      continue;
    }
    const QStringList c = line.split(QLatin1Char('\t'));
    EXPECT_EQ(c.size(), 10) << S(line);
    if (c.size() != 10) {
      continue;
    }
    LayoutRow r;
    r.position = c[0].toInt();
    r.key = c[1] != QLatin1String("-");
    if (r.key) {
      r.row = c[1].toInt();
      r.x = c[2].toInt();
      r.y = c[3].toInt();
      r.width = c[4].toInt();
      r.height = c[5].toInt();
    }
    r.type = c[6].toInt(nullptr, 16);
    r.param1 = c[7].toInt(nullptr, 16);
    r.param2 = c[8].toInt(nullptr, 16);
    r.name = c[9];
    rows.push_back(r);
  }
  return rows;
}

class SkinTest : public ::testing::Test {
 protected:
  SkinFolder skin{SkinDir()};
};

TEST_F(SkinTest, EveryFileParsesWithTheRootItsKindNeeds) {
  const QStringList files = skin.LayoutFiles();
  ASSERT_FALSE(files.isEmpty()) << "no skin staged in " << S(SkinDir());
  for (const QString& f : files) {
    QString error;
    auto root = ParseXmlFile(skin.Resolve(f), &error);
    ASSERT_TRUE(root) << S(error);
    QString expected = QStringLiteral("Window");
    if (kLanguages.contains(f)) {
      expected = QStringLiteral("Language");
    } else if (f.compare(QLatin1String("res.xml"), Qt::CaseInsensitive) == 0) {
      expected = QStringLiteral("Res");
    } else if (IsMenu(f)) {
      expected = QStringLiteral("Menu");
    }
    EXPECT_EQ(root->tag.toLower(), expected.toLower()) << S(f);
  }
}

TEST_F(SkinTest, ResourceIndexNamesExistingLayoutsForEveryWindowId) {
  const auto layouts = ResourceLayouts(skin);
  for (const char* id : {"XML_MAIN", "XML_MSG"}) {
    EXPECT_TRUE(layouts.contains(QString::fromLatin1(id))) << id;
  }
  for (auto [id, file] : layouts.asKeyValueRange()) {
    EXPECT_FALSE(skin.Resolve(file).isEmpty()) << S(id) << " -> " << S(file);
  }
}

TEST_F(SkinTest, EveryWindowBuildsWithKnownElementsAndStyles) {
  for (const QString& f : WindowFiles(skin)) {
    const Window w = skin.BuildWindow(f);
    EXPECT_TRUE(w.errors.isEmpty()) << S(w.errors.join(QLatin1Char('\n')));
    EXPECT_FALSE(w.controls.empty()) << S(f);
  }
}

// FindControl returns the first control of a name, so a second one would never be reached;
// only a sub-page built more than once (the cursor page) and the preset buttons of the skin
// frame repeat their names on purpose.
TEST_F(SkinTest, ControlNamesAreUniqueWithinAWindow) {
  const QSet<QString> repeated = {QStringLiteral("skin_image_btn"), QStringLiteral("skin_color_btn")};
  for (const QString& f : WindowFiles(skin)) {
    const Window w = skin.BuildWindow(f);
    QMap<QString, QStringList> where;
    for (const Control& c : w.controls) {
      const QString name = c.attrs.value(QStringLiteral("name")).toLower();
      if (!name.isEmpty()) {
        where[name] << c.file.toLower();
      }
    }
    for (auto [name, files] : where.asKeyValueRange()) {
      if (files.size() == 1 || repeated.contains(name)) {
        continue;
      }
      const bool oneFileBuiltRepeatedly =
          files.count(files.first()) == files.size() && w.builds.value(files.first()) == files.size();
      EXPECT_TRUE(oneFileBuiltRepeatedly) << S(f) << ": \"" << S(name) << "\" in " << S(files.join(QStringLiteral(", ")));
    }
  }
}

TEST_F(SkinTest, EveryImageNamedExistsAfterStaging) {
  auto check = [&](const QString& where, const QString& description) {
    const QString file = ImageFile(description);
    if (!file.isEmpty()) {
      EXPECT_FALSE(skin.Resolve(file).isEmpty()) << S(where) << ": " << S(description);
    }
  };
  for (const QString& f : WindowFiles(skin)) {
    const Window w = skin.BuildWindow(f);
    for (const Control& c : w.controls) {
      const QString where = QStringLiteral("%1:%2").arg(c.file).arg(c.line);
      for (auto [attr, value] : c.attrs.asKeyValueRange()) {
        if (attr.endsWith(QLatin1String("image"))) {
          check(where, value);
        }
      }
      if (c.attrs.value(QStringLiteral("name")).compare(QLatin1String("skin_image_btn"), Qt::CaseInsensitive) == 0) {
        check(where + QStringLiteral(" (userdata)"), c.attrs.value(QStringLiteral("userdata")));
      }
    }
  }
  QString error;
  auto res = ParseXmlFile(skin.Resolve(QStringLiteral("res.xml")), &error);
  ASSERT_TRUE(res) << S(error);
  for (const auto& n : res->children) {
    if (n->tag.compare(QLatin1String("Icon"), Qt::CaseInsensitive) == 0) {
      check(QStringLiteral("res.xml icon ") + n->attrs.value(QStringLiteral("id")), n->attrs.value(QStringLiteral("file")));
    }
  }
  for (const QString& image : ReadRequirements(TestDir() + QStringLiteral("/required_controls.txt"), false)
                                  .value(QStringLiteral("images shown by the program"))) {
    check(QStringLiteral("required_controls.txt"), image);
  }
}

// Every picture the build renders is shown by a layout or by the program, so no stale artwork
// is shipped.
TEST_F(SkinTest, EveryRenderedImageIsUsed) {
  QString layouts;
  for (const QString& f : skin.LayoutFiles()) {
    QFile file(skin.Resolve(f));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    layouts += QString::fromUtf8(file.readAll()).toLower();
  }
  const QStringList shownByProgram = ReadRequirements(TestDir() + QStringLiteral("/required_controls.txt"), false)
                                        .value(QStringLiteral("images shown by the program"));
  QFile list(Env("VZ_SOURCE_DIR") + QStringLiteral("/skin/art-src/art.list"));
  ASSERT_TRUE(list.open(QIODevice::ReadOnly | QIODevice::Text));
  QTextStream in(&list);
  while (!in.atEnd()) {
    const QString line = in.readLine().section(QLatin1Char('#'), 0, 0).trimmed();
    if (line.isEmpty()) {
      continue;
    }
    const QString output = line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    EXPECT_TRUE(layouts.contains(output.toLower()) || shownByProgram.contains(output, Qt::CaseInsensitive))
        << S(output) << " is rendered but nothing shows it";
  }
}

// The same keys in every language, none empty, and the same printf fields, so a translated
// message formats like the English one.
TEST_F(SkinTest, LanguageFilesHoldTheSameKeysAndFields) {
  QStringList problems;
  const auto english = ReadLanguage(skin, kLanguages[0], &problems);
  static const QRegularExpression field(QStringLiteral("%[-+ #0]*\\d*[dsuxX]"));
  auto fields = [&](const QString& text) {
    QStringList out;
    for (auto it = field.globalMatch(text); it.hasNext();) {
      out << it.next().captured();
    }
    return out;
  };
  for (const QString& lang : kLanguages) {
    const auto texts = ReadLanguage(skin, lang, &problems);
    EXPECT_EQ(QStringList(texts.keys()), QStringList(english.keys())) << S(lang) << " and " << S(kLanguages[0]) << " differ";
    for (auto [key, text] : texts.asKeyValueRange()) {
      EXPECT_FALSE(text.trimmed().isEmpty()) << S(lang) << ": \"" << S(key) << "\" is empty";
      EXPECT_EQ(fields(text), fields(english.value(key))) << S(lang) << ": \"" << S(key) << "\"";
    }
  }
  EXPECT_TRUE(problems.isEmpty()) << S(problems.join(QLatin1Char('\n')));
}

TEST_F(SkinTest, EveryTextKeyShownIsTranslated) {
  QStringList problems;
  std::vector<QMap<QString, QString>> languages;
  for (const QString& lang : kLanguages) {
    languages.push_back(ReadLanguage(skin, lang, &problems));
  }
  auto check = [&](const QString& where, const QString& key) {
    if (key.isEmpty()) {
      return;
    }
    for (size_t i = 0; i < languages.size(); ++i) {
      EXPECT_TRUE(languages[i].contains(key)) << S(kLanguages[static_cast<int>(i)]) << " lacks \"" << S(key) << "\" (" << S(where) << ")";
    }
  };
  for (const QString& f : WindowFiles(skin)) {
    for (const Control& c : skin.BuildWindow(f).controls) {
      if (ResourceText(c)) {
        const QString where = QStringLiteral("%1:%2").arg(c.file).arg(c.line);
        check(where, c.attrs.value(QStringLiteral("text")));
        check(where, c.attrs.value(QStringLiteral("tooltip")));
      }
    }
  }
  for (const QString& f : skin.LayoutFiles()) {
    if (!IsMenu(f)) {
      continue;
    }
    QString error;
    auto menu = ParseXmlFile(skin.Resolve(f), &error);
    ASSERT_TRUE(menu) << S(error);
    std::function<void(const XmlNode&)> walk = [&](const XmlNode& n) {
      if (n.attrs.value(QStringLiteral("resourcetext")) == QLatin1String("true")) {
        check(f, n.attrs.value(QStringLiteral("text")));
      }
      for (const auto& c : n.children) {
        walk(*c);
      }
    };
    walk(*menu);
  }
  for (const QString& key : ReadRequirements(TestDir() + QStringLiteral("/required_texts.txt"), true).value(QString())) {
    check(QStringLiteral("required_texts.txt"), key);
  }
  for (const LayoutRow& r : ReadKeyboardLayout()) {
    if (r.key) {
      check(QStringLiteral("keyboard_layout.tsv"), r.name);
    }
  }
  EXPECT_TRUE(problems.isEmpty()) << S(problems.join(QLatin1Char('\n')));
}

TEST_F(SkinTest, EveryRequiredControlExistsInItsWindow) {
  const auto sections = ReadRequirements(TestDir() + QStringLiteral("/required_controls.txt"), false);
  ASSERT_FALSE(sections.isEmpty());
  for (auto [file, names] : sections.asKeyValueRange()) {
    if (!file.endsWith(QLatin1String(".xml"))) {
      continue;  // names the program gives its own controls, images it shows
    }
    QSet<QString> present;
    if (IsMenu(file)) {
      QString error;
      auto menu = ParseXmlFile(skin.Resolve(file), &error);
      ASSERT_TRUE(menu) << S(error);
      std::function<void(const XmlNode&)> walk = [&](const XmlNode& n) {
        present.insert(n.attrs.value(QStringLiteral("name")).toLower());
        for (const auto& c : n.children) {
          walk(*c);
        }
      };
      walk(*menu);
    } else {
      for (const Control& c : skin.BuildWindow(file).controls) {
        present.insert(c.attrs.value(QStringLiteral("name")).toLower());
      }
    }
    for (const QString& name : names) {
      EXPECT_TRUE(present.contains(name.toLower())) << S(file) << " has no control \"" << S(name) << "\"";
    }
  }
}

// The program grows: every control name it holds must be in some window of the skin. Two kinds
// of literals count: names passed straight to a control lookup, and every text shaped like a
// control name of a device page ("ms_...", "kb_...", "mp_..."), as route and control tables
// hold them. A literal ending in "_" is a prefix completed with an index at run time; sub-page
// elements, styles, language keys and the names the program gives controls it makes itself
// are known too.
TEST_F(SkinTest, ControlNamesInTheSourcesExist) {
  QSet<QString> names;
  QStringList languageProblems;
  for (const QString& f : WindowFiles(skin)) {
    for (const Control& c : skin.BuildWindow(f).controls) {
      names.insert(c.attrs.value(QStringLiteral("name")).toLower());
    }
  }
  QSet<QString> other;
  for (const QString& k : ReadLanguage(skin, kLanguages[0], &languageProblems).keys()) {
    other.insert(k.toLower());
  }
  for (const QString& n : ReadRequirements(TestDir() + QStringLiteral("/required_controls.txt"), false).value(QStringLiteral("made by the program"))) {
    other.insert(n.toLower());
  }
  for (const QString& f : skin.LayoutFiles()) {
    QString error;
    if (auto root = ParseXmlFile(skin.Resolve(f), &error)) {
      for (const auto& child : root->children) {
        if (child->tag.compare(QLatin1String("Style"), Qt::CaseInsensitive) == 0) {
          other.insert(child->attrs.value(QStringLiteral("name")).toLower());
        }
      }
    }
  }
  static const QRegularExpression lookup(QStringLiteral(
      R"re(\b(?:FindControl|FindSubControl|FindSubControlByName|Find)\s*(?:<[^<>;()]*>)?\s*\(\s*(?:[^"();]*,\s*)?(?:u8|u|L)?"([^"\\]+)")re"));
  static const QRegularExpression shaped(QStringLiteral(R"re("((?:ms|kb|mp)_[A-Za-z0-9_]+)")re"));
  auto known = [&](const QString& literal) {
    const QString name = literal.toLower();
    if (name.endsWith(QLatin1Char('_'))) {
      return std::any_of(names.begin(), names.end(), [&](const QString& n) { return n.startsWith(name); });
    }
    return names.contains(name) || other.contains(name) || !SubPageFile(name).isEmpty();
  };
  QDirIterator it(Env("VZ_SOURCE_DIR") + QStringLiteral("/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (path.contains(QLatin1String("/src/platform/"))) {
      continue;  // the toolkit's own code names no skin controls
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text)) << S(path);
    const QString text = QString::fromUtf8(f.readAll());
    QSet<QString> reported;  // a lookup of a shaped name matches both patterns
    for (const QRegularExpression* re : {&lookup, &shaped}) {
      for (auto m = re->globalMatch(text); m.hasNext();) {
        const auto match = m.next();
        const int line = static_cast<int>(text.left(match.capturedStart()).count(QLatin1Char('\n'))) + 1;
        const QString where = QStringLiteral("%1:%2").arg(line).arg(match.captured(1));
        if (!known(match.captured(1)) && !reported.contains(where)) {
          reported.insert(where);
          ADD_FAILURE() << S(path) << ":" << line << " names \"" << S(match.captured(1)) << "\", which no layout has";
        }
      }
    }
  }
}

// Texts the program shows from code are language keys of a few families (messages, key and
// function names, the recording button, direction labels); every one it names must be there.
TEST_F(SkinTest, TextKeysUsedInTheSourcesAreTranslated) {
  QStringList problems;
  const auto english = ReadLanguage(skin, kLanguages[0], &problems);
  static const QRegularExpression key(QStringLiteral(
      R"re("(message_text_\d+|keyboard_key_[^"\\]+|(?:mouse|media|web|wed|system|combo)_[A-Za-z_]+|GUN_\d+|close_text|macro_btn_\w+_text|Deng_FX\w+_text)")re"));
  QDirIterator it(Env("VZ_SOURCE_DIR") + QStringLiteral("/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (path.contains(QLatin1String("/src/platform/"))) {
      continue;
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text)) << S(path);
    const QString text = QString::fromUtf8(f.readAll());
    for (auto m = key.globalMatch(text); m.hasNext();) {
      const QString k = m.next().captured(1);
      // A literal that ends in "_" is the start of keys completed at run time.
      const bool found = k.endsWith(QLatin1Char('_'))
                             ? std::any_of(english.keyBegin(), english.keyEnd(), [&](const QString& e) { return e.startsWith(k); })
                             : english.contains(k);
      EXPECT_TRUE(found) << S(path) << " shows \"" << S(k) << "\", which the language files lack";
    }
  }
}

// ------------------------------------------------------------------ the on-screen keyboard

// Lighting column map: for each of the 23 columns the key positions of rows 0..5 (126 = none).
constexpr std::array<std::array<int, 6>, 23> kColumnMap = {{
    {126, 126, 126, 126, 126, 105}, {126, 21, 42, 63, 84, 106}, {0, 22, 43, 64, 85, 107}, {1, 23, 44, 65, 86, 126},
    {2, 24, 45, 66, 87, 126},       {3, 25, 46, 67, 88, 126},   {4, 26, 47, 68, 89, 108}, {126, 27, 48, 69, 90, 126},
    {5, 28, 49, 70, 91, 126},       {6, 29, 50, 71, 92, 109},   {7, 30, 51, 72, 93, 126}, {8, 31, 52, 73, 94, 110},
    {9, 32, 53, 74, 126, 126},      {10, 33, 54, 126, 126, 111}, {11, 34, 55, 75, 95, 126}, {12, 126, 126, 126, 126, 112},
    {13, 35, 56, 126, 126, 113},    {14, 36, 57, 126, 96, 114}, {15, 37, 58, 126, 126, 115}, {126, 38, 59, 76, 97, 116},
    {126, 39, 60, 77, 98, 126},     {126, 40, 61, 78, 99, 117}, {126, 41, 126, 119, 118, 126},
}};

TEST(KeyboardLayout, TableHoldsEveryPositionOnceWithUnambiguousDefaults) {
  const auto rows = ReadKeyboardLayout();
  ASSERT_EQ(rows.size(), 126u);
  QSet<int> triples;
  for (size_t i = 0; i < rows.size(); ++i) {
    const LayoutRow& r = rows[i];
    EXPECT_EQ(r.position, static_cast<int>(i));
    const int triple = r.type << 16 | r.param1 << 8 | r.param2;
    if (!r.key) {
      EXPECT_EQ(triple, 0x200000) << "position " << r.position << " is no key and must hold (0x20, 0, 0)";
      continue;
    }
    EXPECT_NE(triple, 0x200000) << "key position " << r.position << " would match no device key";
    // Two positions with one default would both take the same device key.
    EXPECT_FALSE(triples.contains(triple)) << "position " << r.position << " repeats a default assignment";
    triples.insert(triple);
    EXPECT_TRUE(r.name.startsWith(QLatin1String("keyboard_key_"))) << r.position;
  }
}

TEST(KeyboardLayout, FixedPositionsHoldTheirKeys) {
  const auto rows = ReadKeyboardLayout();
  ASSERT_EQ(rows.size(), 126u);
  struct Fixed {
    int position, type, param1, param2;
  };
  std::vector<Fixed> fixed = {{0, 0x20, 0, 0x29}, {84, 0x20, 0x02, 0}, {110, 0xA0, 0x02, 0x02}, {125, 0x20, 0x80, 0}};
  for (int f = 1; f <= 12; ++f) {
    fixed.push_back({f, 0x20, 0, 0x39 + f});
  }
  for (const Fixed& f : fixed) {
    const LayoutRow& r = rows[static_cast<size_t>(f.position)];
    EXPECT_TRUE(r.key) << f.position;
    EXPECT_EQ(std::make_tuple(r.type, r.param1, r.param2), std::make_tuple(f.type, f.param1, f.param2)) << "position " << f.position;
  }
}

// Effects sweep the keyboard by the column map, so a key must sit in the row the map gives it
// and the keys of a row must follow the map's column order from left to right.
TEST(KeyboardLayout, AgreesWithTheLightingColumnMap) {
  const auto rows = ReadKeyboardLayout();
  ASSERT_EQ(rows.size(), 126u);
  QSet<int> mapped;
  std::array<int, 6> lastX;
  lastX.fill(-1);
  for (const auto& column : kColumnMap) {
    for (int row = 0; row < 6; ++row) {
      const int p = column[static_cast<size_t>(row)];
      if (p == 126) {
        continue;
      }
      mapped.insert(p);
      const LayoutRow& r = rows[static_cast<size_t>(p)];
      ASSERT_TRUE(r.key) << "the column map lights position " << p << ", which the table has no key for";
      EXPECT_EQ(r.row, row) << "position " << p;
      EXPECT_GT(r.x, lastX[static_cast<size_t>(row)]) << "position " << p << " is left of the key before it in row " << row;
      lastX[static_cast<size_t>(row)] = r.x;
    }
  }
  for (const LayoutRow& r : rows) {
    if (r.key && !mapped.contains(r.position)) {
      EXPECT_EQ(r.position, 125) << "only the right Win key stands outside the column map";
    }
  }
}

TEST_F(SkinTest, OnScreenKeysAreTheTableKeysWithoutOverlap) {
  const auto rows = ReadKeyboardLayout();
  const Window main = skin.BuildWindow(QStringLiteral("main.xml"));
  struct Rect {
    int position, l, t, r, b;
  };
  std::vector<Rect> rects;
  for (const LayoutRow& row : rows) {
    const Control* c = main.Find(QStringLiteral("kb_key_%1").arg(row.position));
    EXPECT_EQ(c != nullptr, row.key) << "kb_key_" << row.position;
    if (!c) {
      continue;
    }
    const QStringList pos = c->attrs.value(QStringLiteral("pos")).split(QLatin1Char(','));
    ASSERT_EQ(pos.size(), 4) << "kb_key_" << row.position;
    rects.push_back({row.position, pos[0].toInt(), pos[1].toInt(), pos[2].toInt(), pos[3].toInt()});
    EXPECT_EQ(c->attrs.value(QStringLiteral("text")), row.name) << "kb_key_" << row.position;
  }
  for (size_t i = 0; i < rects.size(); ++i) {
    EXPECT_LT(rects[i].l, rects[i].r);
    EXPECT_LT(rects[i].t, rects[i].b);
    for (size_t j = i + 1; j < rects.size(); ++j) {
      const bool overlap = rects[i].l < rects[j].r && rects[j].l < rects[i].r && rects[i].t < rects[j].b && rects[j].t < rects[i].b;
      EXPECT_FALSE(overlap) << "kb_key_" << rects[i].position << " overlaps kb_key_" << rects[j].position;
    }
  }
}

}  // namespace
}  // namespace vz::skin_check

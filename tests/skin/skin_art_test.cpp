// The artwork renderer: an element's own box fills the image, whatever translation places it
// in the source, the whole document is drawn without an element, and a broken manifest line
// stops the build with the line named and nothing written.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Two pictures side by side: the left half of "a" is red, "b" is all blue.
constexpr char kSource[] = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="20" viewBox="0 0 40 20">
  <g id="a"><rect width="20" height="20" fill="none"/><rect width="10" height="20" fill="#FF0000"/></g>
  <g id="b" transform="translate(20,0)"><rect width="20" height="20" fill="#0000FF"/></g>
</svg>)svg";

struct ToolRun {
  int exitCode = -1;
  QString errors;
};

class SkinArt : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QFile svg(dir_.filePath(QStringLiteral("pair.svg")));
    ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
    svg.write(kSource);
  }
  ToolRun Render(const QByteArray& manifest) {
    QFile list(dir_.filePath(QStringLiteral("art.list")));
    EXPECT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(manifest);
    list.close();
    QProcess tool;
    tool.start(QStringLiteral(VZ_SKIN_ART), {list.fileName(), dir_.path(), dir_.filePath(QStringLiteral("out"))});
    EXPECT_TRUE(tool.waitForFinished(30000));
    return {tool.exitCode(), QString::fromLocal8Bit(tool.readAllStandardError())};
  }
  QImage Output(const QString& name) { return QImage(dir_.filePath(QStringLiteral("out/") + name)); }
  QTemporaryDir dir_;
};

TEST_F(SkinArt, ElementBoxFillsTheImageWhereverTheSourcePlacesIt) {
  const ToolRun run = Render("# two pictures of one source\n"
                         "x/a.png 40,40 pair.svg a\n"
                         "x/b.png 8,8   pair.svg b   # translated in the source\n"
                         "whole.png 40,20 pair.svg\n");
  ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
  const QImage a = Output(QStringLiteral("x/a.png"));
  ASSERT_EQ(a.size(), QSize(40, 40));
  EXPECT_EQ(QColor(a.pixel(5, 20)), QColor(Qt::red));
  EXPECT_EQ(qAlpha(a.pixel(35, 20)), 0) << "the right half of element a is transparent";
  const QImage b = Output(QStringLiteral("x/b.png"));
  ASSERT_EQ(b.size(), QSize(8, 8));
  EXPECT_EQ(QColor(b.pixel(0, 0)), QColor(Qt::blue));
  EXPECT_EQ(QColor(b.pixel(7, 7)), QColor(Qt::blue));
  const QImage whole = Output(QStringLiteral("whole.png"));
  EXPECT_EQ(QColor(whole.pixel(2, 10)), QColor(Qt::red));
  EXPECT_EQ(QColor(whole.pixel(30, 10)), QColor(Qt::blue));
}

TEST_F(SkinArt, BrokenLinesStopWithTheirNumber) {
  struct Case {
    const char* manifest;
    const char* says;
  };
  const Case cases[] = {
      {"ok.png 4,4 pair.svg a\nbad.png 4x4 pair.svg a\n", "line 2"},
      {"bad.png 4,4 pair.svg nosuch\n", "no element \"nosuch\""},
      {"bad.png 4,4 missing.svg\n", "cannot read missing.svg"},
      {"../bad.png 4,4 pair.svg a\n", "inside the skin folder"},
      {"bad.png 4,4\n", "expected"},
      {"bad.png 0,4 pair.svg a\n", "bad size"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Render(c.manifest);
    EXPECT_EQ(run.exitCode, 1) << c.manifest;
    EXPECT_TRUE(run.errors.contains(QString::fromUtf8(c.says))) << c.manifest << " -> " << run.errors.toStdString();
    EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("out/bad.png")))) << c.manifest;
  }
}

}  // namespace

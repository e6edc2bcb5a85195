// Renders the skin's PNG artwork from SVG sources, as listed in a manifest.
//
//   vz_skin_art MANIFEST SOURCE_DIR OUTPUT_DIR
//
// Each manifest line is "output size source [element]" separated by blanks; '#' starts a
// comment. "size" is "w,h" in pixels. Without an element the whole document is drawn onto the
// image; with one, that element's bounding box is drawn onto the image, so a source keeps many
// pictures side by side (each group carries an invisible rectangle that fixes its box). The
// program exits with 1 and names the line on the first fault, so a broken source breaks the build.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

struct ArtLine {
  int number = 0;
  QString output;
  QSize size;
  QString source;
  QString element;
};

bool Fail(const QString& where, const QString& what) {
  std::fprintf(stderr, "vz_skin_art: %s: %s\n", qPrintable(where), qPrintable(what));
  return false;
}

bool ParseLine(const QString& text, int number, ArtLine& line) {
  const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (parts.size() != 3 && parts.size() != 4) {
    return Fail(QStringLiteral("line %1").arg(number), QStringLiteral("expected: output size source [element]"));
  }
  const QStringList wh = parts[1].split(QLatin1Char(','));
  bool okW = false;
  bool okH = false;
  const int w = wh.size() == 2 ? wh[0].toInt(&okW) : 0;
  const int h = wh.size() == 2 ? wh[1].toInt(&okH) : 0;
  if (!okW || !okH || w <= 0 || h <= 0 || w > 4096 || h > 4096) {
    return Fail(QStringLiteral("line %1").arg(number), QStringLiteral("bad size \"%1\"").arg(parts[1]));
  }
  if (parts[0].contains(QStringLiteral("..")) || QDir::isAbsolutePath(parts[0])) {
    return Fail(QStringLiteral("line %1").arg(number), QStringLiteral("output must stay inside the skin folder"));
  }
  line = {number, parts[0], QSize(w, h), parts[2], parts.size() == 4 ? parts[3] : QString()};
  return true;
}

bool Render(const ArtLine& line, QSvgRenderer& svg, const QString& outputDir) {
  const QString where = QStringLiteral("line %1 (%2)").arg(line.number).arg(line.output);
  QImage image(line.size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF target(QPointF(0, 0), QSizeF(line.size));
    if (line.element.isEmpty()) {
      svg.render(&painter, target);
    } else {
      if (!svg.elementExists(line.element)) {
        return Fail(where, QStringLiteral("no element \"%1\" in %2").arg(line.element, line.source));
      }
      // The renderer maps the element's own box onto the target and ignores the transforms of
      // the groups around it, so sources keep such elements free of outer transforms.
      svg.render(&painter, line.element, target);
    }
  }
  const QString path = QDir(outputDir).filePath(line.output);
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    return Fail(where, QStringLiteral("cannot create the folder of %1").arg(path));
  }
  // Written beside the target and renamed, so an interrupted build never leaves half an image.
  const QString temp = path + QStringLiteral(".part");
  if (!image.save(temp, "PNG")) {
    return Fail(where, QStringLiteral("cannot write %1").arg(temp));
  }
  QFile::remove(path);
  if (!QFile::rename(temp, path)) {
    return Fail(where, QStringLiteral("cannot move %1 into place").arg(path));
  }
  return true;
}

bool Run(const QString& manifestPath, const QString& sourceDir, const QString& outputDir) {
  QFile manifest(manifestPath);
  if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return Fail(manifestPath, QStringLiteral("cannot open"));
  }
  QMap<QString, std::shared_ptr<QSvgRenderer>> sources;
  QTextStream in(&manifest);
  int number = 0;
  int rendered = 0;
  while (!in.atEnd()) {
    QString text = in.readLine();
    ++number;
    const qsizetype hash = text.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
      text.truncate(hash);
    }
    text = text.simplified();
    if (text.isEmpty()) {
      continue;
    }
    ArtLine line;
    if (!ParseLine(text, number, line)) {
      return false;
    }
    auto& svg = sources[line.source];
    if (!svg) {
      svg = std::make_shared<QSvgRenderer>(QDir(sourceDir).filePath(line.source));
      if (!svg->isValid()) {
        return Fail(QStringLiteral("line %1").arg(number), QStringLiteral("cannot read %1").arg(line.source));
      }
    }
    if (!Render(line, *svg, outputDir)) {
      return false;
    }
    ++rendered;
  }
  std::printf("vz_skin_art: %d images from %d sources\n", rendered, static_cast<int>(sources.size()));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: vz_skin_art MANIFEST SOURCE_DIR OUTPUT_DIR\n");
    return 2;
  }
  // The build machine may have no display; the renderer needs none.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication app(argc, argv);
  return Run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])) ? 0 : 1;
}

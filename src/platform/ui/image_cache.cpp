#include "platform/ui/image_cache.h"

#include <QPainter>
#include <QSvgRenderer>
#include <map>
#include <mutex>
#include <set>

#include "platform/ui/diagnostics.h"
#include "platform/ui/paint_manager.h"

namespace vz::ui {
namespace {

struct Cache {
  std::mutex lock;
  std::map<std::string, QImage> images;
  std::set<std::string> reported;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && EqualsNoCase(text.substr(text.size() - tail.size()), tail);
}

}  // namespace

std::optional<ImageDescription> ParseImageDescription(const std::string& text) {
  ImageDescription desc;
  if (text.find('=') == std::string::npos) {
    desc.file = text;
    return desc;
  }
  auto pairs = ParseKeyValues(text);
  if (!pairs) {
    ReportDiagnostic("malformed image description: " + text);
    return std::nullopt;
  }
  for (const auto& [key, value] : *pairs) {
    std::string k = ToLower(key);
    bool ok = true;
    if (k == "file" || k == "res") {
      desc.file = value;
    } else if (k == "source") {
      desc.source = ParseRect(value);
      ok = desc.source.has_value();
    } else if (k == "corner") {
      auto r = ParseRect(value);
      ok = r.has_value();
      if (r) desc.corner = *r;
    } else if (k == "dest") {
      desc.dest = ParseRect(value);
      ok = desc.dest.has_value();
    } else if (k == "fade") {
      auto v = ParseInt(value);
      ok = v && *v >= 0 && *v <= 255;
      if (ok) desc.fade = *v;
    } else if (k == "xtiled" || k == "ytiled") {
      auto v = ParseBool(value);
      ok = v.has_value();
      (k == "xtiled" ? desc.xtiled : desc.ytiled) = v.value_or(false);
    } else {
      ReportDiagnostic("unknown image key '" + key + "' in: " + text);
    }
    if (!ok) ReportDiagnostic("bad value of image key '" + key + "' in: " + text);
  }
  return desc;
}

QImage LoadSkinImage(const std::string& file, UISize size) {
  auto resolved = CPaintManagerUI::ResolveResourceFile(file);
  Cache& cache = TheCache();
  std::lock_guard guard(cache.lock);
  if (!resolved) {
    if (cache.reported.insert(file).second) ReportDiagnostic("image not found: " + file);
    return {};
  }
  bool svg = EndsWithNoCase(*resolved, ".svg");
  std::string key = svg ? *resolved + "@" + std::to_string(size.cx) + "x" + std::to_string(size.cy)
                        : *resolved;
  auto it = cache.images.find(key);
  if (it != cache.images.end()) return it->second;
  QImage image;
  if (svg) {
    QSvgRenderer renderer(QString::fromStdString(*resolved));
    if (renderer.isValid()) {
      QSize target = size.cx > 0 && size.cy > 0 ? QSize(size.cx, size.cy) : renderer.defaultSize();
      image = QImage(target, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      QPainter painter(&image);
      renderer.render(&painter);
    }
  } else {
    image.load(QString::fromStdString(*resolved));
  }
  if (image.isNull()) {
    if (cache.reported.insert(file).second) ReportDiagnostic("image cannot be read: " + *resolved);
    return {};
  }
  cache.images.emplace(key, image);
  return image;
}

void ClearImageCache() {
  std::lock_guard guard(TheCache().lock);
  TheCache().images.clear();
  TheCache().reported.clear();
}

}  // namespace vz::ui

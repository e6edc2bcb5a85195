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
  // Descriptions are parsed once: controls paint the same few strings over and over.
  std::map<std::string, std::optional<ImageDescription>> descriptions;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && EqualsNoCase(text.substr(text.size() - tail.size()), tail);
}

}  // namespace

static std::optional<ImageDescription> ParseUncached(const std::string& text) {
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

std::optional<ImageDescription> ParseImageDescription(const std::string& text) {
  Cache& cache = TheCache();
  {
    std::lock_guard guard(cache.lock);
    auto it = cache.descriptions.find(text);
    if (it != cache.descriptions.end()) return it->second;
  }
  auto parsed = ParseUncached(text);
  std::lock_guard guard(cache.lock);
  cache.descriptions.emplace(text, parsed);
  return parsed;
}

QImage LoadSkinImage(const std::string& file, UISize size) {
  // Keyed by the name as the skin writes it, so that painting never touches the disk twice.
  bool svg = EndsWithNoCase(file, ".svg");
  std::string key = svg ? file + "@" + std::to_string(size.cx) + "x" + std::to_string(size.cy) : file;
  Cache& cache = TheCache();
  {
    std::lock_guard guard(cache.lock);
    auto it = cache.images.find(key);
    if (it != cache.images.end()) return it->second;
    if (cache.reported.count(file)) return {};
  }
  auto resolved = CPaintManagerUI::ResolveResourceFile(file);
  QImage image;
  if (resolved && svg) {
    QSvgRenderer renderer(QString::fromStdString(*resolved));
    if (renderer.isValid()) {
      QSize target = size.cx > 0 && size.cy > 0 ? QSize(size.cx, size.cy) : renderer.defaultSize();
      image = QImage(target, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      QPainter painter(&image);
      renderer.render(&painter);
    }
  } else if (resolved) {
    image.load(QString::fromStdString(*resolved));
  }
  std::lock_guard guard(cache.lock);
  if (image.isNull()) {
    if (cache.reported.insert(file).second) {
      ReportDiagnostic(resolved ? "image cannot be read: " + *resolved : "image not found: " + file);
    }
    return {};
  }
  cache.images.emplace(key, image);
  return image;
}

void ClearImageCache() {
  std::lock_guard guard(TheCache().lock);
  TheCache().images.clear();
  TheCache().reported.clear();
  TheCache().descriptions.clear();
}

}  // namespace vz::ui

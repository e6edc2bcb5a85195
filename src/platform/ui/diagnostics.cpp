#include "platform/ui/diagnostics.h"

#include <mutex>

#include "platform/system/sync.h"

namespace vz::ui {
namespace {

// Bounded so that a layout repeated in a long scenario cannot grow it without end.
constexpr std::size_t kMaxEntries = 2000;

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

std::vector<std::string>& Entries() {
  static std::vector<std::string> entries;
  return entries;
}

}  // namespace

void ReportDiagnostic(const std::string& text) {
  DebugOutput("ui: " + text);
  std::lock_guard guard(Lock());
  if (Entries().size() < kMaxEntries) Entries().push_back(text);
}

std::vector<std::string> Diagnostics() {
  std::lock_guard guard(Lock());
  return Entries();
}

void ClearDiagnostics() {
  std::lock_guard guard(Lock());
  Entries().clear();
}

}  // namespace vz::ui

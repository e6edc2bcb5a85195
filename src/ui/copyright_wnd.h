// Ccopyright: the About window. Modeless, built from its own layout ("CopyRight.xml"): the
// product information of the skin files and a link to the maker's home page.
#pragma once

#include <string>

#include "platform/ui/window.h"

namespace vz::ui {

class Ccopyright : public WindowImplBase {
 public:
  explicit Ccopyright(std::string layoutFile) : layoutFile_(std::move(layoutFile)) {}

  // Creates the window owned by `owner`, places it as the main window places it (x twice
  // the owner's left, y half its bottom less 80) and shows it. The object deletes itself
  // when the window is closed.
  static void Open(CWindowWnd* owner);

 protected:
  std::string GetWindowClassName() const override { return "UICOPYRIGHT"; }
  std::string GetSkinFile() const override { return layoutFile_; }
  void OnClick(TNotifyUI& msg) override;
  void OnFinalMessage() override { delete this; }

 private:
  std::string layoutFile_;
};

// The maker's home page that "NetText" opens.
inline constexpr const char* kHomePage = "https://www.kavrel-ostrin.example/";

}  // namespace vz::ui

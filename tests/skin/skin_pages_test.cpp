// Builds every page of the skin with the real toolkit, offscreen, in each language: the
// builder must report nothing, no shown text may be wider than its control and no control may
// stick out of its parent. Each page is also saved as a PNG under <build>/skin-preview for a
// look by eye.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFontMetrics>

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/button.h"
#include "platform/ui/container.h"
#include "platform/ui/control.h"
#include "platform/ui/diagnostics.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/label.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/render.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/window.h"
#include "skin_reader.h"
#include "ui/custom_controls.h"
#include "ui/device_key_button.h"
#include "platform/ui/progress.h"

namespace vz::skin_check {
namespace {

using ui::CControlUI;

// The main window's creation callback, as the application has it: sub-page elements become
// their layouts, the key button and the progress ring the program's own controls.
class PageWindow : public ui::WindowImplBase {
 public:
  explicit PageWindow(std::string skin) : skin_(std::move(skin)) {}
  CControlUI* CreateControl(const std::string& element) override {
    const QString sub = SubPageFile(QString::fromStdString(element));
    if (!sub.isEmpty()) {
      ui::CDialogBuilder builder;
      return builder.Create(sub.toStdString(), nullptr, &m_pm);
    }
    const QString e = QString::fromStdString(element).toLower();
    if (e == QLatin1String("devicekeybutton")) {
      return ui::CControlFactory::GetInstance().CreateControl("CDeviceKeyButtonUI");
    }
    if (e == QLatin1String("circleprogress")) {
      return ui::CControlFactory::GetInstance().CreateControl("CCircleProgressUI");
    }
    return nullptr;
  }

 protected:
  std::string GetWindowClassName() const override { return "SkinPage"; }
  std::string GetSkinFile() const override { return skin_; }

 private:
  std::string skin_;
};

bool ShownOnScreen(CControlUI* c) {
  for (CControlUI* p = c; p; p = p->GetParent()) {
    if (!p->IsVisible()) {
      return false;
    }
    CControlUI* parent = p->GetParent();
    if (parent && parent->GetClass() == "TabLayout") {
      auto* tab = static_cast<ui::CTabLayoutUI*>(parent);
      if (tab->GetItemAt(tab->GetCurSel()) != p) {
        return false;
      }
    }
  }
  return true;
}

bool InScrollingParent(CControlUI* c) {
  for (CControlUI* p = c->GetParent(); p; p = p->GetParent()) {
    if (p->AsContainer() && p->AsContainer()->IsVScrollEnabled()) {
      return true;
    }
    if (p->GetClass() == "Combo" || p->GetClass() == "List") {
      return true;
    }
  }
  return false;
}

struct Page {
  const char* name;
  std::function<void(ui::CPaintManagerUI&)> show;
};

void Select(ui::CPaintManagerUI& pm, const char* tab, int page) {
  auto* t = static_cast<ui::CTabLayoutUI*>(pm.FindControl(tab));
  ASSERT_TRUE(t) << tab;
  t->SelectItem(page);
}
void Show(ui::CPaintManagerUI& pm, const char* name, bool visible = true) {
  CControlUI* c = pm.FindControl(name);
  ASSERT_TRUE(c) << name;
  c->SetVisible(visible);
}
void Pick(ui::CPaintManagerUI& pm, const char* option) {
  auto* o = dynamic_cast<ui::COptionUI*>(pm.FindControl(option));
  ASSERT_TRUE(o) << option;
  o->Selected(true, false);
}

std::vector<Page> MainPages() {
  auto device = [](const char* devTab, int devPage, const char* panel) {
    return [=](ui::CPaintManagerUI& pm) {
      Show(pm, "setting_progress", false);
      for (const char* t : {"kb_tab", "ms_tab", "mp_tab"}) {
        Show(pm, t);
      }
      Pick(pm, devTab);
      Select(pm, "tab_switch", devPage);
      if (panel) {
        Show(pm, panel);
      }
    };
  };
  auto ms = [=](const char* tab, int page) {
    return [=](ui::CPaintManagerUI& pm) {
      device("ms_tab", 1, "ms_tab_panel")(pm);
      Pick(pm, tab);
      Select(pm, "ms_tab_switch", page);
    };
  };
  auto kb = [=](const char* tab, int page, bool keys) {
    return [=](ui::CPaintManagerUI& pm) {
      device("kb_tab", 0, "kb_tab_panel")(pm);
      Pick(pm, tab);
      Select(pm, "kb_tab_switch", page);
      Show(pm, "kb_deng_layout", !keys);
      Show(pm, "kb_tab_key_seting", keys);
    };
  };
  auto panel = [](auto base, const char* k, std::vector<const char*> lists) {
    return [=](ui::CPaintManagerUI& pm) {
      base(pm);
      Show(pm, (std::string(k) + "_profile_fun_spead_tab").c_str());
      for (const char* l : lists) {
        Show(pm, (std::string(k) + "_" + l + "_profile_edit").c_str());
        Show(pm, (std::string(k) + "_" + l + "_profile_link_name_hor").c_str());
      }
    };
  };
  auto withFunction = [](auto base, const char* k, int shown) {
    return [=](ui::CPaintManagerUI& pm) {
      base(pm);
      pm.FindControl(std::string(k) + "_tab_function")->SetEnabled(true);
      auto* panels = pm.FindControl(std::string(k) + "_tab_function_switch_1")->AsContainer();
      for (int i = 0; i < panels->GetCount(); ++i) {
        panels->GetItemAt(i)->SetVisible(false);
      }
      Show(pm, (std::string(k) + "_tab_function_" + std::to_string(shown)).c_str());
    };
  };
  return {
      {"ms_lighting", ms("ms_deng_Op_tab", 0)},
      {"ms_macros", ms("ms_macro_Op_tab", 1)},
      {"ms_buttons", ms("ms_key_Op_tab", 2)},
      {"ms_buttons_hover", [=](ui::CPaintManagerUI& pm) {
         // The pointer over the labels of the left and the back button swaps in their lit image.
         ms("ms_key_Op_tab", 2)(pm);
         pm.FindControl("ms_key_0_0")->SetBkImage("file='ms/key_left_down.png'");
         pm.FindControl("ms_key_4_0")->SetBkImage("file='ms/key_back_down.png'");
       }},
      {"ms_lighting_lit", [=](ui::CPaintManagerUI& pm) {
         ms("ms_deng_Op_tab", 0)(pm);
         for (int n = 0; n < 20; ++n) {
           CControlUI* led = pm.FindControl("ms_dkey_" + std::to_string(n));
           led->SetChangerColor(0xFF000000u | static_cast<ui::UIColor>(QColor::fromHsv(n * 18, 255, 255).rgb() & 0xFFFFFF));
           led->SetChangerAlpha(255);
         }
       }},
      {"mp_lighting_lit", [=](ui::CPaintManagerUI& pm) {
         device("mp_tab", 2, nullptr)(pm);
         for (int n = 0; n < 15; ++n) {
           CControlUI* led = pm.FindControl("mp_dkey_" + std::to_string(n));
           led->SetChangerColor(0xFF000000u | static_cast<ui::UIColor>(QColor::fromHsv(n * 24, 255, 255).rgb() & 0xFFFFFF));
           led->SetChangerAlpha(255);
         }
       }},
      {"ms_buttons_swing", withFunction(ms("ms_key_Op_tab", 2), "ms", 2)},
      {"ms_buttons_macro", [=](ui::CPaintManagerUI& pm) {
         withFunction(ms("ms_key_Op_tab", 2), "ms", 9)(pm);
         Show(pm, "ms_tab_function_26");
       }},
      {"ms_performance", ms("ms_rich_Op_tab", 3)},
      {"ms_cursor", ms("ms_cursor_Op_tab", 4)},
      {"ms_profiles", panel(ms("ms_deng_Op_tab", 0), "ms", {"device", "deng"})},
      {"kb_lighting", kb("kb_deng_Op_tab", 2, false)},
      {"kb_lighting_custom", [=](ui::CPaintManagerUI& pm) {
         kb("kb_deng_Op_tab", 2, false)(pm);
         // The per-key mode hides the effect, seven-colour and colour-display groups.
         Show(pm, "kb_deng_fx_layout", false);
         Show(pm, "kb_deng_7colorselect_layout", false);
         Show(pm, "kb_deng_custom_tool_layout");
         Show(pm, "kb_deng_custom_color_layout");
         Show(pm, "kb_deng_color_display_layout", false);
       }},
      {"kb_lit", [=](ui::CPaintManagerUI& pm) {
         // Keys lit in a rainbow by column, a few marked as reassigned, LED previews tinted,
         // the progress ring a quarter full: how the pictures look while the program runs.
         kb("kb_deng_Op_tab", 2, false)(pm);
         for (int p = 0; p < 126; ++p) {
           if (auto* key = dynamic_cast<ui::CDeviceKeyButtonUI*>(pm.FindControl("kb_key_" + std::to_string(p)))) {
             const QColor c = QColor::fromHsv((p * 7) % 360, 255, 255);
             key->SetLight(0xFF000000u | static_cast<ui::UIColor>(c.rgb() & 0xFFFFFF), 200, true);
             key->SetKeySetHidden(p % 9 != 0);
           }
         }
         auto* ring = dynamic_cast<ui::CProgressUI*>(pm.FindControl("setting_progress"));
         ASSERT_TRUE(ring);
         ring->SetValue(25);
         ring->SetVisible(true);
       }},
      {"kb_keys", withFunction(kb("kb_key_Op_tab", 2, true), "kb", 3)},
      {"kb_macros", [=](ui::CPaintManagerUI& pm) {
         kb("kb_macro_Op_tab", 1, false)(pm);
         Show(pm, "kb_MacroName", false);
         Show(pm, "kb_MacroMouseEvent");
         Show(pm, "kb_macro_tab_saveorcancel");
       }},
      {"kb_cursor", kb("kb_cursor_Op_tab", 3, false)},
      {"kb_profiles", panel(kb("kb_deng_Op_tab", 2, false), "kb", {"key"})},
      {"mp_lighting", device("mp_tab", 2, nullptr)},
      {"mp_profiles", panel(device("mp_tab", 2, nullptr), "mp", {"deng"})},
  };
}

struct Look {
  const char* language;
  int dpi;
};

class SkinPages : public ::testing::TestWithParam<Look> {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char arg0[] = "skin_pages";
    static char* argv[] = {arg0, nullptr};
    if (!QApplication::instance()) {
      new QApplication(argc, argv);
    }
    const QString skin = qEnvironmentVariable("VZ_PROGRAM_DIR") + QStringLiteral("/skin/");
    ui::CPaintManagerUI::SetResourcePath(skin.toStdString());
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadResource("res.xml"));
    ui::RegisterCustomControls();
  }

  void Capture(PageWindow& w, const std::string& name) {
    ui::CPaintManagerUI& pm = w.PaintManager();
    pm.UpdateLayout();
    const QString dir = qEnvironmentVariable("VZ_PROGRAM_DIR") + QStringLiteral("/../skin-preview/") +
                        QString::fromLatin1(GetParam().language) +
                        (GetParam().dpi == 96 ? QString() : QStringLiteral("-%1").arg(GetParam().dpi));
    QDir().mkpath(dir);
    pm.SaveScreenshot((dir + QStringLiteral("/") + QString::fromStdString(name) + QStringLiteral(".png")).toStdString());
    const ui::UIRect window = pm.GetRoot()->GetPos();
    pm.ForEachControl([&](CControlUI& c) {
      if (!ShownOnScreen(&c)) {
        return;
      }
      const ui::UIRect rc = c.GetPos();
      const std::string who = name + ": " + (c.GetName().empty() ? c.GetClass() + " \"" + c.GetTextRaw() + "\"" : c.GetName());
      if (rc.IsEmpty() || InScrollingParent(&c)) {
        return;
      }
      CControlUI* parent = c.GetParent();
      const ui::UIRect outer = parent ? parent->GetPos() : window;
      EXPECT_TRUE(rc.left >= outer.left && rc.top >= outer.top && rc.right <= outer.right && rc.bottom <= outer.bottom)
          << who << " at " << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom << " sticks out of its parent "
          << outer.left << "," << outer.top << "," << outer.right << "," << outer.bottom;
      auto* label = dynamic_cast<ui::CLabelUI*>(&c);
      // Edits hold what the user types; labels that end in an ellipsis (texts set at run time,
      // such as macro names on buttons) are laid out to be cut.
      if (!label || c.GetClass() == "Edit" || (label->GetTextStyle() & ui::kAlignEndEllipsis)) {
        return;
      }
      const QString text = QString::fromStdString(c.GetText());
      if (text.isEmpty()) {
        return;
      }
      const QFontMetrics fm(pm.GetQFont(label->GetFont()));
      const ui::UIRect pad = label->GetTextPadding();
      const int width = rc.Width() - pm.Scale(pad.left) - pm.Scale(pad.right);
      if (label->GetTextStyle() & ui::kAlignWordBreak) {
        const int need = fm.boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, text).height();
        EXPECT_LE(need, rc.Height() + 1) << who << ": \"" << text.toStdString() << "\" needs " << need << " px of height "
                                         << rc.Height();
        return;
      }
      const int need = fm.horizontalAdvance(text);
      EXPECT_LE(need, width + 1) << who << ": \"" << text.toStdString() << "\" needs " << need << " px of " << width;
    });
  }
};

TEST_P(SkinPages, EveryPageBuildsAndFits) {
  ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(std::string("lan_") + GetParam().language + ".xml"));
  ui::ClearDiagnostics();
  PageWindow main("XML_MAIN");
  ASSERT_TRUE(main.Create(nullptr, "ViZirado Driver")) << main.CreateError();
  main.PaintManager().SetDPI(GetParam().dpi);
  for (const Page& p : MainPages()) {
    p.show(main.PaintManager());
    Capture(main, p.name);
  }
  for (const char* dialog : {"GmPalletDialog.xml", "skin.xml", "CopyRight.xml"}) {
    PageWindow w(dialog);
    ASSERT_TRUE(w.Create(nullptr, dialog)) << w.CreateError();
    w.PaintManager().SetDPI(GetParam().dpi);
    Capture(w, QString::fromLatin1(dialog).section(QLatin1Char('.'), 0, 0).toStdString());
    w.Close();
  }
  main.Close();
  for (const std::string& d : ui::Diagnostics()) {
    ADD_FAILURE() << d;
  }
}

// Each language at 100 %, and the longest texts (English) at 150 %, where fonts do not scale
// exactly with the boxes.
INSTANTIATE_TEST_SUITE_P(Looks, SkinPages, ::testing::Values(Look{"en", 96}, Look{"cn", 96}, Look{"tw", 96}, Look{"en", 144}),
                         [](const auto& look) { return std::string(look.param.language) + std::to_string(look.param.dpi); });

}  // namespace
}  // namespace vz::skin_check

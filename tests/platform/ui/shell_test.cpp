// Menus, the tray icon and the file dialogs: what reaches the owner window, and the scripted
// answers tests and scenarios rely on.
#include <gtest/gtest.h>

#include <QSystemTrayIcon>

#include "platform/ui/file_dialog.h"
#include "platform/ui/menu.h"
#include "platform/ui/tray_icon.h"
#include "platform/ui/ui_script.h"
#include "ui_test_support.h"

namespace vz::ui {
namespace {

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseSkinFolder(test::TestDataDir());
    ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
    ASSERT_TRUE(owner_.Create(nullptr, "owner"));
    owner_.onMessage = [this](unsigned msg, WPARAM w, LPARAM l) {
      if (msg == kMsgMenuClick) clicks_.push_back(*TakeMenuCmd(w));
      if (msg == kMsgTrayNotify) tray_.push_back(l);
      return LRESULT{0};
    };
  }
  test::RecordingWindow owner_{"XML_SAMPLE"};
  std::vector<MenuCmd> clicks_;
  std::vector<LPARAM> tray_;
};

TEST_F(ShellTest, AMenuClickReachesTheOwnerWithNameUserDataAndText) {
  auto menu = CMenuWnd::CreateMenu(&owner_, "menu_test.xml", {10, 10});
  ASSERT_NE(menu, nullptr);
  menu->AddMenuItem("Open", "Open");
  menu->AddMenuItem("Exit", "Close", "quit");
  EXPECT_EQ(menu->ItemNames(),
            (std::vector<std::string>{"lan_en", "settings", "About_setting", "Open", "Exit"}));
  EXPECT_EQ(CMenuWnd::OpenMenus().back(), menu.get());
  ASSERT_TRUE(menu->ClickItem("about_setting")) << "names in any letter case";
  ASSERT_TRUE(menu->ClickItem("Exit"));
  EXPECT_TRUE(clicks_.empty()) << "posted, not sent";
  script::Wait(10);
  ASSERT_EQ(clicks_.size(), 2u) << "an item of a sub-menu is reported once";
  EXPECT_EQ(clicks_[0].szName, "About_setting");
  EXPECT_EQ(clicks_[0].szUserData, "about-page");
  EXPECT_EQ(clicks_[1].szName, "Exit");
  EXPECT_EQ(clicks_[1].szText, "Close");
  EXPECT_FALSE(menu->ClickItem("settings")) << "a sub-menu heading is no command";
  EXPECT_FALSE(menu->ClickItem("nothing"));
}

TEST_F(ShellTest, MenuTextsFollowTheLanguageAndBadFilesBuildNoMenu) {
  auto menu = CMenuWnd::CreateMenu(&owner_, "menu_test.xml", {0, 0});
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(menu->ClickItem("lan_en"));
  script::Wait(5);
  ASSERT_EQ(clicks_.size(), 1u);
  EXPECT_EQ(clicks_[0].szText, "Settings");
  EXPECT_EQ(CMenuWnd::CreateMenu(&owner_, "no_menu.xml", {0, 0}), nullptr);
  EXPECT_EQ(CMenuWnd::CreateMenu(&owner_, "sample.xml", {0, 0}), nullptr) << "not a <Menu>";
}

// The menu lives on its owner's surface; the owner may close first and the menu must then
// neither be deleted twice nor be used after it went.
TEST_F(ShellTest, AMenuOutlivingItsOwnerIsHarmless) {
  auto owner = std::make_unique<test::RecordingWindow>("XML_SAMPLE");
  ASSERT_TRUE(owner->Create(nullptr, "short-lived"));
  auto menu = CMenuWnd::CreateMenu(owner.get(), "menu_test.xml", {0, 0});
  ASSERT_NE(menu, nullptr);
  owner.reset();
  script::Wait(5);
  EXPECT_TRUE(menu->ItemNames().empty());
  EXPECT_FALSE(menu->IsOpen());
  EXPECT_FALSE(menu->ClickItem("Exit"));
  menu->AddMenuItem("Open", "Open");
  menu.reset();
}

TEST_F(ShellTest, TrayClicksArriveAsTrayMessages) {
  CTrayIcon tray;
  EXPECT_EQ(tray.CreateTrayIcon(&owner_, 107, "Kavrel Ostrin"), QSystemTrayIcon::isSystemTrayAvailable())
      << "no icon without a tray host";
  tray.SimulateClick(kMsgLButtonUp);
  tray.SimulateClick(kMsgRButtonUp);
  script::Wait(5);
  EXPECT_EQ(tray_, (std::vector<LPARAM>{kMsgLButtonUp, kMsgRButtonUp}));
  tray.DeleteTrayIcon();
  EXPECT_FALSE(tray.IsVisible());
}

TEST(FileFilterTest, WindowsFilterStringsBecomeLabelAndPatterns) {
  struct Case {
    const char* text;
    std::vector<FileFilter> expected;  // empty: refused
  };
  const Case cases[] = {
      {"(*.config) | *.config ||", {{"(*.config)", {"*.config"}}}},
      {"(*.png) | *.png |(*.*)|*.*||", {{"(*.png)", {"*.png"}}, {"(*.*)", {"*.*"}}}},
      {"Macros|*.mac;*.txt||", {{"Macros", {"*.mac", "*.txt"}}}},
      {"Cursor (*.cur)|*.cur", {{"Cursor (*.cur)", {"*.cur"}}}},
      {"(*.png) ||", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    auto parsed = ParseFileFilter(c.text);
    if (c.expected.empty()) {
      EXPECT_FALSE(parsed.has_value()) << c.text;
      continue;
    }
    ASSERT_TRUE(parsed.has_value()) << c.text;
    ASSERT_EQ(parsed->size(), c.expected.size()) << c.text;
    for (std::size_t i = 0; i < parsed->size(); ++i) {
      EXPECT_EQ((*parsed)[i].label, c.expected[i].label) << c.text;
      EXPECT_EQ((*parsed)[i].patterns, c.expected[i].patterns) << c.text;
    }
  }
}

TEST(FileDialogTest, ScriptedDialogsTakeQueuedAnswersAndCancelWhenNoneIsLeft) {
  file_dialog_script::Reset();
  file_dialog_script::SetScripted(true);
  file_dialog_script::QueuePath("/tmp/export/profile");
  file_dialog_script::QueueCancel();
  file_dialog_script::QueuePath("/tmp/in/back.PNG");
  EXPECT_EQ(SaveFileDialog(nullptr, "(*.config) | *.config ||", "config", "default"),
            std::optional<std::string>("/tmp/export/profile.config"));
  EXPECT_EQ(OpenFileDialog(nullptr, "(*.png) | *.png |(*.*)|*.*||", "png", "*.png"), std::nullopt);
  EXPECT_EQ(OpenFileDialog(nullptr, "(*.png) | *.png |(*.*)|*.*||", "png", "*.png"),
            std::optional<std::string>("/tmp/in/back.PNG"));
  EXPECT_EQ(OpenFileDialog(nullptr, "(*.png) | *.png ||", "png", ""), std::nullopt) << "none left";
  auto requests = file_dialog_script::Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_TRUE(requests[0].save);
  EXPECT_EQ(requests[0].defaultName, "default");
  EXPECT_FALSE(requests[1].save);
  file_dialog_script::Reset();
  EXPECT_FALSE(file_dialog_script::IsScripted());
}

TEST(FileDialogTest, SavedNamesGetTheDefaultExtensionOnlyWhenTheyHaveNone) {
  EXPECT_EQ(ApplyDefaultExtension("/a/b", "led"), "/a/b.led");
  EXPECT_EQ(ApplyDefaultExtension("/a/b.pro", "led"), "/a/b.pro");
  EXPECT_EQ(ApplyDefaultExtension("/a.dir/b", "mac"), "/a.dir/b.mac");
  EXPECT_EQ(ApplyDefaultExtension("/a/b", ""), "/a/b");
}

}  // namespace
}  // namespace vz::ui

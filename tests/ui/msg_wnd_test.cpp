// The message box with the skin's own layout: its answers, its texts and the auto-close.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>

#include "../platform/ui/ui_test_support.h"
#include "platform/ui/control_host.h"
#include "platform/ui/ui_script.h"
#include "ui/msg_wnd.h"

namespace vz {
namespace {

class MsgWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::test::UseSkinFolder(ui::test::SourceDir() + "/skin/");
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
    msgbox_script::Reset();
    msgbox_script::SetListener([this](const MessageShown& m, unsigned r) { shown.push_back({m, r}); });
  }
  void TearDown() override { msgbox_script::Reset(); }

  // The open box's surface, found as a user would see it: the visible "MsgWnd" window.
  static QWidget* OpenBox() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == "MsgWnd" && w->isVisible()) return w;
    }
    return nullptr;
  }
  // Once the box is up, clicks the named control of it with real mouse events.
  static void ClickInBoxSoon(const std::string& name) {
    QTimer::singleShot(20, [name] {
      QWidget* box = OpenBox();
      ASSERT_NE(box, nullptr);
      for (auto* host : box->findChildren<ui::ControlHost*>()) {
        if (host->Owner() && host->Owner()->GetName() == name) {
          QPoint c(host->width() / 2, host->height() / 2);
          QPointF g(host->mapToGlobal(c));
          QMouseEvent press(QEvent::MouseButtonPress, c, c, g, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
          QMouseEvent release(QEvent::MouseButtonRelease, c, c, g, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
          QApplication::sendEvent(host, &press);
          QApplication::sendEvent(host, &release);
          return;
        }
      }
      FAIL() << "the box has no " << name;
    });
  }

  struct Shown {
    MessageShown box;
    unsigned result;
  };
  std::vector<Shown> shown;
};

TEST_F(MsgWndTest, ConfirmGivesOneAndEveryOtherWayOutGivesZero) {
  struct Case {
    const char* control;
    unsigned expected;
  };
  for (const Case& c : {Case{"confirm_btn", 1}, Case{"cancel_btn", 0}, Case{"closebtn", 0}}) {
    ClickInBoxSoon(c.control);
    EXPECT_EQ(ShowMessage(nullptr, "", "message_text_12", true), c.expected) << c.control;
  }
  QTimer::singleShot(20, [] { OpenBox()->close(); });
  EXPECT_EQ(ShowMessage(nullptr, "", "message_text_12", true), 0u) << "the window's own close";
  EXPECT_EQ(OpenBox(), nullptr);
}

TEST_F(MsgWndTest, TheTextIsAKeyOrALiteralAndATitleReplacesTheLayoutsOne) {
  msgbox_script::SetScripted(true);
  ShowMessage(nullptr, "", "message_text_8", true);
  ShowMessage(nullptr, "Macro 3", "message_text_8", false);
  ShowMessage(nullptr, "", "", true);
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].box.shownText, ui::CResourceManager::GetInstance().GetText("message_text_8"));
  EXPECT_NE(shown[0].box.shownText, "message_text_8") << "the skin's language file has this key";
  EXPECT_EQ(shown[1].box.shownText, "message_text_8") << "flag 0: shown as given";
  EXPECT_EQ(shown[2].box.shownText, ui::CResourceManager::GetInstance().GetText("msgbox_text"))
      << "an empty text leaves the layout's placeholder";
}

TEST_F(MsgWndTest, AnUnknownKeyStillShowsAWorkingBox) {
  ClickInBoxSoon("confirm_btn");
  EXPECT_EQ(ShowMessage(nullptr, "", "message_text_404", true), 1u);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].box.shownText, "message_text_404");
}

TEST_F(MsgWndTest, ScriptedBoxesTakeQueuedAnswersAndCancelWhenNoneIsLeft) {
  msgbox_script::SetScripted(true);
  msgbox_script::QueueAnswer(1);
  msgbox_script::QueueAnswer(0);
  EXPECT_EQ(ShowMessage(nullptr, "", "message_text_12", true), 1u);
  EXPECT_EQ(ShowMessage(nullptr, "", "message_text_12", true), 0u);
  EXPECT_EQ(ShowMessage(nullptr, "", "message_text_12", true), 0u) << "unanswered: cancel";
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].box.text, "message_text_12");
  EXPECT_EQ(shown[0].result, 1u);
  EXPECT_EQ(shown[2].result, 0u);
}

TEST_F(MsgWndTest, TheAutoClosingBoxClosesAfterOnePeriod) {
  msgbox_script::SetScripted(true);
  msgbox_script::QueueAnswer(1);
  bool showingMeanwhile = false;
  QTimer::singleShot(100, [&] { showingMeanwhile = IsMessageShowing("message_text_20"); });
  QElapsedTimer clock;
  clock.start();
  ShowMessageAutoClose(true, nullptr, "", "message_text_20", true);
  qint64 took = clock.elapsed();
  EXPECT_GE(took, 450);
  EXPECT_LT(took, 2000);
  EXPECT_TRUE(showingMeanwhile);
  EXPECT_FALSE(IsMessageShowing("message_text_20"));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].result, 0u);
  EXPECT_TRUE(shown[0].box.autoClose);
  EXPECT_EQ(ShowMessage(nullptr, "", "message_text_1", true), 1u) << "the queued answer was left alone";
}

TEST_F(MsgWndTest, TheBoxCentresOnItsOwner) {
  ui::test::RecordingWindow owner("XML_MSG");
  ASSERT_TRUE(owner.Create(nullptr, "owner", 100, 100, 600, 400));
  owner.ShowWindow(true);
  QRect ownerFrame = owner.Surface()->frameGeometry();
  QPoint boxCentre;
  QTimer::singleShot(20, [&] {
    boxCentre = OpenBox()->frameGeometry().center();
    OpenBox()->close();
  });
  ShowMessage(&owner, "", "message_text_1", true);
  EXPECT_LE((boxCentre - ownerFrame.center()).manhattanLength(), 2);
}

}  // namespace
}  // namespace vz

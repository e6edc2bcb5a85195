// Controls driven the way a user drives them: which notifications come, in which order, and
// that filling a control from code raises none.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMouseEvent>

#include "platform/ui/button.h"
#include "platform/ui/color_palette.h"
#include "platform/ui/combo.h"
#include "platform/ui/container.h"
#include "platform/ui/edit.h"
#include "platform/ui/list.h"
#include "platform/ui/progress.h"
#include "platform/ui/ui_script.h"
#include "ui_test_support.h"

namespace vz::ui {
namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseSkinFolder(test::TestDataDir());
    ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_en.xml"));
    ASSERT_TRUE(wnd_.Create(nullptr, "sample")) << wnd_.CreateError();
    wnd_.ShowWindow(true);
    pm().UpdateLayout();
    script::Wait(0);
    wnd_.notes.clear();
  }
  CPaintManagerUI& pm() { return wnd_.PaintManager(); }
  template <class T>
  T* Find(const char* name) {
    auto* c = dynamic_cast<T*>(pm().FindControl(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  // "type:sender" of every notification but hover and, unless asked, focus, in order.
  std::vector<std::string> Trail(bool withFocus = false) const {
    std::vector<std::string> out;
    for (const auto& n : wnd_.notes) {
      if (n.type == kNotifyMouseEnter || n.type == kNotifyMouseLeave) continue;
      if (!withFocus && (n.type == kNotifySetFocus || n.type == kNotifyKillFocus)) continue;
      out.push_back(n.type + ":" + n.sender);
    }
    return out;
  }
  test::RecordingWindow wnd_{"XML_SAMPLE"};
};

using Steps = std::vector<std::string>;

TEST_F(ControlsTest, OptionGroupsKeepOneSelectedAndNotifyTheNewOne) {
  auto* a = Find<COptionUI>("tab_a");
  auto* b = Find<COptionUI>("tab_b");
  auto* c = Find<COptionUI>("tab_c");
  ASSERT_TRUE(a && b && c);
  ASSERT_TRUE(script::Click(pm(), "tab_b").ok);
  EXPECT_EQ(Trail(), (Steps{"click:tab_b", "selectchanged:tab_b"}));
  EXPECT_FALSE(a->IsSelected());
  EXPECT_TRUE(b->IsSelected());
  EXPECT_FALSE(c->IsSelected());

  wnd_.notes.clear();
  ASSERT_TRUE(script::Click(pm(), "tab_b").ok);
  EXPECT_EQ(Trail(), (Steps{"click:tab_b"})) << "clicking the selected option changes nothing";

  wnd_.notes.clear();
  c->Selected(true, false);
  EXPECT_TRUE(Trail().empty()) << "selecting from code without the event is silent";
  EXPECT_FALSE(b->IsSelected());
  c->Selected(false, true);
  EXPECT_FALSE(c->IsSelected()) << "code may clear a group";
  EXPECT_TRUE(Trail().empty()) << "a grouped option notifies only on becoming selected";
}

TEST_F(ControlsTest, CheckBoxesToggleAndNotifyBothWays) {
  auto* check = Find<CCheckBoxUI>("check");
  ASSERT_TRUE(check);
  ASSERT_TRUE(script::Click(pm(), "check").ok);
  EXPECT_TRUE(check->GetCheck());
  ASSERT_TRUE(script::Click(pm(), "check").ok);
  EXPECT_FALSE(check->GetCheck());
  EXPECT_EQ(Trail(), (Steps{"click:check", "selectchanged:check", "click:check", "selectchanged:check"}));
  wnd_.notes.clear();
  check->SetCheck(true, true);
  EXPECT_EQ(Trail(), (Steps{"selectchanged:check"}));
}

TEST_F(ControlsTest, DisabledOrHiddenControlsCannotBeClicked) {
  auto* b = Find<COptionUI>("tab_b");
  b->SetEnabled(false);
  EXPECT_FALSE(script::Click(pm(), "tab_b").ok);
  b->SetEnabled(true);
  Find<CControlUI>("pages")->SetVisible(false);
  EXPECT_FALSE(script::Click(pm(), "slider").ok) << "a control inside a hidden parent";
  EXPECT_FALSE(script::Click(pm(), "no_such_control").ok);
  EXPECT_TRUE(Trail().empty());
}

// Real mouse events on the slider's widget: press, moves, release.
TEST_F(ControlsTest, SliderDragSendsMovesAndOneValueChangedAtTheRelease) {
  auto* slider = Find<CSliderUI>("slider");
  ASSERT_TRUE(slider);
  QWidget* host = slider->Host();
  ASSERT_EQ(host->width(), 110);
  // 110 px wide with a 10 px thumb: each pixel is one step of 0..100.
  auto send = [&](QEvent::Type type, int x, Qt::MouseButtons buttons) {
    QMouseEvent ev(type, QPointF(x, 5), QPointF(x, 5), QPointF(host->mapToGlobal(QPoint(x, 5))),
                   Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(host, &ev);
  };
  send(QEvent::MouseButtonPress, 25, Qt::LeftButton);
  send(QEvent::MouseMove, 45, Qt::LeftButton);
  send(QEvent::MouseMove, 45, Qt::LeftButton);
  send(QEvent::MouseMove, 65, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, 65, Qt::NoButton);
  EXPECT_EQ(slider->GetValue(), 60);
  EXPECT_EQ(wnd_.Of(kNotifyMoveValueChanged).size(), 3u) << "20, 40, 60; the repeated point adds none";
  ASSERT_EQ(wnd_.Of(kNotifyValueChanged).size(), 1u);
  EXPECT_EQ(wnd_.notes.back().type, kNotifyValueChanged);
  EXPECT_EQ(wnd_.notes.back().wParam, 60u);

  wnd_.notes.clear();
  slider->SetValue(30);
  EXPECT_TRUE(wnd_.notes.empty()) << "SetValue from code is silent";
  ASSERT_TRUE(script::Drag(pm(), "slider", {31, 32}).ok);
  EXPECT_EQ(Trail(), (Steps{"movevaluechanged:slider", "movevaluechanged:slider", "valuechanged:slider"}));
  EXPECT_FALSE(script::Value(pm(), "slider", 101).ok) << "out of range";
}

TEST_F(ControlsTest, EditsSendTextChangedAndFocusNotifications) {
  auto* edit = Find<CEditUI>("edit");
  ASSERT_TRUE(edit);
  edit->SetText("from code");
  EXPECT_TRUE(wnd_.notes.empty());
  EXPECT_EQ(edit->Host()->findChild<QLineEdit*>()->text(), "from code");

  ASSERT_TRUE(script::Text(pm(), "edit", "1234").ok);
  EXPECT_EQ(edit->GetText(), "1234");
  ASSERT_TRUE(script::Focus(pm(), "slider").ok);
  EXPECT_EQ(Trail(true), (Steps{"setfocus:edit", "textchanged:edit", "killfocus:edit", "setfocus:slider"}));

  edit->SetSel(1, 3);
  EXPECT_EQ(edit->GetSel(), (std::pair<int, int>{1, 3}));
  edit->SetSel(2, 2);
  EXPECT_EQ(edit->GetSel(), (std::pair<int, int>{2, 2}));
  edit->SetSel(0, -1);
  EXPECT_EQ(edit->GetSel(), (std::pair<int, int>{0, 4}));

  edit->SetReadOnly(true);
  EXPECT_FALSE(script::Text(pm(), "edit", "x").ok);
}

TEST_F(ControlsTest, CombosNotifyForTheUserAndWhenTheCallerAsks) {
  auto* combo = Find<CComboUI>("combo");
  ASSERT_TRUE(combo);
  EXPECT_TRUE(combo->SelectItem(0, false, false));
  EXPECT_TRUE(wnd_.notes.empty());
  ASSERT_TRUE(script::Item(pm(), "combo", 1).ok);
  ASSERT_EQ(Trail(), (Steps{"itemselect:combo"}));
  EXPECT_EQ(wnd_.notes.back().wParam, 1u);
  EXPECT_EQ(wnd_.notes.back().lParam, 0);
  EXPECT_EQ(combo->GetText(), "Fast") << "the item's text is a language key";

  wnd_.notes.clear();
  EXPECT_TRUE(combo->SelectItem(0, false, true));
  EXPECT_EQ(Trail(), (Steps{"itemselect:combo"}));
  EXPECT_TRUE(combo->SelectItem(0, false, true));
  EXPECT_EQ(Trail().size(), 1u) << "the same item again is no change";
  EXPECT_FALSE(combo->SelectItem(2, false, true));
  EXPECT_FALSE(script::Item(pm(), "combo", 5).ok);
}

TEST_F(ControlsTest, ListRowsSendItemClickThenItemSelect) {
  auto* list = Find<CListUI>("list");
  ASSERT_TRUE(list);
  ASSERT_TRUE(script::Item(pm(), "list", 1).ok);
  EXPECT_EQ(Trail(), (Steps{"itemclick:row", "itemselect:list"}));
  EXPECT_EQ(list->GetCurSel(), 1);
  EXPECT_TRUE(static_cast<CListTextElementUI*>(list->GetItemAt(1))->IsSelected());

  list->SetItemText(1, 1, "800");
  EXPECT_EQ(list->GetItemText(1, 1), "800");
  EXPECT_EQ(list->GetItemText(1, 0), "r1");
  auto* row = new CListLabelElementUI;
  row->SetText("r2");
  row->SetUserData("macro-7");
  ASSERT_TRUE(list->AddAt(row, 0));
  EXPECT_EQ(list->GetCurSel(), 2) << "the selected row keeps its selection when rows go in above";
  EXPECT_EQ(list->GetItemAt(0)->GetUserData(), "macro-7");
  list->RemoveAt(2);
  EXPECT_EQ(list->GetCurSel(), -1);
  EXPECT_EQ(list->GetCount(), 2);
}

TEST_F(ControlsTest, TabLayoutShowsOnePage) {
  auto* pages = Find<CTabLayoutUI>("pages");
  ASSERT_TRUE(pages);
  EXPECT_EQ(pages->GetCurSel(), 1);
  EXPECT_FALSE(pm().FindControl("page0")->IsVisible());
  EXPECT_TRUE(pages->SelectItem(0));
  EXPECT_TRUE(pm().FindControl("page0")->IsVisible());
  EXPECT_FALSE(pm().FindControl("page1")->IsVisible());
  EXPECT_FALSE(script::Click(pm(), "slider").ok) << "controls of a hidden page are out of reach";
  EXPECT_FALSE(pages->SelectItem(2));
  EXPECT_EQ(pages->GetCurSel(), 0);
}

TEST_F(ControlsTest, ALanguageSwitchReTranslatesEveryResourceTextControl) {
  auto* title = Find<CLabelUI>("title");
  auto* combo = Find<CComboUI>("combo");
  combo->SelectItem(1, false, false);
  auto* edit = Find<CEditUI>("edit");
  edit->SetResourceText(true);
  edit->SetText("save_key");
  edit->SetToolTip("title_key");
  QComboBox* box = combo->Host()->findChild<QComboBox*>();
  QLineEdit* line = edit->Host()->findChild<QLineEdit*>();
  EXPECT_EQ(title->GetText(), "Settings");
  EXPECT_EQ(box->itemText(1).toStdString(), "Fast");
  EXPECT_EQ(line->text().toStdString(), "Save");

  ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan_cn.xml"));
  EXPECT_EQ(title->GetText(), "设置");
  EXPECT_EQ(title->GetTextRaw(), "title_key");
  EXPECT_EQ(box->itemText(1).toStdString(), "快") << "the drop-down list shows the new texts";
  EXPECT_EQ(box->itemText(0).toStdString(), "Slow") << "literal items stay as they are";
  EXPECT_EQ(line->text().toStdString(), "保存");
  EXPECT_EQ(edit->Host()->toolTip().toStdString(), "设置");
  EXPECT_TRUE(wnd_.notes.empty()) << "re-translating is not a user's edit";

  EXPECT_FALSE(CResourceManager::GetInstance().LoadLanguage("lan_xx.xml"));
  EXPECT_EQ(title->GetText(), "设置") << "a missing file keeps the table";
}

TEST_F(ControlsTest, UnknownKeysShowTheKeyUnlessTheWindowAnswers) {
  struct Query : IQueryControlText {
    std::string QueryControlText(const std::string& id, const std::string&) override {
      return id == "titletext" ? "mouse" : "";
    }
  } query;
  auto& resources = CResourceManager::GetInstance();
  resources.SetTextQueryInterface(&query);
  EXPECT_EQ(resources.GetText("titletext"), "mouse");
  EXPECT_EQ(resources.GetText("message_text_99"), "message_text_99");
  EXPECT_EQ(resources.GetText("title_key"), "Settings") << "the language table comes first";
  resources.SetTextQueryInterface(nullptr);
}

TEST_F(ControlsTest, ColourPaletteReportsWhatThePressPicked) {
  auto* palette = new CColorPaletteUI;
  palette->SetName("pallet");
  palette->SetFixedHeight(120);
  palette->SetAttribute("palletheight", "100");
  palette->SetAttribute("barheight", "20");
  palette->SetFloat(true);
  palette->SetFloatPos({0, 0, 256, 120});
  static_cast<CContainerUI*>(pm().GetRoot())->Add(palette);
  palette->SetSelectColor(0xFF0199CB);
  EXPECT_EQ(palette->GetSelectColor(), 0xFF0199CBu);
  EXPECT_TRUE(wnd_.notes.empty());

  ASSERT_TRUE(script::PickColor(pm(), "pallet", 0xFFFF0000).ok);
  ASSERT_FALSE(wnd_.Of(kNotifyColorChanged).empty());
  EXPECT_EQ(wnd_.notes.back().wParam, palette->GetSelectColor());
  UIColor picked = palette->GetSelectColor();
  EXPECT_GE((picked >> 16) & 0xFF, 0xF0u);
  EXPECT_LE((picked >> 8) & 0xFF, 0x08u);
  EXPECT_LE(picked & 0xFF, 0x08u);
}

}  // namespace
}  // namespace vz::ui

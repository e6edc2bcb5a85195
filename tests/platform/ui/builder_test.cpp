// Skin XML to controls: names in any case, attributes reaching their setters, defaults and
// styles, the creation callback, and what is reported for layouts that are wrong.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ui/button.h"
#include "platform/ui/combo.h"
#include "platform/ui/container.h"
#include "platform/ui/diagnostics.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/edit.h"
#include "platform/ui/label.h"
#include "platform/ui/list.h"
#include "platform/ui/progress.h"
#include "ui_test_support.h"

namespace vz::ui {
namespace {

class BuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseSkinFolder(test::TestDataDir());
    ClearDiagnostics();
  }

  // Builds XML text into a window-sized surface so that hosts and layout exist.
  CControlUI* Build(const std::string& xml, IDialogBuilderCallback* callback = nullptr) {
    surface_ = std::make_unique<QWidget>();
    surface_->resize(300, 200);
    pm_.Init(surface_.get(), nullptr);
    CDialogBuilder builder;
    CControlUI* root = builder.CreateFromText(xml, "inline.xml", callback, &pm_);
    error_ = builder.LastError();
    if (root) pm_.AttachDialog(root);
    return root;
  }

  bool Reported(const std::string& fragment) const {
    auto all = Diagnostics();
    return std::any_of(all.begin(), all.end(),
                       [&](const std::string& d) { return d.find(fragment) != std::string::npos; });
  }

  std::unique_ptr<QWidget> surface_;
  CPaintManagerUI pm_;
  std::string error_;
};

TEST_F(BuilderTest, ControlsAreFoundByNameInAnyLetterCase) {
  ASSERT_TRUE(Build(R"(<Window><VerticalLayout name="Root">
      <HorizontalLayout><Button name="ms_Deng_color_btn_3"/></HorizontalLayout>
      <Label name="MessageText"/></VerticalLayout></Window>)"));
  for (const char* spelling : {"ms_deng_color_btn_3", "MS_DENG_COLOR_BTN_3", "ms_Deng_color_btn_3"}) {
    CControlUI* found = pm_.FindControl(spelling);
    ASSERT_NE(found, nullptr) << spelling;
    EXPECT_EQ(found->GetClass(), "Button");
  }
  EXPECT_EQ(pm_.FindControl("messagetext")->GetClass(), "Label");
  EXPECT_EQ(pm_.FindControl("ms_deng_color_btn_4"), nullptr);
  EXPECT_EQ(pm_.GetRoot(), pm_.FindControl("root"));
}

TEST_F(BuilderTest, AttributesReachTheirSetters) {
  ASSERT_TRUE(Build(R"(<Window><VerticalLayout>
      <Button name="b" text="Go" tooltip="tip" userdata="7" width="40" height="22" padding="1,2,3,4"
              bkcolor="#80112233" bordercolor="#FF445566" bordersize="2" visible="false"
              enabled="false" mouse="false" hottextcolor="#FFABCDEF" hotimage="h.png"/>
      <Slider name="s" min="5" max="50" value="70" step="5"/>
      <Edit name="e" text="abc" readonly="true" maxchar="4"/>
      <Option name="o" group="g" selected="true"/>
      <TabLayout name="t" selectedid="1"><Control/><Control/></TabLayout>
      <Label name="c" bkcolor="#123456" align="right,bottom"/>
    </VerticalLayout></Window>)"));
  auto* b = static_cast<CButtonUI*>(pm_.FindControl("b"));
  EXPECT_EQ(b->GetText(), "Go");
  EXPECT_EQ(b->GetToolTip(), "tip");
  EXPECT_EQ(b->GetUserData(), "7");
  EXPECT_EQ(b->GetFixedWidth(), 40);
  EXPECT_EQ(b->GetFixedHeight(), 22);
  EXPECT_EQ(b->GetPadding(), (UIRect{1, 2, 3, 4}));
  EXPECT_EQ(b->GetBkColor(), 0x80112233u);
  EXPECT_EQ(b->GetBorderColor(), 0xFF445566u);
  EXPECT_EQ(b->GetBorderSize(), 2);
  EXPECT_FALSE(b->IsVisible());
  EXPECT_FALSE(b->IsEnabled());
  EXPECT_FALSE(b->IsMouseEnabled());
  EXPECT_EQ(b->GetHotImage(), "h.png");
  auto* s = static_cast<CSliderUI*>(pm_.FindControl("s"));
  EXPECT_EQ(s->GetMinValue(), 5);
  EXPECT_EQ(s->GetMaxValue(), 50);
  EXPECT_EQ(s->GetValue(), 50) << "a value beyond the range is clamped";
  EXPECT_EQ(s->GetChangeStep(), 5);
  auto* e = static_cast<CEditUI*>(pm_.FindControl("e"));
  EXPECT_EQ(e->GetText(), "abc");
  EXPECT_TRUE(e->IsReadOnly());
  EXPECT_EQ(e->GetMaxChar(), 4);
  EXPECT_TRUE(static_cast<COptionUI*>(pm_.FindControl("o"))->IsSelected());
  EXPECT_EQ(static_cast<CTabLayoutUI*>(pm_.FindControl("t"))->GetCurSel(), 1);
  auto* c = static_cast<CLabelUI*>(pm_.FindControl("c"));
  EXPECT_EQ(c->GetBkColor(), 0xFF123456u) << "six hex digits are opaque";
  EXPECT_EQ(c->GetTextStyle() & (kAlignRight | kAlignBottom), kAlignRight | kAlignBottom);
  EXPECT_TRUE(Diagnostics().empty()) << Diagnostics().front();
}

TEST_F(BuilderTest, AGroupKeepsOneSelectedOptionWhateverTheAttributeOrder) {
  ASSERT_TRUE(Build(R"(<Window><HorizontalLayout>
      <Option name="a" group="g" selected="true"/>
      <Option name="b" selected="true" group="g"/>
      <Option name="c" group="other" selected="true"/>
    </HorizontalLayout></Window>)"));
  EXPECT_FALSE(static_cast<COptionUI*>(pm_.FindControl("a"))->IsSelected());
  EXPECT_TRUE(static_cast<COptionUI*>(pm_.FindControl("b"))->IsSelected());
  EXPECT_TRUE(static_cast<COptionUI*>(pm_.FindControl("c"))->IsSelected());
}

TEST_F(BuilderTest, LayoutsPlaceChildrenByFixedSizesPaddingAndFloat) {
  struct Case {
    const char* what;
    const char* body;  // inside a 300 x 200 root
    const char* name;
    UIRect expected;
  };
  const Case cases[] = {
      {"fixed, then the rest shared", R"(<VerticalLayout><Control height="30"/><Control name="x"/><Control/></VerticalLayout>)",
       "x", {0, 30, 300, 115}},
      {"the last share", R"(<VerticalLayout><Control height="30"/><Control/><Control name="x"/></VerticalLayout>)",
       "x", {0, 115, 300, 200}},
      {"inset and child padding", R"(<HorizontalLayout inset="5,6,7,8" childpadding="10"><Control width="40"/><Control name="x"/></HorizontalLayout>)",
       "x", {55, 6, 293, 192}},
      {"padding around a child", R"(<HorizontalLayout><Control name="x" width="50" padding="10,5,0,5"/></HorizontalLayout>)",
       "x", {10, 5, 60, 195}},
      {"fixed width in a vertical layout sits left", R"(<VerticalLayout><Control name="x" width="80" height="20"/></VerticalLayout>)",
       "x", {0, 0, 80, 20}},
      {"a hidden child takes no room", R"(<VerticalLayout><Control height="50" visible="false"/><Control name="x" height="20"/></VerticalLayout>)",
       "x", {0, 0, 300, 20}},
      {"maximum height caps a share", R"(<VerticalLayout><Control name="x" maxheight="40"/><Control/></VerticalLayout>)",
       "x", {0, 0, 300, 40}},
      {"float at pos", R"(<VerticalLayout><Control height="10"/><Control name="x" float="true" pos="20,30,70,45"/></VerticalLayout>)",
       "x", {20, 30, 70, 45}},
      {"float with pos and sizes", R"(<Container><Control name="x" float="true" pos="5,6,0,0" width="10" height="12"/></Container>)",
       "x", {5, 6, 15, 18}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Build(std::string("<Window>") + c.body + "</Window>")) << c.what << ": " << error_;
    pm_.UpdateLayout();
    CControlUI* x = pm_.FindControl(c.name);
    ASSERT_NE(x, nullptr) << c.what;
    EXPECT_EQ(x->GetPos(), c.expected) << c.what;
  }
  ASSERT_TRUE(Build(R"(<Window><TabLayout inset="2,2,2,2"><Control/><Control name="x"/></TabLayout></Window>)"));
  static_cast<CTabLayoutUI*>(pm_.GetRoot())->SelectItem(1);
  pm_.UpdateLayout();
  EXPECT_EQ(pm_.FindControl("x")->GetPos(), (UIRect{2, 2, 298, 198})) << "the selected page fills the layout";
}

TEST_F(BuilderTest, SetAttributeByNameUsesTheSameTable) {
  CButtonUI button;
  EXPECT_TRUE(button.SetAttribute("BkColor", "#FF010203"));
  EXPECT_EQ(button.GetBkColor(), 0xFF010203u);
  EXPECT_TRUE(button.SetAttribute("hotforeimage", "fore.png"));
  EXPECT_EQ(button.GetHotForeImage(), "fore.png");
  EXPECT_FALSE(button.SetAttribute("group", "g")) << "group belongs to options";
  EXPECT_FALSE(button.SetAttribute("width", "wide")) << "unreadable value";
  EXPECT_EQ(button.GetFixedWidth(), 0);
}

TEST_F(BuilderTest, UnknownAttributesElementsAndValuesAreReported) {
  ASSERT_TRUE(Build(R"(<Window><VerticalLayout>
      <Label name="l" colour="#FF000000"/>
      <Button name="b" width="twenty"/>
      <Sprocket name="gone"/>
      <Label name="kept"/>
    </VerticalLayout></Window>)"));
  EXPECT_TRUE(Reported("colour")) << "misspelt attribute";
  EXPECT_TRUE(Reported("width=\"twenty\"")) << "unreadable value";
  EXPECT_TRUE(Reported("<Sprocket>")) << "unknown element";
  EXPECT_EQ(pm_.FindControl("gone"), nullptr);
  EXPECT_NE(pm_.FindControl("kept"), nullptr) << "the rest of the layout still builds";
}

TEST_F(BuilderTest, DefaultsAndStylesComeBeforeOwnAttributes) {
  ASSERT_TRUE(Build(R"(<Window>
      <Default name="Button" value="width=&quot;11&quot; height=&quot;12&quot;"/>
      <Style name="wide" value="width=&quot;33&quot; textcolor=&quot;#FF00FF00&quot;"/>
      <HorizontalLayout>
        <Button name="plain"/>
        <Button name="styled" style="wide"/>
        <Button name="own" style="wide" width="44"/>
        <Label name="label"/>
      </HorizontalLayout></Window>)"));
  EXPECT_EQ(pm_.FindControl("plain")->GetFixedWidth(), 11);
  EXPECT_EQ(pm_.FindControl("styled")->GetFixedWidth(), 33);
  EXPECT_EQ(pm_.FindControl("styled")->GetFixedHeight(), 12);
  EXPECT_EQ(static_cast<CLabelUI*>(pm_.FindControl("styled"))->GetTextColor(), 0xFF00FF00u);
  EXPECT_EQ(pm_.FindControl("own")->GetFixedWidth(), 44);
  EXPECT_EQ(pm_.FindControl("label")->GetFixedWidth(), 0) << "defaults are per element name";
}

class SubPageCallback : public IDialogBuilderCallback {
 public:
  explicit SubPageCallback(CPaintManagerUI* pm) : pm_(pm) {}
  CControlUI* CreateControl(const std::string& className) override {
    asked.push_back(className);
    if (EqualsNoCase(className, "MS_Deng_UI")) {
      CDialogBuilder sub;
      return sub.CreateFromText(R"(<Window size="1,1"><VerticalLayout name="deng_page">
                                     <Label name="ms_deng_light_label"/></VerticalLayout></Window>)",
                                "page.xml", nullptr, pm_);
    }
    if (className == "CircleProgress") return new CProgressUI;
    return nullptr;
  }
  std::vector<std::string> asked;

 private:
  CPaintManagerUI* pm_;
};

TEST_F(BuilderTest, TheCreationCallbackTurnsCustomElementsIntoControls) {
  SubPageCallback callback(&pm_);
  ASSERT_TRUE(Build(R"(<Window size="300,200"><TabLayout name="tabs">
      <ms_deng_ui name="renamed_page" bkcolor="#FF0000FF"/>
      <CircleProgress name="circle" value="25"/>
    </TabLayout></Window>)", &callback));
  CControlUI* page = pm_.FindControl("renamed_page");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->GetBkColor(), 0xFF0000FFu) << "the element's attributes apply to the returned control";
  EXPECT_NE(pm_.FindControl("ms_deng_light_label"), nullptr);
  EXPECT_EQ(static_cast<CProgressUI*>(pm_.FindControl("circle"))->GetValue(), 25);
  EXPECT_EQ(pm_.GetInitSize(), (UISize{0, 0})) << "only the window's own layout sets the window";
}

TEST_F(BuilderTest, RegisteredClassesAreBuiltByTheirName) {
  CControlFactory::GetInstance().RegistControl("CTestGaugeUI", [] { return new CProgressUI; });
  ASSERT_TRUE(Build(R"(<Window><VerticalLayout><CTestGaugeUI name="g" max="10" value="4"/></VerticalLayout></Window>)"));
  EXPECT_EQ(static_cast<CProgressUI*>(pm_.FindControl("g"))->GetValue(), 4);
}

TEST_F(BuilderTest, LayoutsThatCannotBeBuiltFailWithAReason) {
  struct Case {
    const char* what;
    const char* xml;
    const char* reason;
  };
  const Case cases[] = {
      {"not well-formed", "<Window><VerticalLayout><Label></VerticalLayout></Window>", "inline.xml:1"},
      {"no control", "<Window><Font id=\"0\" name=\"Sans\"/></Window>", "holds no control"},
      {"missing include", "<Window><VerticalLayout><Include source=\"nowhere.xml\"/></VerticalLayout></Window>",
       "nowhere.xml"},
      {"self include", "<Window><VerticalLayout><Include source=\"self_include.xml\"/></VerticalLayout></Window>",
       "too deep"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Build(c.xml), nullptr) << c.what;
    EXPECT_NE(error_.find(c.reason), std::string::npos) << c.what << ": " << error_;
  }
}

TEST_F(BuilderTest, AFileLayoutIsFoundByResourceIdOrName) {
  surface_ = std::make_unique<QWidget>();
  pm_.Init(surface_.get(), nullptr);
  CDialogBuilder builder;
  builder.SetApplyWindowAttributes(true);
  CControlUI* root = builder.Create("xml_sample", nullptr, &pm_);
  ASSERT_NE(root, nullptr) << builder.LastError();
  pm_.AttachDialog(root);
  EXPECT_EQ(pm_.GetInitSize(), (UISize{300, 200}));
  EXPECT_EQ(pm_.GetCaptionRect(), (UIRect{0, 0, 0, 30}));
  EXPECT_EQ(pm_.GetRoundCorner(), (UISize{6, 6}));
  auto* list = static_cast<CListUI*>(pm_.FindControl("list"));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetCount(), 2) << "the header is no row";
  EXPECT_EQ(list->GetHeader()->GetCount(), 2);
  auto* combo = static_cast<CComboUI*>(pm_.FindControl("combo"));
  EXPECT_EQ(combo->GetCount(), 2);

  CDialogBuilder broken;
  EXPECT_EQ(broken.Create("XML_BROKEN", nullptr, &pm_), nullptr);
  EXPECT_NE(broken.LastError().find("broken.xml:"), std::string::npos) << broken.LastError();
  CDialogBuilder missing;
  EXPECT_EQ(missing.Create("XML_NOWHERE", nullptr, &pm_), nullptr);
  EXPECT_NE(missing.LastError().find("not found"), std::string::npos);
}

}  // namespace
}  // namespace vz::ui

#include "ui/custom_controls.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "../platform/ui/ui_test_support.h"
#include "platform/ui/control_host.h"
#include "platform/ui/diagnostics.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/render.h"
#include "ui/chart_view.h"
#include "ui/circle_progress.h"
#include "ui/device_key_button.h"
#include "ui/wnd_ui.h"

namespace vz::ui {
namespace {

constexpr UIColor kNothing = 0x00000000u;
constexpr UIColor kRed = 0xFFFF0000u;
constexpr UIColor kGreen = 0xFF00FF00u;
constexpr UIColor kBlue = 0xFF0000FFu;
constexpr UIColor kWhite = 0xFFFFFFFFu;
constexpr UIColor kMagenta = 0xFFFF00FFu;

// Paints the control alone on a transparent surface of its size.
QImage Render(CControlUI& control, int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  CPaintContext ctx(painter, nullptr);
  control.DoPaint(ctx, {0, 0, width, height});
  painter.end();
  return image;
}

UIColor At(const QImage& image, int x, int y) { return image.pixel(x, y); }

bool Near(UIColor actual, UIColor expected, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance) return false;
  }
  return true;
}

class CustomControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    ASSERT_TRUE(dir_.isValid());
  }

  // A PNG of one colour; `rightHalfOnly` leaves the left half transparent.
  std::string ImageFile(const std::string& name, UIColor color, int width, int height,
                        bool rightHalfOnly = false) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const int from = rightHalfOnly ? width / 2 : 0;
    painter.fillRect(from, 0, width - from, height, QColor::fromRgba(color));
    painter.end();
    const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
    EXPECT_TRUE(image.save(QString::fromStdString(path)));
    return path;
  }

  QTemporaryDir dir_;
};

TEST_F(CustomControlsTest, FactoryCreatesEachClassByItsRegisteredName) {
  RegisterCustomControls();
  const struct {
    const char* factoryName;
    const char* className;
  } cases[] = {
      {"CCircleProgressUI", "CircleProgress"},
      {"CDeviceKeyButtonUI", "DeviceKeyButton"},
      {"CChartViewUI", "Control"},
      {"CWndUI", "Wnd"},
      {"cdevicekeybuttonui", "DeviceKeyButton"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<CControlUI> control(CControlFactory::GetInstance().CreateControl(c.factoryName));
    ASSERT_NE(control, nullptr) << c.factoryName;
    EXPECT_EQ(control->GetClass(), c.className) << c.factoryName;
  }
}

TEST_F(CustomControlsTest, SkinAttributesOfTheKeyButtonAreKnownToTheBuilder) {
  RegisterCustomControls();
  ClearDiagnostics();
  CDialogBuilder builder;
  std::unique_ptr<CControlUI> root(builder.CreateFromText(
      "<Window><CDeviceKeyButtonUI name='kb_key_1' lightimage='kb/light.png' "
      "keysetimage='kb/set.png' gmnametextcolor='#FFFFFF' normalimage='kb/key.png'/></Window>",
      "keys.xml", nullptr, nullptr));
  ASSERT_NE(root, nullptr) << builder.LastError();
  auto* key = dynamic_cast<CDeviceKeyButtonUI*>(root.get());
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->GetLightImage(), "kb/light.png");
  EXPECT_EQ(key->GetKeySetImage(), "kb/set.png");
  EXPECT_EQ(key->GetNormalImage(), "kb/key.png");
  EXPECT_TRUE(Diagnostics().empty()) << Diagnostics().front();
}

struct RingCase {
  const char* what;
  int min, max, value;
  std::vector<int> filledDegrees;  // clockwise from three o'clock, as on screen
  std::vector<int> emptyDegrees;
};

TEST_F(CustomControlsTest, CircleProgressFillsTheRingClockwiseFromTheBottom) {
  const RingCase cases[] = {
      {"a quarter", 0, 100, 25, {95, 135, 175}, {5, 45, 85, 185, 225, 270, 315}},
      {"the value, not its distance from min", 20, 120, 25, {95, 135, 175}, {45, 225, 315}},
      {"a half", 0, 100, 50, {95, 135, 225, 265}, {275, 315, 45, 85}},
      {"empty", 0, 100, 0, {}, {45, 135, 225, 315}},
      {"full", 0, 100, 100, {5, 45, 135, 225, 315, 355}, {}},
      {"no range to divide by", 50, 50, 50, {}, {45, 135, 225, 315}},
  };
  for (const RingCase& c : cases) {
    SCOPED_TRACE(c.what);
    CCircleProgressUI ring;
    ring.SetBkColor(kBlue);
    ring.SetForeColor(kRed);
    ring.SetMaxValue(c.max);
    ring.SetMinValue(c.min);
    ring.SetValue(c.value);
    const QImage image = Render(ring, 100, 100);
    auto onRing = [&](int degrees, double radius) {
      const double a = degrees * std::numbers::pi / 180;
      return At(image, static_cast<int>(50 + radius * std::cos(a)),
                static_cast<int>(50 + radius * std::sin(a)));
    };
    for (int degrees : c.filledDegrees) EXPECT_EQ(onRing(degrees, 45), kRed) << degrees;
    for (int degrees : c.emptyDegrees) EXPECT_EQ(onRing(degrees, 45), kBlue) << degrees;
    // Inside the ring the disc is white, filled sector or not.
    EXPECT_EQ(At(image, 50, 50), kWhite);
    EXPECT_EQ(onRing(135, 30), kWhite);
    EXPECT_EQ(At(image, 1, 1), kNothing);  // outside the disc
  }
}

struct KeyCase {
  bool lightOn;
  bool keySetHidden;
  UIColor left;   // where only the light image has pixels
  UIColor right;  // where the key-set image covers the light image
};

TEST_F(CustomControlsTest, KeyButtonDrawsTheTintedLightThenTheKeySetImage) {
  const std::string light = ImageFile("light.png", kWhite, 20, 20);
  const std::string keySet = ImageFile("keyset.png", kGreen, 20, 20, /*rightHalfOnly=*/true);
  const KeyCase cases[] = {
      {true, false, kRed, kGreen},
      {true, true, kRed, kRed},
      {false, false, kNothing, kGreen},
      {false, true, kNothing, kNothing},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "light " << c.lightOn << ", key set hidden " << c.keySetHidden);
    CDeviceKeyButtonUI key;
    ASSERT_TRUE(key.SetAttribute("lightimage", light));
    ASSERT_TRUE(key.SetAttribute("KeySetImage", keySet));
    key.SetLight(kRed, 255, c.lightOn);
    key.SetKeySetHidden(c.keySetHidden);
    const QImage image = Render(key, 20, 20);
    EXPECT_EQ(At(image, 4, 10), c.left);
    EXPECT_EQ(At(image, 15, 10), c.right);
  }
}

TEST_F(CustomControlsTest, KeyButtonLightStartsBlueAtAlpha200AndHidesTheKeySet) {
  const std::string light = ImageFile("light-initial.png", kWhite, 20, 20);
  const std::string keySet = ImageFile("keyset-initial.png", kGreen, 20, 20);
  CDeviceKeyButtonUI key;
  key.SetLightImage(light);
  key.SetKeySetImage(keySet);
  EXPECT_EQ(At(Render(key, 20, 20), 10, 10), kNothing);

  key.SetLight(key.GetLightColor(), key.GetLightAlpha(), true);
  // White taken 200/255 of the way to the light colour 255 (blue; its alpha byte is not used).
  EXPECT_TRUE(Near(At(Render(key, 20, 20), 10, 10), 0xFF3737FFu, 2));
}

TEST_F(CustomControlsTest, KeyButtonAttributesGoToItselfOrToTheButton) {
  const struct {
    const char* name;
    const char* value;
    bool accepted;
  } cases[] = {
      {"gmnametextcolor", "#FF00FF", true},
      {"GMNameTextColor", "00ff00", true},
      {"gmnametextcolor", "#", false},
      {"gmnametextcolor", "#12G4", false},
      {"normalimage", "kb/key.png", true},
      {"textcolor", "#FF112233", true},
      {"nosuchattribute", "1", false},
  };
  for (const auto& c : cases) {
    CDeviceKeyButtonUI key;
    EXPECT_EQ(key.SetAttribute(c.name, c.value), c.accepted) << c.name << "=" << c.value;
  }
  CDeviceKeyButtonUI key;
  ASSERT_TRUE(key.SetAttribute("gmnametextcolor", "#FF0000"));
  EXPECT_EQ(key.GetTextColor(), 0u);
}

TEST_F(CustomControlsTest, ChartViewAttributeSpellings) {
  const struct {
    const char* name;
    const char* value;
    int initialView;
    bool accepted;
    int view;
  } cases[] = {
      {"view", "histpgram", CChartViewUI::kPie, true, CChartViewUI::kHistogram},
      {"view", "pie", CChartViewUI::kHistogram, true, CChartViewUI::kPie},
      {"view", "histogram", CChartViewUI::kPie, false, CChartViewUI::kPie},
      {"view", "Pie", CChartViewUI::kHistogram, false, CChartViewUI::kHistogram},
      {"View", "histpgram", CChartViewUI::kPie, false, CChartViewUI::kPie},
  };
  for (const auto& c : cases) {
    CChartViewUI chart;
    chart.SetView(static_cast<CChartViewUI::View>(c.initialView));
    EXPECT_EQ(chart.SetAttribute(c.name, c.value), c.accepted) << c.name << "=" << c.value;
    EXPECT_EQ(chart.GetView(), c.view) << c.name << "=" << c.value;
  }
  // Base attributes still reach the base control.
  CChartViewUI chart;
  EXPECT_TRUE(chart.SetAttribute("bkcolor", "#FF102030"));
  EXPECT_EQ(chart.GetBkColor(), 0xFF102030u);
  EXPECT_FALSE(chart.SetAttribute("pillarimagewidth", "wide"));
}

TEST_F(CustomControlsTest, EmptyHistogramDrawsOnlyItsShadowBand) {
  CChartViewUI chart;
  ASSERT_TRUE(chart.SetAttribute("view", "histpgram"));
  ASSERT_TRUE(chart.SetAttribute("shadowimage", ImageFile("shadow.png", kMagenta, 8, 8)));
  ASSERT_TRUE(chart.SetAttribute("shadowimageheight", "10"));
  ASSERT_TRUE(chart.SetAttribute("pillarimage", ImageFile("pillar-unused.png", kGreen, 8, 8)));
  ASSERT_TRUE(chart.SetAttribute("pillarimagewidth", "20"));
  const QImage image = Render(chart, 200, 100);
  // Show text is on: a 25-pixel label band at the bottom, the shadow right above it.
  for (int y = 0; y < image.height(); ++y) {
    const UIColor expected = (y >= 65 && y < 75) ? kMagenta : kNothing;
    for (int x = 0; x < image.width(); ++x) {
      ASSERT_EQ(At(image, x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(CustomControlsTest, HistogramPillarsStandOnTheLabelBandScaledToTheLargest) {
  CChartViewUI chart;
  chart.SetView(CChartViewUI::kHistogram);
  chart.SetShowText(false);
  chart.SetPillarImage(ImageFile("pillar.png", kGreen, 8, 8));
  chart.SetPillarImageWidth(20);
  chart.AddItem("low", 50);
  chart.AddItem("high", 100);
  const QImage image = Render(chart, 200, 125);
  // gap = (200 / 20) * 2 = 20: pillars at x 20..40 and 60..80.
  EXPECT_EQ(At(image, 10, 120), kNothing);
  EXPECT_EQ(At(image, 30, 124), kGreen);
  EXPECT_EQ(At(image, 30, 64), kGreen);   // 125 * 50 / 100 = 62 pixels tall
  EXPECT_EQ(At(image, 30, 61), kNothing);
  EXPECT_EQ(At(image, 50, 100), kNothing);
  EXPECT_EQ(At(image, 70, 1), kGreen);
  EXPECT_EQ(At(image, 90, 100), kNothing);
}

TEST_F(CustomControlsTest, PieSlicesAndLegendTakeTheTableColours) {
  CChartViewUI chart;
  chart.AddItem("first", 1);
  chart.AddItem("second", 1);
  chart.AddItem("third", 2);
  const QImage image = Render(chart, 300, 200);
  // Legend 100 wide: d = 190, the pie at (5,5) with its centre at (100,100). Slices run
  // clockwise from three o'clock: 0..90, 90..180, 180..360.
  EXPECT_EQ(At(image, 150, 140), 0xFF3F96F5u);
  EXPECT_EQ(At(image, 50, 140), 0xFFFF5A01u);
  EXPECT_EQ(At(image, 100, 40), 0xFF6AF4C0u);
  // Legend squares at x 205, from y = (190 - 3 * 22) / 2 = 62, one every 22 pixels.
  EXPECT_EQ(At(image, 214, 71), 0xFF3F96F5u);
  EXPECT_EQ(At(image, 214, 93), 0xFFFF5A01u);
  EXPECT_EQ(At(image, 214, 115), 0xFF6AF4C0u);
  EXPECT_EQ(At(image, 214, 137), kNothing);
}

TEST_F(CustomControlsTest, PieColoursRepeatAfterEighteenItems) {
  EXPECT_EQ(PieSliceColor(17), 0xFF882612u);
  EXPECT_EQ(PieSliceColor(18), PieSliceColor(0));
}

class WndUITest : public CustomControlsTest {
 protected:
  void SetUp() override {
    CustomControlsTest::SetUp();
    window_ = std::make_unique<QWidget>();
    window_->setGeometry(100, 100, 300, 300);
    page_ = new QWidget(window_.get());
    page_->setGeometry(0, 0, 300, 300);
    control_ = std::make_unique<CWndUI>();
    control_->AttachHost(page_);
    control_->SetPos({10, 20, 110, 70});
    window_->show();
  }

  std::unique_ptr<QWidget> window_;
  QWidget* page_ = nullptr;
  std::unique_ptr<CWndUI> control_;
};

TEST_F(WndUITest, ChildWidgetFollowsThePlaceAndVisibilityOfTheControl) {
  auto* hosted = new QWidget(window_.get());
  control_->Attach(hosted);
  EXPECT_EQ(hosted->geometry(), QRect(10, 20, 100, 50));
  EXPECT_TRUE(hosted->isVisible());

  control_->SetPos({30, 40, 90, 60});
  EXPECT_EQ(hosted->geometry(), QRect(30, 40, 60, 20));

  control_->SetVisible(false);
  EXPECT_FALSE(hosted->isVisible());
  control_->SetVisible(true);
  EXPECT_TRUE(hosted->isVisible());

  // A hidden page (another tab) hides what its controls host.
  page_->hide();
  EXPECT_FALSE(hosted->isVisible());
  page_->show();
  EXPECT_TRUE(hosted->isVisible());
}

TEST_F(WndUITest, TopLevelWindowIsPlacedInScreenCoordinates) {
  auto hosted = std::make_unique<QWidget>();
  control_->Attach(hosted.get());
  EXPECT_EQ(hosted->geometry().topLeft(), window_->mapToGlobal(QPoint(10, 20)));
  EXPECT_EQ(hosted->size(), QSize(100, 50));
  EXPECT_TRUE(hosted->isVisible());
  control_->Attach(nullptr);
  EXPECT_EQ(control_->GetHostedWindow(), nullptr);
}

}  // namespace
}  // namespace vz::ui

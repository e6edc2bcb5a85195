// Windows: timers by id, messages from other threads, the modal loop's close value, the
// caption band, layout geometry and what a screenshot shows.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPainter>
#include <atomic>
#include <cstdio>
#include <thread>

#include "platform/ui/button.h"
#include "platform/ui/label.h"
#include "platform/ui/render.h"
#include "platform/ui/container.h"
#include "platform/ui/ui_script.h"
#include "ui_test_support.h"

namespace vz::ui {
namespace {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { test::UseSkinFolder(test::TestDataDir()); }
};

TEST_F(WindowTest, CreateBuildsTheSkinAndSendsWindowInitOnce) {
  test::RecordingWindow wnd("XML_SAMPLE");
  ASSERT_TRUE(wnd.Create(nullptr, "sample"));
  EXPECT_EQ(wnd.GetWindowRect().Width(), 300) << "the layout's size";
  EXPECT_TRUE(wnd.Of(kNotifyWindowInit).empty()) << "windowinit comes from the event loop";
  script::Wait(10);
  EXPECT_EQ(wnd.Of(kNotifyWindowInit), (std::vector<std::string>{"Root"}));

  test::RecordingWindow broken("XML_BROKEN");
  EXPECT_FALSE(broken.Create(nullptr, "broken"));
  EXPECT_NE(broken.CreateError().find("broken.xml"), std::string::npos) << broken.CreateError();
  EXPECT_FALSE(broken.IsWindow());
}

TEST_F(WindowTest, TimersFireByIdUntilKilled) {
  test::RecordingWindow wnd("XML_SAMPLE");
  ASSERT_TRUE(wnd.Create(nullptr, "sample"));
  wnd.SetTimer(2, 10);
  wnd.SetTimer(8, 25);
  script::Wait(60);
  auto count = [&](UINT_PTR id) { return std::count(wnd.timers.begin(), wnd.timers.end(), id); };
  EXPECT_GE(count(2), 3);
  EXPECT_GE(count(8), 1);
  EXPECT_GT(count(2), count(8));
  wnd.KillTimer(2);
  EXPECT_FALSE(wnd.HasTimer(2));
  auto before = count(2);
  script::Wait(30);
  EXPECT_EQ(count(2), before) << "a killed timer stays quiet";
  EXPECT_TRUE(wnd.HasTimer(8));
}

TEST_F(WindowTest, MessagesPostedFromAWorkerArriveOnceAndInOrder) {
  test::RecordingWindow wnd("XML_SAMPLE");
  ASSERT_TRUE(wnd.Create(nullptr, "sample"));
  std::thread::id handledOn;
  std::vector<LPARAM> params;
  wnd.onMessage = [&](unsigned, WPARAM, LPARAM l) {
    handledOn = std::this_thread::get_id();
    params.push_back(l);
    return LRESULT{0};
  };
  WindowHandle handle = wnd.GetHWND();
  std::thread worker([handle] {
    for (LPARAM i = 0; i < 200; ++i) handle.PostMessage(0x901, 0, i);
  });
  worker.join();
  EXPECT_TRUE(params.empty()) << "nothing runs on the worker";
  script::Wait(20);
  ASSERT_EQ(params.size(), 200u);
  for (LPARAM i = 0; i < 200; ++i) EXPECT_EQ(params[static_cast<std::size_t>(i)], i);
  EXPECT_EQ(handledOn, std::this_thread::get_id());
}

TEST_F(WindowTest, SendMessageFromAWorkerWaitsForTheResult) {
  test::RecordingWindow wnd("XML_SAMPLE");
  ASSERT_TRUE(wnd.Create(nullptr, "sample"));
  wnd.onMessage = [](unsigned msg, WPARAM w, LPARAM) { return static_cast<LRESULT>(msg + w); };
  EXPECT_EQ(wnd.SendMessage(0xB01, 5), 0xB06) << "on the UI thread it is a direct call";
  std::atomic<LRESULT> answer{-1};
  std::thread worker([&, handle = wnd.GetHWND()] { answer = handle.SendMessage(0x902, 1); });
  while (answer == -1) script::Wait(1);
  worker.join();
  EXPECT_EQ(answer, 0x903);
}

TEST_F(WindowTest, AWindowThatGoesAwayReleasesBlockedSendersAndRefusesMessages) {
  auto* wnd = new test::RecordingWindow("XML_SAMPLE");
  ASSERT_TRUE(wnd->Create(nullptr, "sample"));
  wnd->onMessage = [](unsigned, WPARAM, LPARAM) { return LRESULT{42}; };
  WindowHandle handle = wnd->GetHWND();
  std::atomic<LRESULT> answer{-1};
  std::thread worker([&] { answer = handle.SendMessage(0x902, 1); });
  // The UI thread runs no events meanwhile, so the send is still waiting when the window goes.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(answer, -1);
  delete wnd;
  worker.join();
  EXPECT_EQ(answer, 0) << "released unhandled";
  EXPECT_FALSE(handle.PostMessage(0x901));
  EXPECT_EQ(handle.SendMessage(0x901), 0);
  EXPECT_FALSE(handle.IsWindow());
}

class ClosingWindow : public test::RecordingWindow {
 public:
  using RecordingWindow::RecordingWindow;
  bool finalized = false;
  bool destroyed = false;

 protected:
  void OnClick(TNotifyUI& msg) override {
    if (msg.pSender->GetName() == "closebtn") Close(7);
  }
  void OnDestroy() override {
    destroyed = true;
    RecordingWindow::OnDestroy();
  }
  void OnFinalMessage() override { finalized = true; }
};

TEST_F(WindowTest, ShowModalReturnsTheCloseValue) {
  ClosingWindow wnd("XML_SAMPLE");
  ASSERT_TRUE(wnd.Create(nullptr, "modal"));
  QMetaObject::invokeMethod(wnd.Surface(), [&] { script::Click(wnd.PaintManager(), "closebtn"); },
                            Qt::QueuedConnection);
  EXPECT_EQ(wnd.ShowModal(), 7u);
  EXPECT_TRUE(wnd.destroyed);
  EXPECT_TRUE(wnd.finalized);
  EXPECT_FALSE(wnd.IsWindow());
}

TEST_F(WindowTest, TheCaptionDragsExceptOverButtons) {
  test::RecordingWindow wnd("XML_SAMPLE");
  ASSERT_TRUE(wnd.Create(nullptr, "sample", 100, 100));
  wnd.ShowWindow(true);
  CPaintManagerUI& pm = wnd.PaintManager();
  pm.UpdateLayout();
  QWidget* title = pm.FindControl("title")->Host();
  QWidget* surface = wnd.Surface();
  auto mouse = [](QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QPoint global = w->mapToGlobal(at);
    QMouseEvent ev(type, QPointF(at), QPointF(at), QPointF(global), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &ev);
  };
  QPoint start = surface->pos();
  mouse(title, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
  mouse(surface, QEvent::MouseMove, {40, 30}, Qt::LeftButton);
  mouse(surface, QEvent::MouseButtonRelease, {40, 30}, Qt::NoButton);
  EXPECT_EQ(surface->pos() - start, QPoint(30, 20)) << "a press on a label in the caption drags";

  ASSERT_TRUE(script::Click(pm, "closebtn").ok);
  EXPECT_EQ(wnd.Of(kNotifyClick), (std::vector<std::string>{"closebtn"}))
      << "a button in the caption band stays clickable";
}

TEST_F(WindowTest, AVirtualWindowTakesTheNotificationsOfItsControls) {
  ClosingWindow wnd("XML_SAMPLE");
  ASSERT_TRUE(wnd.Create(nullptr, "sample"));
  wnd.ShowWindow(true);
  struct Page : CNotifyPump {
    std::vector<std::string> clicks;
    bool HandleNotify(TNotifyUI& msg) override {
      if (msg.sType != kNotifyClick) return false;
      clicks.push_back(msg.pSender->GetName());
      return true;
    }
  } page;
  ASSERT_TRUE(wnd.AddVirtualWnd("MainPage", &page));
  EXPECT_FALSE(wnd.AddVirtualWnd("mainpage", &page)) << "one pump per name";
  wnd.PaintManager().FindControl("caption_bar")->SetVirtualWnd("mainpage");
  ASSERT_TRUE(script::Click(wnd.PaintManager(), "closebtn").ok);
  EXPECT_EQ(page.clicks, (std::vector<std::string>{"closebtn"}));
  EXPECT_TRUE(wnd.IsWindow()) << "the page handled it, so the window did not close";
  ASSERT_TRUE(wnd.RemoveVirtualWnd("MAINPAGE"));
  ASSERT_TRUE(script::Click(wnd.PaintManager(), "closebtn").ok);
  EXPECT_EQ(page.clicks.size(), 1u);
  script::Wait(5);
  EXPECT_TRUE(wnd.destroyed) << "without the page the window's own click handling closes it";
}

// Pixels of the sample layout: its colours show where the layout put each control.
TEST_F(WindowTest, AScreenshotShowsWhatTheLayoutSays) {
  test::RecordingWindow wnd("XML_SAMPLE");
  ASSERT_TRUE(wnd.Create(nullptr, "sample"));
  wnd.ShowWindow(true);
  QImage shot = wnd.PaintManager().Screenshot();
  ASSERT_EQ(shot.size(), QSize(300, 200));
  struct Probe {
    int x, y;
    QRgb color;
    const char* what;
  };
  const Probe probes[] = {
      {150, 5, 0xFFFF0000, "caption bar, 30 px high"},
      {150, 35, 0xFF204080, "root background between the options"},
      {255, 45, 0xFF00FFFF, "float swatch at 250,40"},
      {290, 195, 0xFF204080, "root background under the list"},
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(shot.pixel(p.x, p.y), p.color) << p.what << " at " << p.x << "," << p.y;
  }
  CControlUI* pages = wnd.PaintManager().FindControl("pages");
  EXPECT_EQ(pages->GetPos(), (UIRect{0, 54, 300, 114})) << "30 + 24 above it, 60 high";
  EXPECT_EQ(wnd.PaintManager().FindControl("slider")->GetPos(), (UIRect{4, 58, 114, 110}))
      << "inset 4 inside page1";
  EXPECT_EQ(wnd.PaintManager().FindControl(UIPoint{285, 10}), wnd.PaintManager().FindControl("closebtn"));

  // Named by process: two builds may run this test at the same time.
  std::string png = ::testing::TempDir() + "ui_shot_" + std::to_string(QCoreApplication::applicationPid()) + ".png";
  ASSERT_TRUE(wnd.PaintManager().SaveScreenshot(png));
  QImage back(QString::fromStdString(png));
  EXPECT_EQ(back.pixel(150, 5), 0xFFFF0000u);
  std::remove(png.c_str());
}

TEST_F(WindowTest, ButtonsPaintTheImageOfTheirState) {
  test::RecordingWindow wnd("XML_SAMPLE");
  ASSERT_TRUE(wnd.Create(nullptr, "sample"));
  wnd.ShowWindow(true);
  auto* button = static_cast<CButtonUI*>(wnd.PaintManager().FindControl("closebtn"));
  ASSERT_TRUE(button->SetAttribute("normalimage", "red.svg"));
  ASSERT_TRUE(button->SetAttribute("hotimage", "file='green.svg'"));
  ASSERT_TRUE(button->SetAttribute("pushedimage", "file='halves.svg' source='8,0,16,16'"));
  ASSERT_TRUE(button->SetAttribute("disabledimage", "file='red.svg' fade='0'"));
  button->SetText("");
  QWidget* host = button->Host();
  auto centre = [&] { return host->grab().toImage().pixel(host->width() / 2, host->height() / 2) | 0xFF000000u; };
  auto send = [&](QEvent::Type type) {
    QPointF at(5, 5);
    if (type == QEvent::Enter) {
      QEnterEvent ev(at, at, QPointF(host->mapToGlobal(QPoint(5, 5))));
      QApplication::sendEvent(host, &ev);
      return;
    }
    if (type == QEvent::Leave) {
      QEvent ev(QEvent::Leave);
      QApplication::sendEvent(host, &ev);
      return;
    }
    QMouseEvent ev(type, at, at, QPointF(host->mapToGlobal(QPoint(5, 5))), Qt::LeftButton,
                   type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(host, &ev);
  };
  EXPECT_EQ(centre(), 0xFFFF0000u) << "normal";
  send(QEvent::Enter);
  EXPECT_EQ(centre(), 0xFF00FF00u) << "hot";
  send(QEvent::MouseButtonPress);
  EXPECT_EQ(centre(), 0xFF0000FFu) << "pushed: the right half of the file";
  send(QEvent::MouseButtonRelease);
  send(QEvent::Leave);
  EXPECT_EQ(centre(), 0xFFFF0000u) << "normal again";
  EXPECT_EQ(wnd.Of(kNotifyMouseEnter), (std::vector<std::string>{"closebtn"}));
  EXPECT_EQ(wnd.Of(kNotifyMouseLeave), (std::vector<std::string>{"closebtn"}));
  button->SetEnabled(false);
  EXPECT_NE(centre(), 0xFFFF0000u) << "disabled: the faded image lets the bar show";
  button->SetEnabled(true);
  button->SetChangerColor(0xFF0000FF);
  button->SetChangerAlpha(255);
  EXPECT_EQ(centre(), 0xFF0000FFu) << "a full changer tint covers the control";
}

TEST_F(WindowTest, SetDpiScalesTheWindowAndTheLayout) {
  test::RecordingWindow wnd("XML_SAMPLE");
  ASSERT_TRUE(wnd.Create(nullptr, "sample"));
  wnd.ShowWindow(true);
  CPaintManagerUI& pm = wnd.PaintManager();
  pm.SetDPI(144);
  script::Wait(5);
  EXPECT_EQ(wnd.GetWindowRect().Width(), 450);
  EXPECT_EQ(pm.FindControl("closebtn")->GetPos().Width(), 45);
  EXPECT_EQ(pm.FindControl("caption_bar")->GetPos().Height(), 45);
  EXPECT_EQ(pm.GetQFont(0).pixelSize(), 18);
}

}  // namespace
}  // namespace vz::ui

namespace vz::ui {
namespace {

// Rows of the image that hold any ink, and the number of separate bands they form.
int InkBands(const QImage& image) {
  int bands = 0;
  bool inInk = false;
  for (int y = 0; y < image.height(); ++y) {
    bool ink = false;
    for (int x = 0; x < image.width() && !ink; ++x) ink = qGray(image.pixel(x, y)) > 128;
    if (ink && !inInk) ++bands;
    inInk = ink;
  }
  return bands;
}

QImage TextIn(int width, int height, const std::string& text, unsigned align) {
  test::App();
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  QFont font = painter.font();
  font.setPixelSize(9);
  painter.setFont(font);
  CPaintContext ctx(painter, nullptr);
  ctx.DrawText(UIRect{0, 0, width, height}, text, 0xFFFFFFFF, -1, align);
  return image;
}

// A tall narrow key: with word breaks the name takes two lines instead of being cut short;
// without room for the lines it is still cut to one.
TEST(TextDrawing, WrappedTextIsCutShortOnlyWhenItsLinesDoNotFit) {
  const unsigned centred = kAlignCenter | kAlignVCenter | kAlignEndEllipsis;
  EXPECT_EQ(InkBands(TextIn(28, 60, "Num Enter", centred | kAlignWordBreak)), 2);
  EXPECT_EQ(InkBands(TextIn(28, 60, "Num Enter", centred)), 1);
  EXPECT_EQ(InkBands(TextIn(28, 12, "Num Enter", centred | kAlignWordBreak)), 1);
}

// An image's dest box is in skin coordinates: at 150 % a 10 px box covers 15 px.
TEST(ImageDrawing, DestBoxesGrowWithTheDpi) {
  test::UseSkinFolder(test::TestDataDir());
  test::RecordingWindow wnd("XML_SAMPLE");
  ASSERT_TRUE(wnd.Create(nullptr, "dpi"));
  for (const int dpi : {96, 144}) {
    wnd.PaintManager().SetDPI(dpi);
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    CPaintContext ctx(painter, &wnd.PaintManager());
    ASSERT_TRUE(ctx.DrawImage(UIRect{0, 0, 40, 40}, "file='red.svg' dest='2,2,12,12'"));
    painter.end();
    const int end = dpi == 96 ? 12 : 18;
    EXPECT_EQ(image.pixel(end - 1, end - 1), 0xFFFF0000u) << dpi;
    EXPECT_EQ(image.pixel(end + 1, end + 1), 0xFF000000u) << dpi;
  }
}

}  // namespace
}  // namespace vz::ui

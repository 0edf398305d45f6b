// A click on the preview of the rich example, from the click to the finished
// preview on the screen, beside the core's own preview render of the same
// scene: the difference is what the window adds (the preparation, the worker
// thread, the stage messages and refreshes carried to the window). Runs offscreen unless
// QT_QPA_PLATFORM says otherwise (QT_QPA_PLATFORM=xcb under a display includes drawing on the X
// server).
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "ui/LookAroundView.h"
#include "ui/Main.h"
#include "ui/PreviewArea.h"

namespace horizonmill {
namespace {

const std::string kScene = std::string(HORIZONMILL_SOURCE_DIR) + "/examples/lighthouse-coast.hm";

class Silent : public ui::UserDialogs {
 public:
  std::optional<QString> ChooseFile(QWidget*, const ui::FileDialogSetup&) override { return {}; }
  std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override {
    return {};
  }
  void Message(QWidget*, const QString&, const QString&) override {}
  void Error(QWidget*, const QString&, const QString&) override {}
  bool Ask(QWidget*, const QString&) override { return false; }
  bool OfferPictureFolder(QWidget*, const QString&, const QString&) override { return false; }
  ui::SaveChoice AskToSave(QWidget*, const QString&) override { return ui::SaveChoice::Discard; }
  void Inform(QWidget*, const QString&) override {}
  std::optional<QColor> ChooseColour(QWidget*, const QColor&) override { return {}; }
  void Beep() override {}
  int RunModal(QDialog&) override { return 0; }
};

// The window with the rich example open, shown, its start-up events done.
struct OpenWindow {
  OpenWindow() : window(dialogs, dir.filePath("bench.INI").toStdString()) {
    window.show();
    window.Start(kScene);
    QApplication::processEvents();
  }
  QTemporaryDir dir;
  Silent dialogs;
  ui::THorizonmill_MainForm window;
};

void BM_CorePreviewRender(benchmark::State& state) {
  Session session;
  session.Open(kScene);
  for (auto _ : state) session.RenderPreview();
}
BENCHMARK(BM_CorePreviewRender)->Unit(benchmark::kMillisecond);

void BM_WindowPreviewClick(benchmark::State& state) {
  OpenWindow open;
  auto* preview = open.window.findChild<ui::PreviewArea*>("Preview");
  for (auto _ : state) {
    state.PauseTiming();
    open.window.session().ProgressTick();  // what the progress timer does 100 ms after a render
    state.ResumeTiming();
    QTest::mouseClick(preview, Qt::LeftButton);
    // The render runs beside the event loop: the click is done when it has ended.
    while (open.window.session().Context().Rendering)
      QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}
BENCHMARK(BM_WindowPreviewClick)->Unit(benchmark::kMillisecond);

// The full-size render with the window as its host (letting events run a few
// times per 100 ms, a refresh of the preview after each stage) beside the same
// render without a window.
void BM_CoreFullRender(benchmark::State& state) {
  Session session;
  session.Open(kScene);
  for (auto _ : state) session.RenderOutput();
}
BENCHMARK(BM_CoreFullRender)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_WindowFullRender(benchmark::State& state) {
  OpenWindow open;
  for (auto _ : state) open.window.session().RenderOutput();
}
BENCHMARK(BM_WindowFullRender)->Unit(benchmark::kMillisecond)->Iterations(2);

// One frame of the look-around window at 800 x 600 on the full render, as a
// drag repaints it: the view drawn by the core, the picture put on the window.
void BM_LookAroundRepaint800x600(benchmark::State& state) {
  OpenWindow open;
  open.window.session().RenderOutput();
  open.window.findChild<QAction*>("LookAround1")->trigger();
  auto* view = open.window.findChild<ui::LookAroundView*>("LookAroundView");
  view->SetPanorama(&open.window.session().OutputBitmap(), "完成画像");
  view->resize(800, 600);
  QApplication::processEvents();
  double turn = 0;
  for (auto _ : state) {
    turn += 1.7;
    view->SetAngles({turn, 10, 75});
    view->repaint();
  }
  if (view->Frame().Width() != 800) state.SkipWithError("the view drew nothing");
}
BENCHMARK(BM_LookAroundRepaint800x600)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace horizonmill

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

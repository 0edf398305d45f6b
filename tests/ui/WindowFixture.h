// The main window on a fresh temporary folder (the program INI lives there and
// it is the current directory), with FakeDialogs, for the tests of the dialogs
// the window opens.
#pragma once

#include <QAbstractButton>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

#include "ui/FakeDialogs.h"
#include "ui/Main.h"

namespace horizonmill::ui {

// The child of `root` with that object name; the test stops when there is none.
template <typename T = QWidget>
T* Child(const QObject& root, const char* name) {
  T* child = root.findChild<T*>(name);
  if (!child) qFatal("no %s", name);
  return child;
}

// Clicks a button (or check box, radio button) of a dialog.
inline void Press(QWidget& dialog, const char* button) {
  QTest::mouseClick(Child<QAbstractButton>(dialog, button), Qt::LeftButton);
}

struct WindowFixture {
  WindowFixture() {
    QDir::setCurrent(dir.path());
    Restart();
  }
  // The window anew, with a settings file (a path) as the first argument.
  void Restart(const std::string& settingsFile = {}) {
    window.reset();
    window = std::make_unique<THorizonmill_MainForm>(dialogs, Ini());
    window->show();
    window->Start(settingsFile);
  }
  std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
  std::filesystem::path Ini() const { return Path("prog.INI"); }
  SceneSettings& Scene() { return window->session().Scene(); }
  // Clicks a button of the window, running `onModal` on the dialog it opens,
  // and waits for the render it starts.
  void Open(const char* button, std::function<void(QDialog&)> onModal) {
    dialogs.onModal = std::move(onModal);
    QTest::mouseClick(Child<QPushButton>(*window, button), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return !window->session().Context().Rendering; }, 20000));
  }

  // The cube-map command's options are taken as they stand (OK).
  void AcceptCubeMapOptions() {
    dialogs.onModal = [](QDialog& d) {
      if (d.objectName() == "CubeMapForm")
        Press(d, "CubeMapOk");
      else
        d.reject();
    };
  }

  QTemporaryDir dir;
  FakeDialogs dialogs;
  std::unique_ptr<THorizonmill_MainForm> window;
};

inline std::string Example(const char* name) {
  return std::string(HORIZONMILL_SOURCE_DIR) + "/examples/" + name;
}

}  // namespace horizonmill::ui

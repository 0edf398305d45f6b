// WindowParts: the parts of the window its commands work with (the file, the
// texture, the output, the registration and the editor commands). The window
// makes them and hands the same set to every command; all of them outlive the
// commands.
#pragma once

class QWidget;

namespace horizonmill {
class Session;
}

namespace horizonmill::ui {

class EditHistory;
class LivePreview;
class OutputControls;
class ProgramIni;
class RenderPanel;
class SessionView;
class UserDialogs;

struct WindowParts {
  Session& session;
  UserDialogs& dialogs;
  // The dialogs' and the editors' parent, and the commands' owner.
  QWidget* window;
  SessionView& view;
  ProgramIni& programIni;
  RenderPanel& panel;
  OutputControls& outputControls;
  EditHistory& history;
  LivePreview& live;
};

}  // namespace horizonmill::ui

// BoundInput: a text input of the window bound to its text field of the
// scene. What is typed, or set by the window, is the field at once; Show puts
// the field as the scene holds it back into the input, which is no edit. Undo
// and redo (Ctrl+Z, Ctrl+Shift+Z, Ctrl+Y) are the window's, not the input's:
// they take back whole edits, what was typed into an input being one.
#pragma once

#include <string>

#include "app/Session.h"
#include "ui/TextInput.h"

namespace horizonmill::ui {

class BoundInput : public TextInput {
  Q_OBJECT

 public:
  // The text field of the scene that the input holds.
  using Field = std::string& (*)(SceneSettings&);

  // `session` outlives the input. A typing limit also sizes the input: room
  // for that many characters and a little more.
  BoundInput(const char* name, int typingLimit, const QString& hint, Session& session, Field field,
             QWidget* parent = nullptr);

  // The field as it stands (after New, Open, a browse).
  void Show();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 signals:
  // The text changed, and the field with it.
  void edited();

 private:
  void TextChange(const QString& text);

  Session& session_;
  Field field_;
};

}  // namespace horizonmill::ui

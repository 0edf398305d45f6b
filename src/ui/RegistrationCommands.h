// RegistrationCommands: the registration of the scene as a background of the
// host system (RegistToQoraL: the host INI, the name dialog, the full render,
// app/HostCommands.h) and the removal dialog of what was registered
// (QoraL_Delete), which is offered once a host is known.
#pragma once

#include <QObject>
#include <optional>
#include <string>

#include "app/HostCommands.h"
#include "app/Session.h"
#include "ui/WindowParts.h"

namespace horizonmill::ui {

class TDelBackForm;
class TRegistName;

class RegistrationCommands : public QObject {
  Q_OBJECT

 public:
  explicit RegistrationCommands(const WindowParts& parts);

  void RegistToQoraLClick();
  void QoraL_DeleteClick();

  // At start-up the removal is offered when the program INI remembers a host.
  void ReadProgramIni();
  // The removal command: enabled at start-up when a host is remembered and
  // after a registration; off for the run once the host's list was missing.
  bool RemovalAvailable() const { return removalAvailable_; }

 private:
  // The host INI of the registration: the remembered one when it exists, else
  // the one the user picks; nothing when the user cancels.
  std::optional<std::string> HostIniForRegistration();
  void SetRemovalAvailable(bool available);
  // After the registration's render has ended: the registration, and what
  // the user hears of it.
  void EndRegistration(RegisterRun& run);

  WindowParts parts_;
  TRegistName* registName_;
  TDelBackForm* delBackForm_;
  bool removalAvailable_ = false;
};

}  // namespace horizonmill::ui

// The sequences of registering backgrounds with the host system and removing
// them, as the window and the command line both run them. One rule decides
// which host and folders they use: the host INI's own sections; the program's
// settings only remember which host INI was chosen ("QoraL_Target").
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppHost.h"
#include "app/RenderAndWrite.h"
#include "host/RegisteredBackgrounds.h"
#include "host/Registration.h"

namespace horizonmill {

class ProgramSettings;
class Session;

// The host INI the registration uses without asking: the remembered one, when
// the file is still there.
std::optional<std::string> RememberedHostIni(const ProgramSettings& settings);

// The installation of the host INI (FindHost: the user has heard why when it
// is none). When the remembered host INI turns out not to be installed, it is
// forgotten, so that the next registration asks for the host INI again.
std::optional<HostInstallation> OpenHost(ProgramSettings& settings, const std::string& hostIni,
                                         AppHost& host);

enum class RegisterOutcome {
  Registered,
  Refused,      // names the host cannot take, or taken: told, nothing written
  NotWritten,   // the render was aborted and what was drawn not kept, or the
                // registration was aborted while it wrote: the host as it was
  OutOfMemory,  // the size breaks the limits or memory ran out: nothing rendered
};

struct RegisterResult {
  RegisterOutcome outcome = RegisterOutcome::Registered;
  bool aborted = false;       // registered as far as it was drawn
  bool writeAborted = false;  // the registration was aborted while it wrote
  std::string reason;  // OutOfMemory: why, in English, to follow MessageCode::MemoryExhausted
};

// The names checked (CheckRegistration), the full-size render, then, unless
// the render was aborted and the host does not keep it, the registration at the
// session's JPEG quality (RegisterBackground, run through host.RunWrite as
// WriteAfterRender says: its messages are held and told once it has ended;
// an abort while it writes its pictures puts the host's files back). The
// host INI is then remembered in the settings, which are saved (a failure to
// save them is told; the registration stands). Throws FileError when a file
// of the host cannot be read or written (the registration is then none of
// it).
RegisterResult RenderAndRegister(Session& session, const HostInstallation& installation,
                                 const BackgroundNames& names, AppHost& host);

// RenderAndRegister in two halves around the render, as RenderAndWrite's
// (app/RenderAndWrite.h): begun on the caller's thread (the names checked,
// the document prepared), the render drawn (DrawPlannedRender of `render`
// unless the run has ended), then ended on the caller's thread.
struct RegisterRun {
  HostInstallation installation;
  BackgroundNames names;
  PlannedRender render;
  RegisterResult result;
  bool ended = false;  // the result is final already: nothing is to be drawn
  bool drawn = false;  // for the caller that draws it: what DrawPlannedRender said
};
std::unique_ptr<RegisterRun> BeginRenderAndRegister(Session& session,
                                                    const HostInstallation& installation,
                                                    const BackgroundNames& names, AppHost& host);
// `drawn`: what DrawPlannedRender said. Throws as RenderAndRegister does.
RegisterResult EndRenderAndRegister(Session& session, RegisterRun& run, bool drawn, AppHost& host);

// The folders of the remembered host INI, for listing and removal; nothing
// (the user has heard why) when none is remembered or it names no background
// folder.
std::optional<HostFolders> RemovalHost(const ProgramSettings& settings, AppHost& host);

// The backgrounds this program registered with the host (ReadRegisteredBackgrounds).
std::vector<RegisteredBackground> ListRegistered(const HostFolders& folders, AppHost& host);
// Removes records[index] (DeleteRegisteredBackground: after the host's
// confirmation; `records` follows the files).
RemovalResult RemoveRegistered(const HostFolders& folders,
                               std::vector<RegisteredBackground>& records, std::size_t index,
                               AppHost& host);

struct RemovalByAlias {
  RemovalResult result;
  std::string key;  // the record's management key ("Back21")
};
// Removes the first registered background whose alias is `alias` (after the
// host's confirmation, DeleteRegisteredBackground); nothing when no record has
// that alias.
std::optional<RemovalByAlias> RemoveByAlias(const HostFolders& folders, const std::string& alias,
                                            AppHost& host);

}  // namespace horizonmill

#include "app/HostCommands.h"

#include <filesystem>
#include <system_error>

#include "app/Session.h"
#include "host/HostFiles.h"
#include "image/ImageLimits.h"
#include "platform/FileError.h"
#include "platform/Messages.h"
#include "platform/Paths.h"

namespace horizonmill {
namespace {

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

// Saves the settings after a command that itself succeeded: a failure is told.
void SaveSettings(ProgramSettings& settings, AppHost& host) {
  try {
    settings.Save();
  } catch (const FileError& e) {
    host.MessageBox(MessageCode::SettingsNotSaved, e.what());
  }
}

}  // namespace

std::optional<std::string> RememberedHostIni(const ProgramSettings& settings) {
  const std::string& remembered = settings.Values().QoraLTarget;
  if (remembered.empty() || !FileExists(remembered)) return std::nullopt;
  return remembered;
}

std::optional<HostInstallation> OpenHost(ProgramSettings& settings, const std::string& hostIni,
                                         AppHost& host) {
  auto installation = FindHost(hostIni, host);
  const std::string& remembered = settings.Values().QoraLTarget;
  if (!installation && !remembered.empty() && AbsolutePath(remembered) == AbsolutePath(hostIni)) {
    settings.SetHostTarget("");
    SaveSettings(settings, host);
  }
  return installation;
}

std::unique_ptr<RegisterRun> BeginRenderAndRegister(Session& session,
                                                    const HostInstallation& installation,
                                                    const BackgroundNames& names, AppHost& host) {
  auto run = std::make_unique<RegisterRun>();
  run->installation = installation;
  run->names = names;
  if (!CheckRegistration(installation, names, host)) {
    run->result.outcome = RegisterOutcome::Refused;
    run->ended = true;
    return run;
  }
  run->render.scene = session.Prepare().scene;
  run->render.resolution = session.Scene().Output.Resolution;
  return run;
}

RegisterResult EndRenderAndRegister(Session& session, RegisterRun& run, bool drawn, AppHost& host) {
  RegisterResult& result = run.result;
  if (run.ended) return result;
  if (!drawn) {
    result.outcome = RegisterOutcome::OutOfMemory;
    result.reason = OutputSizeProblem(OutputSizeOf(run.render.resolution));
    return result;
  }
  result.aborted = session.Context().AbortRequested;
  if (result.aborted && !host.KeepAbortedRender()) {
    result.outcome = RegisterOutcome::NotWritten;
    return result;
  }
  // What killed runs left beside the host's pictures and INI files goes
  // first, named.
  const HostFolders& folders = run.installation.Folders;
  RemoveLeftTemporariesIn(
      {folders.BackgroundFolder().string(), folders.Direct3DFolder().string(),
       std::filesystem::path(AbsolutePath(folders.HostIni)).parent_path().string()},
      host);
  // The registration runs where the host runs writes (beside the window's
  // thread): what it tells is held and told here once it has ended.
  bool registered = false;
  {
    HeldMessages held(host);
    const WorkBitmap& picture = session.OutputBitmap();
    const int quality = session.JpegQuality();
    if (!WriteAfterRender(session.Context(), host, [&](WriteProgress& progress) {
          registered =
              RegisterBackground(run.installation, run.names, picture, quality, held, &progress);
        })) {
      result.outcome = RegisterOutcome::NotWritten;
      result.writeAborted = true;
      return result;
    }
  }
  if (!registered) {
    result.outcome = RegisterOutcome::Refused;
    return result;
  }
  session.Settings().SetHostTarget(AbsolutePath(run.installation.Folders.HostIni));
  SaveSettings(session.Settings(), host);
  return result;
}

RegisterResult RenderAndRegister(Session& session, const HostInstallation& installation,
                                 const BackgroundNames& names, AppHost& host) {
  const std::unique_ptr<RegisterRun> run =
      BeginRenderAndRegister(session, installation, names, host);
  bool drawn = true;
  if (!run->ended)
    drawn = DrawPlannedRender(run->render, session.Context(), session.OutputTarget(),
                              session.PreviewBitmap());
  return EndRenderAndRegister(session, *run, drawn, host);
}

std::optional<HostFolders> RemovalHost(const ProgramSettings& settings, AppHost& host) {
  return FindHostFolders(settings.Values().QoraLTarget, host);
}

std::vector<RegisteredBackground> ListRegistered(const HostFolders& folders, AppHost& host) {
  return ReadRegisteredBackgrounds(folders, host);
}

RemovalResult RemoveRegistered(const HostFolders& folders,
                               std::vector<RegisteredBackground>& records, std::size_t index,
                               AppHost& host) {
  return DeleteRegisteredBackground(folders, records, index, host);
}

std::optional<RemovalByAlias> RemoveByAlias(const HostFolders& folders, const std::string& alias,
                                            AppHost& host) {
  std::vector<RegisteredBackground> records = ListRegistered(folders, host);
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].Alias != alias) continue;
    std::string key = records[i].Key;
    return RemovalByAlias{RemoveRegistered(folders, records, i, host), std::move(key)};
  }
  return std::nullopt;
}

}  // namespace horizonmill

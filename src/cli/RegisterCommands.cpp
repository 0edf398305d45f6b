#include "cli/RegisterCommands.h"

#include <cstdio>
#include <string>

#include "app/HostCommands.h"
#include "cli/SceneRender.h"
#include "platform/FileError.h"

namespace horizonmill::cli {
namespace {

int Register(const Options& options) {
  CommandLineHost ui;
  Session session{ProgramSettings(DefaultProgramIni())};
  const auto installation = OpenHost(session.Settings(), options.hostIni, ui);
  if (!installation) return 1;
  const BackgroundNames names{*options.alias, *options.name,
                              options.jpeg ? PictureFormat::Jpeg : PictureFormat::Bmp};
  // Before the scene is loaded: nothing is spent on names the host cannot take.
  if (!CheckRegistration(*installation, names, ui)) return 1;

  WarningLog warnings(stderr);
  if (const int status = LoadScene(options, session, warnings)) return status;
  if (const int status = RefuseWarnings(options, warnings)) return status;
  TerminalPort terminal = MakeTerminalPort(options, warnings, session);
  session.Context().Port = &terminal;
  const RegisterResult result = RenderAndRegister(session, *installation, names, ui);
  terminal.Finish();
  if (const int status = RefuseRenderReports(options, terminal)) return status;
  switch (result.outcome) {
    case RegisterOutcome::Registered:
      break;
    case RegisterOutcome::Refused:
      return 1;
    case RegisterOutcome::NotWritten:
      return StopForInterrupt(AbortingSignal());
    case RegisterOutcome::OutOfMemory:
      return FailOutOfMemory(result.reason);
  }
  if (!options.quiet) {
    const BackgroundFiles files = FilesOf(installation->Folders, names);
    const WorkBitmap& image = session.OutputBitmap();
    std::fprintf(stderr, "%s: registered \"%s\" (%d x %d): %s, %s, %s\n", kName,
                 names.Alias.c_str(), image.Width(), image.Height(), files.Picture.c_str(),
                 files.Catalog.c_str(), files.Texture.c_str());
  }
  return 0;
}

int ListRegistered(const Options& options) {
  CommandLineHost ui;
  const auto folders = FindHostFolders(options.hostIni, ui);
  if (!folders) return 1;
  for (const RegisteredBackground& r : ListRegistered(*folders, ui))
    std::printf("%s\t%s\t%s\t%s\n", r.Key.c_str(), r.Alias.c_str(), r.CatalogFile.c_str(),
                r.PictureFile.c_str());
  return 0;
}

int Unregister(const Options& options) {
  CommandLineHost ui;
  const auto folders = FindHostFolders(options.hostIni, ui);
  if (!folders) return 1;
  const auto result = RemoveByAlias(*folders, *options.alias, ui);
  if (!result)
    return Fail("no background registered with " + options.hostIni + " has the alias \"" +
                *options.alias + "\"");
  if (result->result != RemovalResult::Removed) return 1;
  if (!options.quiet)
    std::fprintf(stderr, "%s: removed \"%s\" (%s)\n", kName, options.alias->c_str(),
                 result->key.c_str());
  return 0;
}

}  // namespace

int RunRegistrationCommand(const Options& options) {
  try {
    switch (options.command) {
      case Command::Register:
        return Register(options);
      case Command::ListRegistered:
        return ListRegistered(options);
      case Command::Unregister:
        return Unregister(options);
      case Command::Render:
      case Command::WriteDefault:
        break;
    }
  } catch (const FileError& e) {
    return Fail(e.what());
  }
  return 2;
}

}  // namespace horizonmill::cli

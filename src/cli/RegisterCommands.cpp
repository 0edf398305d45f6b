#include "cli/RegisterCommands.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/SceneRender.h"
#include "output/RegisteredBackgrounds.h"
#include "output/Registration.h"
#include "platform/ApplicationSettings.h"
#include "platform/FileError.h"
#include "platform/Paths.h"

namespace horizonmill::cli {
namespace {

// Nobody to ask on the command line: the command itself is the confirmation,
// and each message goes to standard error with its English reason.
class CommandLineHost : public RegistrationHost {
 public:
  void MessageBox(std::string_view text, std::string_view detail) override {
    std::fprintf(stderr, "%s: %.*s", kName, static_cast<int>(text.size()), text.data());
    if (!detail.empty())
      std::fprintf(stderr, " (%.*s)", static_cast<int>(detail.size()), detail.data());
    std::fputc('\n', stderr);
  }
  bool Confirm(std::string_view) override { return true; }
};

int Register(const Options& options) {
  CommandLineHost ui;
  const auto installation = FindHost(options.hostIni, ui);
  if (!installation) return 1;
  const BackgroundNames names{*options.alias, *options.name,
                              options.jpeg ? PictureFormat::Jpeg : PictureFormat::Bmp};
  if (!CheckRegistration(*installation, names, ui)) return 1;

  Session session;
  WarningLog warnings(stderr);
  if (const int status = LoadScene(options, session, warnings)) return status;
  if (const int status = RefuseWarnings(options, warnings)) return status;
  TerminalHost terminal(stderr, !options.quiet && ::isatty(STDERR_FILENO));
  if (const int status = RenderScene(options, session, terminal)) return status;
  const WorkBitmap& image = RenderedImage(options, session);

  const std::filesystem::path ini = ProgramIni();
  const int quality = options.quality.value_or(ReadApplicationSettings(ini).JPEGQuality);
  if (!RegisterBackground(*installation, names, image, quality, ui)) return 1;
  try {
    WriteHostTargetSetting(ini, options.hostIni);
  } catch (const FileError& e) {
    // Registered all the same: only the next run's default host is not remembered.
    std::fprintf(stderr, "%s: warning: %s\n", kName, e.what());
  }
  if (!options.quiet) {
    const BackgroundFiles files = FilesOf(installation->Folders, names);
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
  for (const RegisteredBackground& r : ReadRegisteredBackgrounds(*folders, ui))
    std::printf("%s\t%s\t%s\t%s\n", r.Key.c_str(), r.Alias.c_str(), r.CatalogFile.c_str(),
                r.PictureFile.c_str());
  return 0;
}

int Unregister(const Options& options) {
  CommandLineHost ui;
  const auto folders = FindHostFolders(options.hostIni, ui);
  if (!folders) return 1;
  std::vector<RegisteredBackground> records = ReadRegisteredBackgrounds(*folders, ui);
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].Alias != *options.alias) continue;
    const std::string key = records[i].Key;
    if (DeleteRegisteredBackground(*folders, records, i, ui) != RemovalResult::Removed) return 1;
    if (!options.quiet)
      std::fprintf(stderr, "%s: removed \"%s\" (%s)\n", kName, options.alias->c_str(), key.c_str());
    return 0;
  }
  return Fail("no background registered with " + options.hostIni + " has the alias \"" +
              *options.alias + "\"");
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

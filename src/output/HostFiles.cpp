#include "output/HostFiles.h"

#include <system_error>

#include "platform/FileError.h"
#include "platform/Paths.h"

namespace horizonmill {

std::string EntryKey(long long number) { return "Back" + std::to_string(number); }

std::string JoinFields(std::string_view a, std::string_view b, std::string_view c) {
  std::string value(a);
  value.append(",").append(b).append(",").append(c);
  return value;
}

std::filesystem::path TexturePath(const HostFolders& folders, std::string_view pictureFile) {
  return folders.Direct3DFolder() / (StripExtension(pictureFile) + ".jpg");
}

void TellNotInstalled(RegistrationHost& host, const std::string& reason) {
  host.Beep();
  host.MessageBox(kNotInstalledMessage, reason);
}

std::string NoBackgroundListReason(const HostFolders& folders) {
  return folders.HostIni + " has no BGMax in [Menu], and there is no " +
         (folders.BackgroundFolder() / kBackgroundListFileName).string();
}

}  // namespace horizonmill

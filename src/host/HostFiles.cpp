#include "host/HostFiles.h"

#include <charconv>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/Interrupt.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

namespace horizonmill {

std::string EntryKey(long long number) { return "Back" + std::to_string(number); }

std::optional<int> EntryNumber(std::string_view key) {
  if (key.size() < 5 || !EqualIgnoringAsciiCase(key.substr(0, 4), "Back")) return std::nullopt;
  const std::string_view digits = key.substr(4);
  if (digits.size() > 1 && digits[0] == '0') return std::nullopt;
  int n = 0;
  const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (r.ec != std::errc() || r.ptr != digits.data() + digits.size() || n < 0) return std::nullopt;
  return n;
}

std::string JoinFields(std::string_view a, std::string_view b, std::string_view c) {
  std::string value(a);
  value.append(",").append(b).append(",").append(c);
  return value;
}

std::filesystem::path TexturePath(const HostFolders& folders, std::string_view pictureFile) {
  return folders.Direct3DFolder() / (StripExtension(pictureFile) + ".jpg");
}

std::string HostLockPath(const HostFolders& folders) {
  if (folders.HostIni.empty()) throw FileError(folders.HostIni, "no host INI file is named");
  // The same file reached by another name must give the same lock.
  std::error_code ec;
  std::filesystem::path path = std::filesystem::weakly_canonical(folders.HostIni, ec);
  if (ec) path = std::filesystem::absolute(folders.HostIni, ec);
  if (ec) path = folders.HostIni;
  return path.string() + ".lock";
}

HostLock::HostLock(const HostFolders& folders) : hostIni_(HostLockPath(folders)) {
  const std::filesystem::path folder = folders.BackgroundFolder();
  std::error_code ec;
  if (std::filesystem::is_directory(folder, ec)) folder_.emplace(folder.string(), LockOn::Folder);
  StopIfInterrupted();
}

HeldMessages::~HeldMessages() {
  try {
    for (const Held& h : held_) {
      if (h.message)
        host_.MessageBox(*h.message, h.detail);
      else
        host_.Beep();
    }
  } catch (...) {
    // Telling failed: nothing is left to tell it with.
  }
}

void HeldMessages::Beep() { held_.push_back({}); }

void HeldMessages::MessageBox(const Message& message, std::string_view detail) {
  held_.push_back({message, std::string(detail)});
}

void TellNotInstalled(RegistrationHost& host, const std::string& reason) {
  host.Beep();
  host.MessageBox(MessageCode::HostNotInstalled, reason);
}

void TellHostFileError(RegistrationHost& host, const FileError& error) {
  if (dynamic_cast<const IniUtf16Error*>(&error) == nullptr) {
    TellNotInstalled(host, error.what());
    return;
  }
  host.Beep();
  host.MessageBox(MessageCode::HostIniUtf16, error.what());
}

std::string HostFileReadOnlyReason(const std::string& path) {
  const std::string behind = FileBehindLinks(path);
  const std::string reason = ReadOnlyReason(behind);
  if (reason.empty()) return {};
  return path + (behind == path ? "" : " (through its link, " + behind + ")") + " " + reason +
         ": the host could not write it either";
}

std::string NoBackgroundListReason(const HostFolders& folders) {
  return folders.HostIni + " has no BGMax in [Menu], and there is no " +
         (folders.BackgroundFolder() / kBackgroundListFileName).string();
}

}  // namespace horizonmill

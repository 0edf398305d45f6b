// What registration and removal share about the host's files: their names,
// sections and keys, and the messages about them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Registration.h"
#include "platform/FileError.h"
#include "platform/FileLock.h"
#include "platform/PrivateProfile.h"

namespace horizonmill {

inline constexpr std::string_view kHostMenuSection = "Menu";
inline constexpr std::string_view kBGMaxKey = "BGMax";
inline constexpr std::string_view kBackgroundListFileName = "bg.ini";
inline constexpr std::string_view kBackgroundListSection = "BG.jpn";
inline constexpr std::string_view kManagementFileName = "Horizonmill_mng.ini";
inline constexpr std::string_view kManagementSection = "BACKMANAGEMENT";
inline constexpr std::string_view kCatalogPrefix = "c_";
// Sections of the management file beside "BACKMANAGEMENT" that say what a
// registration or a removal was doing when it stopped (HostTidying.h): key
// "Back<n>", value alias,c_file.bmp,file.ext as in a record.
inline constexpr std::string_view kRegisteringSection = "REGISTERING";
inline constexpr std::string_view kRemovingSection = "REMOVING";

// "Back" and the entry number in decimal, without leading zeros.
std::string EntryKey(long long number);
// The number of a key "Back<n>" as "Back%d" writes it (any letter case, no
// leading zeros); nothing for any other key.
std::optional<int> EntryNumber(std::string_view key);
// The fields of a list value joined by ",".
std::string JoinFields(std::string_view a, std::string_view b, std::string_view c);
// D3DDir\<the picture's base name>.jpg: the texture is always a JPEG.
std::filesystem::path TexturePath(const HostFolders& folders, std::string_view pictureFile);

// The host's lock file, which registration, listing and removal hold while
// they read and write the host's files: the host INI's path (symbolic links
// resolved) and ".lock" ("QoraL2.ini.lock"). Throws FileError when no host
// INI is named.
std::string HostLockPath(const HostFolders& folders);

// What registration, listing and removal hold while they read and write the
// host's files: the host INI's lock (HostLockPath), then the background
// folder's (the folder itself locked, FileLock.h), which every host INI
// naming that folder meets, for its management file and bg.ini are shared
// through it. Always taken in this order, one of each, so that two holders
// never wait on each other in a circle; both go when this goes, also when an
// exception leaves. A background folder that does not exist is not locked.
// Throws as FileLock does; an interrupt pending once the locks are ours is
// thrown as Interrupted (the locks let go), so that a stop asked for while
// waiting is heard before any work.
class HostLock {
 public:
  explicit HostLock(const HostFolders& folders);

 private:
  FileLock hostIni_;
  std::optional<FileLock> folder_;
};

// Runs `change` on the document of the file `path`: a text the document
// cannot take becomes a FileError naming the file.
template <typename F>
void ChangeIniDocument(const std::string& path, F change) {
  try {
    change();
  } catch (const IniTextError& e) {
    throw FileError(path, e.what());
  }
}

// What the host is told while the host's lock is held, kept back and told
// in order when this goes, which is after the lock has gone when it is made
// before the lock: a message box left open must not keep another
// registration of the host waiting. Nothing is asked meanwhile.
class HeldMessages : public RegistrationHost {
 public:
  explicit HeldMessages(RegistrationHost& host) : host_(host) {}
  ~HeldMessages() override;
  HeldMessages(const HeldMessages&) = delete;
  HeldMessages& operator=(const HeldMessages&) = delete;

  void Beep() override;
  void MessageBox(const Message& message, std::string_view detail) override;

 private:
  struct Held {
    std::optional<Message> message;  // nothing for a beep
    std::string detail;
  };
  RegistrationHost& host_;
  std::vector<Held> held_;
};

// Beeps and shows MessageCode::HostNotInstalled with the reason.
void TellNotInstalled(RegistrationHost& host, const std::string& reason);
// Beeps and tells why a file of the host cannot be used: MessageCode::HostIniUtf16
// for a UTF-16 file, else MessageCode::HostNotInstalled; the error in the details.
void TellHostFileError(RegistrationHost& host, const FileError& error);
// Why a file that a registration or removal writes would be refused as
// read-only (ReadOnlyReason, through links), naming it; empty when it may be
// written or is missing.
std::string HostFileReadOnlyReason(const std::string& path);
// The reason when FindBackgroundList finds no list.
std::string NoBackgroundListReason(const HostFolders& folders);

}  // namespace horizonmill

// Registering a rendered background with the host animation system: its
// pictures go into the host's folders, an entry into the host's background
// list, and a record into this program's management file so that it can be
// removed again (RegisteredBackgrounds.h).
//
// The steps are split so that the window and the command line share them:
//   FindHost               the host INI's folders and background list (or "not installed");
//                          FindHostFolders the folders alone, for listing and removal
//   CheckRegistration      the names and the duplicate check, before the render
//   RegisterBackground     the pictures and the list entries, from the rendered picture
// What the user must hear goes through a RegistrationHost.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "host/FileNameRules.h"
#include "image/WorkBitmap.h"
#include "platform/Messages.h"
#include "platform/PrivateProfile.h"
#include "platform/WriteProgress.h"

namespace horizonmill {

inline constexpr int kCatalogWidth = 104, kCatalogHeight = 80;
inline constexpr int kTextureSide = 1024;
inline constexpr int kMaxAliasBytes = 32;  // in the Japanese code page

// What registration and removal need from whoever drives them.
class RegistrationHost {
 public:
  virtual ~RegistrationHost() = default;
  virtual void Beep() {}
  // `message` is what the user is told; `detail` says in English what exactly
  // is wrong, naming the file or folder (may be empty).
  virtual void MessageBox(const Message& message, std::string_view detail) {}
  // A question with the buttons Yes and No; true for Yes.
  virtual bool Confirm(const Message& question) { return false; }
};

// The host's folders as its INI file names them.
struct HostFolders {
  std::string HostIni;  // the host INI's path on this machine
  std::string BGDir;    // "BGDir" of "QORA-L2", or of "QORA-L1" when that is empty
  std::string D3DDir;   // "BGDir" of "Direct3D"

  // The folders on this machine: relative values against the host INI's
  // folder, "\" read as "/", drive letters through the Wine prefix.
  std::filesystem::path BackgroundFolder() const;
  std::filesystem::path Direct3DFolder() const;
  // BGDir\Horizonmill_mng.ini
  std::filesystem::path ManagementFile() const;
};

// Reads the folders from the host INI (all empty for a missing file). Throws
// FileError naming the file when it exists but cannot be read or is no
// regular file (a FIFO there is refused at once, never waited on).
HostFolders ReadHostFolders(const std::string& hostIni);

// Where the host keeps its background list.
struct BackgroundList {
  std::string File;          // the host INI, or BGDir\bg.ini
  std::string_view Section;  // "Menu" or "BG.jpn"
};
// Section "Menu" of the host INI when its "BGMax" holds anything at all
// ("-1" too, which the list's count then refuses), else "BG.jpn" of
// BGDir\bg.ini when that file exists, else nothing. Throws FileError for a
// host INI that cannot be read.
std::optional<BackgroundList> FindBackgroundList(const HostFolders& folders);

// Reads the host INI: its folders, when it exists and names a background
// folder; otherwise beeps, shows MessageCode::HostNotInstalled with the reason, and
// returns nothing.
std::optional<HostFolders> FindHostFolders(const std::string& hostIni, RegistrationHost& host);

struct HostInstallation {
  HostFolders Folders;
  BackgroundList List;
};

// FindHostFolders, then the checks that the host is installed: the
// background folder exists, a Direct3D folder is named and exists, and the
// background list is found. Otherwise beeps, shows MessageCode::HostNotInstalled with
// the reason, and returns nothing (the caller disables the command).
std::optional<HostInstallation> FindHost(const std::string& hostIni, RegistrationHost& host);

enum class PictureFormat { Bmp, Jpeg };

struct BackgroundNames {
  std::string Alias;     // shown in the host's background list
  std::string FileName;  // the pictures' name without extension
  PictureFormat Format = PictureFormat::Bmp;
};

// The files one background has.
struct BackgroundFiles {
  std::string PictureFile, CatalogFile;    // "sunset.jpg", "c_sunset.bmp"
  std::filesystem::path Picture, Catalog;  // in the background folder
  std::filesystem::path Texture;           // the Direct3D texture, always JPEG
};
BackgroundFiles FilesOf(const HostFolders& folders, const BackgroundNames& names);

// The largest entry number the host's list may be given: past it the host
// cannot reach an entry (a count near 2^31 wraps in its arithmetic).
inline constexpr long long kMaxHostEntryNumber = 9999;

// Where the next entry of the host's list goes, or why the list cannot say.
struct NextEntry {
  std::optional<long long> Number;
  std::string Refusal;  // in English, naming the file and section
};
// "BGMax" + 1 of the list's section ("BGMax" missing or empty counts 0),
// when "BGMax" is decimal digits alone, the entry is at most
// kMaxHostEntryNumber, and no "Back<n>" holds a value there yet: the host's
// count is not trusted to overwrite the host's own entries.
NextEntry NextEntryNumber(const IniDocument& list, const BackgroundList& where);

// Before anything is written: the alias (at most kMaxAliasBytes in CP932, no
// "," and no control character, no blank at either end and no quote at its
// start, which the host's list would not give back) and the file name (FileNameProblem: at most
// kMaxFileNameLength characters, CP932, no path, no character Windows
// refuses, no "." or blank at its end, no device name; empty is allowed).
// Then the duplicate check: none of BGDir\file.bmp, BGDir\file.jpg,
// BGDir\c_file.bmp, D3DDir\file.jpg may exist, in any letter case (the host
// runs under Windows' rules). Then neither the host's list nor the
// management file may be read-only (MessageCode::HostFileReadOnly with a beep
// and the reason: HostFileReadOnlyReason). Then the host's list must leave room for the
// entry (NextEntryNumber; otherwise MessageCode::HostNotInstalled with a beep and the
// reason; a list that cannot be read is left to RegisterBackground, which
// throws naming it). On a failure the message is shown and false returned.
bool CheckRegistration(const HostInstallation& installation, const BackgroundNames& names,
                       RegistrationHost& host);

// The catalog picture: the middle half of the picture, nearest neighbour.
WorkBitmap MakeCatalogPicture(const WorkBitmap& picture);
// The Direct3D texture: the whole picture scaled to kTextureSide squared.
WorkBitmap MakeDirect3DTexture(const WorkBitmap& picture);

// Registers the rendered picture. Checks the names (false after the message);
// then, holding the host's locks (HostLock) to its last write, tidies the
// host (HostTidying.h), checks again as CheckRegistration does (false after
// its message), and writes, each file replaced atomically:
//   1. a note of the registration in the management file ("REGISTERING");
//   2. the picture (BMP, or JPEG at `jpegQuality`), the catalog picture
//      (BMP) and the Direct3D texture (JPEG);
//   3. the host's list: n = NextEntryNumber, read now (a list without room
//      is refused before step 1), and "Back<n>" =
//      alias,c_file,file;
//   4. the management file: the record "Back<n>" = alias,c_file.bmp,file.ext,
//      and the note gone.
// Stopped at any point, the next registration, listing or removal of the host
// finishes it (after 3) or takes it back (before). Throws FileError naming
// the file when a file cannot be read or written, Interrupted when an
// interrupt stops a write; then the host's files are put back as they were
// (what cannot be is left to the next tidying). With a progress, the three
// pictures' rows are planned and counted there, and a request to stop is
// looked at before the lock is taken and while the pictures are written
// (step 2): the registration then ends with WriteCancelled, the host's files
// put back as after a failure. Once the pictures are complete it goes on to
// its end.
bool RegisterBackground(const HostInstallation& installation, const BackgroundNames& names,
                        const WorkBitmap& picture, int jpegQuality, RegistrationHost& host,
                        WriteProgress* progress = nullptr);

}  // namespace horizonmill

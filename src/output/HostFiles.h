// What registration and removal share about the host's files: their names,
// sections and keys, and writing several INI files as one change.
#pragma once

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "output/Registration.h"
#include "platform/PrivateProfile.h"

namespace horizonmill {

inline constexpr std::string_view kHostMenuSection = "Menu";
inline constexpr std::string_view kBGMaxKey = "BGMax";
inline constexpr std::string_view kBackgroundListFileName = "bg.ini";
inline constexpr std::string_view kBackgroundListSection = "BG.jpn";
inline constexpr std::string_view kManagementFileName = "Horizonmill_mng.ini";
inline constexpr std::string_view kManagementSection = "BACKMANAGEMENT";
inline constexpr std::string_view kCatalogPrefix = "c_";

// "Back" and the entry number in decimal, without leading zeros.
std::string EntryKey(long long number);
// The fields of a list value joined by ",".
std::string JoinFields(std::string_view a, std::string_view b, std::string_view c);
// D3DDir\<the picture's base name>.jpg: the texture is always a JPEG.
std::filesystem::path TexturePath(const HostFolders& folders, std::string_view pictureFile);

// Beeps and shows kNotInstalledMessage with the reason.
void TellNotInstalled(RegistrationHost& host, const std::string& reason);
// The reason when FindBackgroundList finds no list.
std::string NoBackgroundListReason(const HostFolders& folders);

// An INI file read now and written later, which can be put back as it was.
class PendingIniFile {
 public:
  // Throws FileError when the file exists but cannot be read. With
  // `createFolder` a missing folder of the file is created when it is saved.
  PendingIniFile(std::string path, Cp932Overflow overflow, bool createFolder = false);
  const IniDocument& Ini() const { return ini_; }
  // Changes the document; throws FileError naming the file when it cannot
  // take a text (the document is then as it was).
  void Change(const std::function<void(IniDocument&)>& change);
  void Save() const;
  // The file as it was when read (removed if there was none); errors ignored.
  void Restore() const noexcept;

 private:
  std::string path_;
  IniDocument ini_;
  std::string original_;
  bool existed_;
  bool createFolder_;
};

// Saves the files in order; when one fails, those saved before it are
// restored and the FileError is thrown on.
void SaveTogether(std::initializer_list<const PendingIniFile*> files);

}  // namespace horizonmill

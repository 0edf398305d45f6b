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

PendingIniFile::PendingIniFile(std::string path, Cp932Overflow overflow, bool createFolder)
    : path_(std::move(path)), ini_(LoadIniFile(path_)), createFolder_(createFolder) {
  std::error_code ec;
  existed_ = std::filesystem::exists(path_, ec);
  original_ = ini_.Serialize();  // the file's bytes: a document serialises back unchanged
  ini_.SetCp932Overflow(overflow);
}

void PendingIniFile::Change(const std::function<void(IniDocument&)>& change) {
  IniDocument changed = ini_;
  try {
    change(changed);
  } catch (const IniTextError& e) {
    throw FileError(path_, e.what());
  }
  ini_ = std::move(changed);
}

void PendingIniFile::Save() const {
  if (createFolder_) CreateFolderOf(path_);
  SaveIniFile(path_, ini_);
}

void PendingIniFile::Restore() const noexcept {
  try {
    if (existed_) {
      SaveIniFile(path_, IniDocument::Parse(original_));
    } else {
      std::error_code ec;
      std::filesystem::remove(path_, ec);
    }
  } catch (...) {
    // Nothing more can be done; the error that led here is reported.
  }
}

void SaveTogether(std::initializer_list<const PendingIniFile*> files) {
  for (auto it = files.begin(); it != files.end(); ++it) {
    try {
      (*it)->Save();
    } catch (...) {
      for (auto back = files.begin(); back != it; ++back) (*back)->Restore();
      throw;
    }
  }
}

}  // namespace horizonmill

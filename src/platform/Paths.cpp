#include "platform/Paths.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace horizonmill {
namespace {

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::string& ProgramDirectoryStorage() {
  static std::string dir = [] {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return WithSlash(std::filesystem::current_path(ec).string());
    return WithSlash(exe.parent_path().string());
  }();
  return dir;
}

}  // namespace

const std::string& ProgramDirectory() { return ProgramDirectoryStorage(); }

void SetProgramDirectory(std::string directory) {
  ProgramDirectoryStorage() = WithSlash(std::move(directory));
}

std::string ResolvePath(std::string_view name) { return ResolvePath(name, ProgramDirectory()); }

std::string ResolvePath(std::string_view name, std::string_view directory) {
  if (name.size() <= 1 || name[1] == ':' || name[0] == '/') return std::string(name);
  std::string relative(name);
  std::replace(relative.begin(), relative.end(), '\\', '/');
  return JoinPath(directory, relative);
}

std::string JoinPath(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string DirectoryOf(std::string_view path) {
  const auto cut = path.find_last_of('/');
  if (cut == std::string_view::npos) return "./";
  return std::string(path.substr(0, cut + 1));
}

std::string_view LastPathComponent(std::string_view name) {
  const auto cut = name.find_last_of("/\\");
  return cut == std::string_view::npos ? name : name.substr(cut + 1);
}

std::string StripExtension(std::string_view name) {
  // Only a dot of the last component counts: "/opt/a.b/c" is no "/opt/a" with
  // an extension.
  const std::size_t from = name.size() > 4 ? name.size() - 4 : 0;
  for (std::size_t i = name.size(); i > from; --i) {
    const char c = name[i - 1];
    if (c == '/' || c == '\\') break;
    if (c == '.') return std::string(name.substr(0, i - 1));
  }
  return std::string(name);
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

std::filesystem::path HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  struct passwd entry, *found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found)
    return found->pw_dir;
  return "/";
}

}  // namespace horizonmill

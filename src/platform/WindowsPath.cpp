#include "platform/WindowsPath.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "platform/Paths.h"
#include "platform/TextCodec.h"

namespace horizonmill {
namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::filesystem::path WinePrefix() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
  return HomeDirectory() / ".wine";
}

std::filesystem::path FindEntry(const std::filesystem::path& folder, std::string_view name) {
  std::filesystem::path exact = folder / name;
  std::error_code ec;
  if (name == "." || name == ".." || std::filesystem::exists(exact, ec)) return exact;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (EqualIgnoringAsciiCase(it->path().filename().string(), name)) return it->path();
  return exact;
}

std::filesystem::path LocalPathOf(std::string_view name, const std::filesystem::path& folder) {
  std::string rest;
  for (char c : name) rest += c == '\\' ? '/' : c;
  std::filesystem::path path;
  if (rest.size() >= 2 && rest[1] == ':' && IsDriveLetter(rest[0])) {
    const char drive = static_cast<char>(rest[0] | 0x20);  // lower case
    path = WinePrefix() / "dosdevices" / (std::string(1, drive) + ":");
    rest.erase(0, 2);
  } else if (rest.starts_with('/')) {
    path = "/";
  } else {
    path = folder;
  }
  std::size_t at = 0;
  while (at <= rest.size()) {
    std::size_t end = rest.find('/', at);
    if (end == std::string::npos) end = rest.size();
    if (end > at) path = FindEntry(path, std::string_view(rest).substr(at, end - at));
    at = end + 1;
  }
  return path;
}

}  // namespace horizonmill

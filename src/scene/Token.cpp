#include "scene/Token.h"

namespace horizonmill {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

bool IsDelimiter(char c, std::string_view delimiters) {
  return IsBlank(c) || delimiters.find(c) != std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TokenScanner::GetToken(std::string_view source, std::string_view delimiters) {
  remainder_ = TrimBlanks(source);
  if (remainder_.empty()) return {};
  std::size_t end = 0;
  while (end < remainder_.size() && !IsDelimiter(remainder_[end], delimiters)) ++end;
  const std::string_view token = TrimBlanks(remainder_.substr(0, end));
  // The token goes, and with it the one delimiter that ended it (if any).
  remainder_ = TrimBlanks(remainder_.substr(end < remainder_.size() ? end + 1 : end));
  return token;
}

}  // namespace horizonmill

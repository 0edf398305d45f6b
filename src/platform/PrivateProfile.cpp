#include "platform/PrivateProfile.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/TextCodec.h"
#include "platform/WholeFile.h"

namespace horizonmill {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// What one line of text is.
struct Parsed {
  enum Kind { Other, Section, Key } kind = Other;
  std::string_view name;   // section or key, trimmed
  std::string_view value;  // key value, trimmed, quotes not yet taken off
};

Parsed ParseLine(std::string_view text) {
  const std::string_view line = Trim(text);
  if (line.empty() || line.front() == ';') return {};
  if (line.front() == '[') {
    const auto close = line.rfind(']');
    if (close != std::string_view::npos)
      return {Parsed::Section, Trim(line.substr(1, close - 1)), {}};
    // "[" without "]" is no section header; the line may still be a key.
  }
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return {};
  return {Parsed::Key, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// GetPrivateProfileInt's reading: blanks, a sign, digits up to the first
// non-digit, the sum wrapping at 32 bits.
int ParseProfileInteger(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  std::uint32_t sum = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
    sum = sum * 10u + static_cast<std::uint32_t>(s[i] - '0');
  if (negative) sum = 0u - sum;
  return static_cast<int>(sum);  // two's complement: the wrapped value
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::uint32_t Offset(std::size_t size) {
  if (size > std::numeric_limits<std::uint32_t>::max())
    throw IniTextError("the INI text is too long");
  return static_cast<std::uint32_t>(size);
}

}  // namespace

std::size_t IniDocument::FoldedHash::operator()(std::string_view s) const {
  std::size_t h = 14695981039346656037ull;
  for (char c : s) h = (h ^ static_cast<unsigned char>(Fold(c))) * 1099511628211ull;
  return h;
}

bool IniDocument::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
  return EqualIgnoringAsciiCase(a, b);
}

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  doc.utf8_ = bytes.starts_with(kUtf8ByteOrderMark);
  if (doc.utf8_) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  if (bytes.size() > kMaxIniFileBytes) throw IniTextError("the INI text is too long");
  doc.raw_.assign(bytes);
  // No byte of a CP932 or UTF-8 character but LF itself is 0x0A, and decoding
  // replaces broken bytes one by one, so the text has the same lines as the
  // bytes, in the same order.
  doc.text_ = doc.utf8_ ? RepairUtf8(bytes) : Cp932ToUtf8(bytes);
  std::size_t raw = 0, text = 0;
  while (raw < doc.raw_.size()) {
    std::size_t rawEnd = doc.raw_.find('\n', raw);
    std::size_t textEnd = doc.text_.find('\n', text);
    if (rawEnd == std::string::npos) rawEnd = doc.raw_.size();
    if (textEnd == std::string::npos) textEnd = doc.text_.size();
    Line line;
    line.ending = rawEnd < doc.raw_.size() ? Ending::Lf : Ending::None;
    const bool cr = rawEnd > raw && doc.raw_[rawEnd - 1] == '\r';
    if (cr) line.ending = line.ending == Ending::Lf ? Ending::CrLf : Ending::Cr;
    line.rawOffset = Offset(raw);
    line.rawSize = Offset(rawEnd - raw - cr);
    line.textOffset = Offset(text);
    line.textSize = Offset(textEnd - text - (cr && textEnd > text));
    doc.lines_.push_back(line);
    raw = rawEnd + 1;
    text = textEnd + 1;
  }
  return doc;
}

std::string IniDocument::Serialize() const {
  std::string out;
  if (utf8_) out += kUtf8ByteOrderMark;
  for (const Line& line : lines_) {
    out += Raw(line);
    switch (line.ending) {
      case Ending::None:
        break;
      case Ending::Lf:
        out += '\n';
        break;
      case Ending::CrLf:
        out += "\r\n";
        break;
      case Ending::Cr:
        out += '\r';
        break;
    }
  }
  return out;
}

void IniDocument::Forget() const { lookups_ = Lookups(); }

std::optional<IniDocument::Block> IniDocument::FindBlock(std::string_view section) const {
  if (!lookups_.sections) {
    lookups_.sections.emplace();
    std::optional<std::size_t> open;  // the first block whose end is not known yet
    std::string_view openName;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const Parsed p = ParseLine(Text(lines_[i]));
      if (p.kind != Parsed::Section) continue;
      if (open) (*lookups_.sections)[openName].end = i;
      open.reset();
      if (lookups_.sections->try_emplace(p.name, Block{i, lines_.size()}).second) {
        open = i;
        openName = p.name;
      }
    }
  }
  const auto it = lookups_.sections->find(section);
  if (it == lookups_.sections->end()) return std::nullopt;
  return it->second;
}

std::optional<std::size_t> IniDocument::FindKeyLine(const Block& block,
                                                    std::string_view key) const {
  auto [it, fresh] = lookups_.keys.try_emplace(block.header);
  FoldedMap<std::size_t>& keys = it->second;
  if (fresh) {
    for (std::size_t i = block.header + 1; i < block.end; ++i) {
      const Parsed p = ParseLine(Text(lines_[i]));
      if (p.kind == Parsed::Key) keys.try_emplace(p.name, i);
    }
  }
  const auto found = keys.find(key);
  if (found == keys.end()) return std::nullopt;
  return found->second;
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key) const {
  const auto block = FindBlock(section);
  if (!block) return std::nullopt;
  const auto line = FindKeyLine(*block, key);
  if (!line) return std::nullopt;
  return std::string(Unquote(ParseLine(Text(lines_[*line])).value));
}

std::optional<std::string> IniDocument::FindRaw(std::string_view section,
                                                std::string_view key) const {
  const auto block = FindBlock(section);
  if (!block) return std::nullopt;
  const auto line = FindKeyLine(*block, key);
  if (!line) return std::nullopt;
  return std::string(ParseLine(Text(lines_[*line])).value);
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  auto value = Find(section, key);
  return value ? std::move(*value) : std::string(defaultValue);
}

int IniDocument::ReadInteger(std::string_view section, std::string_view key,
                             int defaultValue) const {
  const auto value = Find(section, key);
  if (!value || value->empty()) return defaultValue;
  return ParseProfileInteger(*value);
}

std::vector<std::string> IniDocument::SectionNames() const {
  std::vector<std::string> names;
  FoldedMap<bool> seen;
  for (const Line& line : lines_) {
    const Parsed p = ParseLine(Text(line));
    if (p.kind == Parsed::Section && seen.try_emplace(p.name, true).second)
      names.emplace_back(p.name);
  }
  return names;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  const auto block = FindBlock(section);
  if (!block) return names;
  FoldedMap<bool> seen;
  for (std::size_t i = block->header + 1; i < block->end; ++i) {
    const Parsed p = ParseLine(Text(lines_[i]));
    if (p.kind == Parsed::Key && seen.try_emplace(p.name, true).second) names.emplace_back(p.name);
  }
  return names;
}

IniDocument::Ending IniDocument::NewLineEnding() const {
  for (const Line& line : lines_)
    if (line.ending == Ending::Lf || line.ending == Ending::CrLf) return line.ending;
  return Ending::CrLf;
}

void IniDocument::MakeRoomFor(std::string_view text) {
  if (!IsValidUtf8(text)) throw IniTextError("an INI text must be UTF-8 inside the program");
  if (utf8_ || Utf8ToCp932(text)) return;
  if (overflow_ == Cp932Overflow::Refuse)
    throw IniTextError("\"" + std::string(text) +
                       "\" has characters that the Japanese code page (CP932) cannot hold");
  // Every line's bytes become its text; the file gets the byte-order mark.
  utf8_ = true;
  for (Line& line : lines_) {
    line.rawOffset = line.textOffset;
    line.rawSize = line.textSize;
  }
  raw_ = text_;
}

IniDocument::Line IniDocument::MakeLine(std::string_view text, Ending ending) {
  const std::string bytes = utf8_ ? std::string(text) : Utf8ToCp932(text).value();
  Offset(text_.size() + text.size());
  Offset(raw_.size() + bytes.size());
  Line line;
  line.ending = ending;
  line.rawOffset = Offset(raw_.size());
  line.rawSize = Offset(bytes.size());
  line.textOffset = Offset(text_.size());
  line.textSize = Offset(text.size());
  const auto textCapacity = text_.capacity();
  raw_ += bytes;
  text_ += text;
  // The lookups hold views of text_.
  if (text_.capacity() != textCapacity) Forget();
  return line;
}

void IniDocument::InsertLines(std::size_t at, std::vector<Line> lines) {
  // A last line without a line end (or with a lone CR, which ends no line)
  // gets one before anything follows it.
  if (at == lines_.size() && !lines_.empty()) {
    Ending& last = lines_.back().ending;
    if (last == Ending::None) last = NewLineEnding();
    if (last == Ending::Cr) last = Ending::CrLf;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), lines.begin(), lines.end());
  Forget();
}

void IniDocument::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  if (section.find(']') != std::string_view::npos || HasLineBreak(section) ||
      Trim(section) != section)
    throw IniTextError("\"" + std::string(section) + "\" cannot be an INI section name");
  if (key.empty() || Trim(key) != key || key.find('=') != std::string_view::npos ||
      HasLineBreak(key) || key.front() == '[' || key.front() == ';')
    throw IniTextError("\"" + std::string(key) + "\" cannot be an INI key");
  if (HasLineBreak(value))
    throw IniTextError("an INI value cannot hold a line break (key \"" + std::string(key) + "\")");
  const std::string keyLine = std::string(key) + "=" + std::string(value);
  MakeRoomFor(std::string(section) + keyLine);

  const Ending ending = NewLineEnding();
  const auto block = FindBlock(section);
  if (!block) {
    std::string header(1, '[');
    header.append(section).push_back(']');
    std::vector<Line> lines;
    lines.push_back(MakeLine(header, ending));
    lines.push_back(MakeLine(keyLine, ending));
    InsertLines(lines_.size(), std::move(lines));
    return;
  }
  if (const auto at = FindKeyLine(*block, key)) {
    // In place, the key spelt as it was.
    const std::string line =
        std::string(ParseLine(Text(lines_[*at])).name) + "=" + std::string(value);
    MakeRoomFor(line);
    lines_[*at] = MakeLine(line, lines_[*at].ending);
    return;
  }
  std::size_t at = block->header + 1;
  for (std::size_t i = block->end; i > block->header + 1; --i) {
    if (!Trim(Text(lines_[i - 1])).empty()) {
      at = i;
      break;
    }
  }
  InsertLines(at, {MakeLine(keyLine, ending)});
}

void IniDocument::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniDocument::DeleteKey(std::string_view section, std::string_view key) {
  const auto block = FindBlock(section);
  if (!block) return;
  const auto at = FindKeyLine(*block, key);
  if (!at) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
  Forget();
}

void IniDocument::EraseSection(std::string_view section) {
  std::vector<Line> kept;
  kept.reserve(lines_.size());
  bool erasing = false;
  for (const Line& line : lines_) {
    const Parsed p = ParseLine(Text(line));
    if (p.kind == Parsed::Section) erasing = EqualIgnoringAsciiCase(p.name, section);
    if (!erasing) kept.push_back(line);
  }
  lines_ = std::move(kept);
  Forget();
}

namespace {

// A UTF-16 byte-order mark, or ASCII text as UTF-16 writes it: a zero byte in
// every other place of the first line's worth of bytes.
bool LooksLikeUtf16(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return true;
  const std::size_t n = std::min<std::size_t>(bytes.size(), 64) & ~std::size_t{1};
  if (n < 4) return false;
  for (const std::size_t zeroAt : {0, 1}) {
    bool all = true;
    for (std::size_t i = zeroAt; i < n && all; i += 2) all = bytes[i] == '\0';
    if (all) return true;
  }
  return false;
}

}  // namespace

IniDocument LoadIniFile(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::status(path, ec).type() == std::filesystem::file_type::not_found)
    return IniDocument();
  // (The byte-order mark does not count.)
  const std::string tooLong =
      "too long for an INI file (more than " + std::to_string(kMaxIniFileBytes >> 20) + " MiB)";
  const std::string bytes =
      ReadWholeFile(path, {kMaxIniFileBytes + kUtf8ByteOrderMark.size(), tooLong});
  if (LooksLikeUtf16(bytes))
    throw IniUtf16Error(path,
                        "is UTF-16 text, which is not read; INI files are read as CP932 "
                        "(Shift_JIS) or UTF-8");
  try {
    return IniDocument::Parse(bytes);
  } catch (const IniTextError& e) {
    throw FileError(path, e.what());
  }
}

void SaveIniFile(const std::string& path, const IniDocument& document) {
  WriteFileThroughLinks(path, document.Serialize());
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
  if (createFolder_) {
    const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    std::error_code ec;
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    if (ec) throw FileError(path_, ec.message());
  }
  SaveIniFile(path_, ini_);
}

void PendingIniFile::Restore() const noexcept {
  try {
    if (existed_) {
      // Also after an interrupt stopped the command: the file goes back.
      WriteFileThroughLinks(path_, original_, OnInterrupt::Finish);
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

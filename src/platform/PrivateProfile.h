// Private-profile (INI) files, read and written with the rules of the Windows
// functions that the host system's files and the program's own INI file were
// written with:
//
// - "[name]" starts a section (the name is what lies between "[" and the last
//   "]", blanks trimmed; "[ s ]" is section "s"). Lines before the first
//   section belong to no section.
// - "key=value" is a key of the section above it: the text before the first "="
//   is the key, the text after it the value, both with blanks (space, TAB)
//   trimmed. A line without "=" is no key; an empty value is a key. A value in
//   one matching pair of outer quotes (double or single) reads without them.
// - A line that starts with ";" (after blanks) is a comment; "#" is not.
// - Sections and keys match case-insensitively (ASCII letters). The first key
//   of a name wins, and of a section that appears twice only the first block
//   is searched and written.
// - Integers: optional blanks and sign, then decimal digits up to the first
//   non-digit ("42A" is 42, "B42" is 0), wrapping at 32 bits; an empty value or
//   a missing key gives the default.
//
// Writing changes only the lines it must: every other byte of the file stays as
// it was (comments, blank lines, unknown sections and their order, LF or CR LF
// line ends, even bytes that decode to nothing). A changed key keeps its
// spelling and its place; a new key goes after the last non-blank line of its
// section's first block; a new section goes at the end of the file.
//
// Text on disk is CP932 unless the file starts with a UTF-8 byte-order mark.
// The document works on decoded text, so the second byte of a double-byte
// character is never taken for "[", "]", "=" or ";".
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/FileError.h"

namespace horizonmill {

// A write that a document cannot take: a value CP932 cannot hold in a file
// that must stay CP932, a line break in a value, a key with "=" in it...
class IniTextError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a write does with a value that a CP932 file cannot hold.
enum class Cp932Overflow {
  Refuse,        // IniTextError: the host system reads its files as CP932
  SwitchToUtf8,  // the whole file becomes UTF-8 with a byte-order mark
};

class IniDocument {
 public:
  // An empty file: CP932, CR LF line ends.
  IniDocument() = default;
  // Any bytes up to kMaxIniFileBytes are a document (IniTextError beyond).
  static IniDocument Parse(std::string_view bytes);
  // The bytes of the file: Serialize(Parse(b)) == b for every b.
  std::string Serialize() const;

  bool IsUtf8() const { return utf8_; }
  void SetCp932Overflow(Cp932Overflow overflow) { overflow_ = overflow; }

  // The value (quotes taken off), or nothing when the section or key is missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  // The value as the line holds it, blanks trimmed but quotes kept: what
  // moves a value to another key so that it reads back the same.
  std::optional<std::string> FindRaw(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  // Section names in file order, each name once (as first spelled).
  std::vector<std::string> SectionNames() const;
  // The keys of a section's first block in file order, each once (as first spelled).
  std::vector<std::string> KeyNames(std::string_view section) const;

  // Throw IniTextError, leaving the document unchanged, when the section name
  // holds "]" or a line break, the key is empty or holds "=" or a line break or
  // starts with "[" or ";", a name starts or ends with a blank, or the value
  // holds a line break, and when the text does not fit a CP932 file that may
  // not switch.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  // Removes the key's line; nothing when there is none.
  void DeleteKey(std::string_view section, std::string_view key);
  // Removes every block of the section: its header and every line up to the
  // next section.
  void EraseSection(std::string_view section);

 private:
  enum class Ending : std::uint8_t { None, Lf, CrLf, Cr };
  // Offsets into raw_ and text_: a line's bytes on disk and its decoded text,
  // both without the line end. Changed lines are appended to the buffers.
  struct Line {
    std::uint32_t rawOffset = 0, rawSize = 0, textOffset = 0, textSize = 0;
    Ending ending = Ending::None;
  };
  struct Block {
    std::size_t header, end;  // lines (header, end) belong to the section
  };
  struct FoldedHash {
    std::size_t operator()(std::string_view s) const;
  };
  struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const;
  };
  template <typename V>
  using FoldedMap = std::unordered_map<std::string_view, V, FoldedHash, FoldedEqual>;

  std::string_view Text(const Line& line) const {
    return {text_.data() + line.textOffset, line.textSize};
  }
  std::string_view Raw(const Line& line) const {
    return {raw_.data() + line.rawOffset, line.rawSize};
  }
  std::optional<Block> FindBlock(std::string_view section) const;
  std::optional<std::size_t> FindKeyLine(const Block& block, std::string_view key) const;
  // Throws IniTextError unless the file's encoding can hold the text; a CP932
  // file that may switch becomes UTF-8.
  void MakeRoomFor(std::string_view text);
  // A new line: its text and its bytes in the file's encoding (after MakeRoomFor).
  Line MakeLine(std::string_view text, Ending ending);
  void InsertLines(std::size_t at, std::vector<Line> lines);
  void Forget() const;
  Ending NewLineEnding() const;

  std::string raw_;   // the bytes after any byte-order mark, then changed lines' bytes
  std::string text_;  // the decoded text, then changed lines' text
  std::vector<Line> lines_;
  bool utf8_ = false;
  Cp932Overflow overflow_ = Cp932Overflow::Refuse;
  // Lookups, built when first needed and dropped when lines come or go. They
  // hold views of text_, so a copied or moved document starts without them.
  struct Lookups {
    std::optional<FoldedMap<Block>> sections;
    std::unordered_map<std::size_t, FoldedMap<std::size_t>> keys;  // by header line
    Lookups() = default;
    Lookups(const Lookups&) {}
    Lookups& operator=(const Lookups&) {
      sections.reset();
      keys.clear();
      return *this;
    }
  };
  mutable Lookups lookups_;
};

// The longest INI file read: the host's files are a few kilobytes.
inline constexpr std::size_t kMaxIniFileBytes = 16u << 20;

// A file in UTF-16 (a UTF-16 byte-order mark, or a zero byte in every other
// place of its start): read as CP932 it would say nothing, and written it
// would be spoiled, so it is neither.
class IniUtf16Error : public FileError {
 public:
  using FileError::FileError;
};

// The file's document; a missing file (or folder) is an empty document. Throws
// FileError naming the file when it exists but is no regular file or cannot be
// read, IniUtf16Error when it is UTF-16 text, FileTooLarge when it is longer
// than kMaxIniFileBytes (a byte-order mark not counted).
IniDocument LoadIniFile(const std::string& path);
// Replaces the file atomically with the document's bytes, through symbolic
// links (the file they point to is replaced, the links kept; a read-only file
// is refused: WriteFileThroughLinks); throws FileError naming the file, the
// previous file staying as it was.
void SaveIniFile(const std::string& path, const IniDocument& document);

// An INI file read now and written later, which can be put back as it was:
// for changes that must reach several files or none.
class PendingIniFile {
 public:
  // Throws FileError when the file exists but cannot be read. With
  // `createFolder` a missing folder of the file is created when it is saved.
  PendingIniFile(std::string path, Cp932Overflow overflow, bool createFolder = false);
  const IniDocument& Ini() const { return ini_; }
  // Changes the document; throws FileError naming the file when it cannot
  // take a text (the document is then as it was).
  void Change(const std::function<void(IniDocument&)>& change);
  // Throws FileError naming the file, which stays as it was.
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

// Text on disk and text in the program.
//
// Inside the program every string is UTF-8. Settings files and INI files are
// kept in the Japanese code page (CP932) on disk, as the Windows program left
// them; a text that CP932 cannot hold is written as UTF-8 behind a byte-order
// mark instead, and the readers accept that mark, so no name is ever lost.
// Settings files that text editors here saved as UTF-8 without the mark are
// read as UTF-8 too. The conversions use iconv from the C library.
//
// Bytes that do not decode (a damaged file, a stray byte) are never dropped and
// never stop the reading: each such byte becomes U+FFFD, the Unicode replacement
// character, and decoding goes on with the next byte. A blank or line end that
// follows a broken lead byte therefore stays what it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace horizonmill {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

// A settings file's bytes as UTF-8 text: after a UTF-8 byte-order mark the rest
// is UTF-8 (the mark is dropped); bytes without the mark that are valid UTF-8
// and hold at least one multi-byte character are UTF-8 as they stand (CP932
// text of Japanese characters is practically never valid UTF-8: its lead bytes
// 81..9F are UTF-8 continuation bytes); otherwise the bytes are CP932. Plain
// ASCII reads the same either way.
std::string DecodeText(std::string_view bytes);

// A whole file's text as the bytes to write: CP932 when every character survives
// the trip to CP932 and back unchanged, otherwise the byte-order mark followed by
// the text as UTF-8 (bytes that are no UTF-8 repaired as RepairUtf8 does). CP932
// maps some characters onto others, "¥" onto "\" for one; such a text is written
// as UTF-8 so that it reads back as it was.
std::string EncodeText(std::string_view text);

// CP932 bytes as UTF-8; each byte that does not decode gives U+FFFD.
std::string Cp932ToUtf8(std::string_view bytes);
// UTF-8 as CP932, or nothing when the text is no valid UTF-8 or holds a
// character that does not come back unchanged from CP932.
std::optional<std::string> Utf8ToCp932(std::string_view text);
// The text with each byte that does not belong to a well-formed UTF-8 sequence
// (overlong forms, surrogates and values above U+10FFFF included) replaced by U+FFFD.
std::string RepairUtf8(std::string_view bytes);
bool IsValidUtf8(std::string_view bytes);

// True when the texts differ at most in the case of ASCII letters: how Windows
// compares INI section and key names and file names here.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace horizonmill

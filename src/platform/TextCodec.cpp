#include "platform/TextCodec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace horizonmill {
namespace {

// One iconv conversion, closed when it goes out of scope.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {
    // iconv_open's failure value is (iconv_t)-1.
    if (cd_ == reinterpret_cast<iconv_t>(-1))  // NOLINT(performance-no-int-to-ptr)
      throw std::runtime_error(std::string("text conversion from ") + from + " to " + to +
                               " is not available (iconv_open failed)");
  }
  ~Converter() { ::iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much of [in, in + left) as it can into `out`, advancing `in`.
  // Returns 0 when everything was converted, otherwise the errno that stopped
  // it (EILSEQ: an invalid sequence at `in`; EINVAL: an incomplete one at the end).
  int Convert(const char*& in, std::size_t& left, std::string& out) {
    char buffer[4096];
    while (left > 0) {
      char* source = const_cast<char*>(in);  // iconv's signature; it does not write
      char* target = buffer;
      std::size_t room = sizeof buffer;
      const std::size_t r = ::iconv(cd_, &source, &left, &target, &room);
      const int error = r == static_cast<std::size_t>(-1) ? errno : 0;
      out.append(buffer, static_cast<std::size_t>(target - buffer));
      in = source;
      if (error != 0 && error != E2BIG) {
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        return error;
      }
    }
    return 0;
  }

 private:
  iconv_t cd_;
};

// The length of the well-formed UTF-8 sequence at the start of `s`, 0 if there is none.
std::size_t SequenceLength(std::string_view s) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  auto in = [&](std::size_t i, unsigned lo, unsigned hi) {
    return i < s.size() && byte(i) >= lo && byte(i) <= hi;
  };
  const unsigned b = byte(0);
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return in(1, 0x80, 0xBF) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    // No overlong forms (E0 needs A0..), no surrogates (ED stops at 9F).
    const unsigned lo = b == 0xE0 ? 0xA0 : 0x80;
    const unsigned hi = b == 0xED ? 0x9F : 0xBF;
    return in(1, lo, hi) && in(2, 0x80, 0xBF) ? 3 : 0;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    // No overlong forms (F0 needs 90..), nothing above U+10FFFF (F4 stops at 8F).
    const unsigned lo = b == 0xF0 ? 0x90 : 0x80;
    const unsigned hi = b == 0xF4 ? 0x8F : 0xBF;
    return in(1, lo, hi) && in(2, 0x80, 0xBF) && in(3, 0x80, 0xBF) ? 4 : 0;
  }
  return 0;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t n = SequenceLength(bytes);
    if (n == 0) return false;
    bytes.remove_prefix(n);
  }
  return true;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

std::string RepairUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t n = SequenceLength(bytes);
    if (n == 0) {
      out += kReplacementCharacter;
      bytes.remove_prefix(1);
    } else {
      out.append(bytes.substr(0, n));
      bytes.remove_prefix(n);
    }
  }
  return out;
}

std::string Cp932ToUtf8(std::string_view bytes) {
  Converter converter("UTF-8", "CP932");
  std::string out;
  // A CP932 character of one or two bytes is at most three bytes of UTF-8.
  out.reserve(bytes.size() + bytes.size() / 2);
  const char* in = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    if (converter.Convert(in, left, out) == 0) break;
    // The byte at `in` starts no character: replace that one byte and go on, so
    // a blank or line end after a broken lead byte is read as itself.
    out += kReplacementCharacter;
    ++in;
    --left;
  }
  return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view text) {
  if (!IsValidUtf8(text)) return std::nullopt;
  std::string out;
  {
    Converter converter("CP932", "UTF-8");
    const char* in = text.data();
    std::size_t left = text.size();
    if (converter.Convert(in, left, out) != 0) return std::nullopt;
  }
  // Some characters are taken to a look-alike ("¥" to "\", "〜" to "～"): only
  // a text that comes back unchanged may be stored as CP932.
  if (Cp932ToUtf8(out) != text) return std::nullopt;
  return out;
}

std::string DecodeText(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark))
    return RepairUtf8(bytes.substr(kUtf8ByteOrderMark.size()));
  const bool multiByte = std::any_of(bytes.begin(), bytes.end(),
                                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (multiByte && IsValidUtf8(bytes)) return std::string(bytes);
  return Cp932ToUtf8(bytes);
}

std::string EncodeText(std::string_view text) {
  // (No CP932 text begins like the mark: EF BB is no CP932 character.)
  if (auto cp932 = Utf8ToCp932(text)) return std::move(*cp932);
  std::string out(kUtf8ByteOrderMark);
  out += RepairUtf8(text);
  return out;
}

}  // namespace horizonmill

// The token scanner of the settings reader.
//
// A line is cut into tokens at delimiters: every character whose code, taken as
// an unsigned byte, is 32 or less (the blank and every control character, NUL
// included) and every character of a delimiter set. The settings reader scans
// with the set "=", so "RandomSeed=123" gives "RandomSeed" then "123", while
// "RandomSeed = 123" gives "RandomSeed", then an empty token (the "=" after the
// blank ends it), then "123".
//
// UTF-8 text scans safely: every byte of a multi-byte character is 128 or more,
// so no delimiter is ever found inside one.
#pragma once

#include <string_view>

namespace horizonmill {

// True when the character is 32 or less as an unsigned byte, or occurs in the set.
bool IsDelimiter(char c, std::string_view delimiters);

// Characters of code 32 or less removed from both ends.
std::string_view TrimBlanks(std::string_view text);

// Scans one token after another, keeping what is left of the text (the
// remainder) between calls. Tokens and the remainder are views into the source
// text, which must outlive them.
class TokenScanner {
 public:
  // The remainder becomes the trimmed source. If it is empty, the token is empty.
  // Otherwise the token is everything before the remainder's first delimiter
  // (all of it when there is none); the token and that one delimiter leave the
  // remainder, which is trimmed again.
  std::string_view GetToken(std::string_view source, std::string_view delimiters);
  // GetToken on the current remainder: the next token of the same text.
  std::string_view NextToken(std::string_view delimiters) {
    return GetToken(remainder_, delimiters);
  }

  std::string_view Remainder() const { return remainder_; }

 private:
  std::string_view remainder_;
};

}  // namespace horizonmill

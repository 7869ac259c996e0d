#include "report/shown_text.h"

#include <cstdio>
#include <cstring>

#include "text/messages.h"

namespace {

// Bytes in the UTF-8 character at `bytes` (`available` of them there), or 0 when they begin
// no valid one. `code` receives its code point.
int utf8_length(const unsigned char* bytes, int available, long& code) {
  const unsigned char lead = bytes[0];
  int length = lead < 0x80                    ? 1
               : lead >= 0xC2 && lead <= 0xDF ? 2
               : lead >= 0xE0 && lead <= 0xEF ? 3
               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                              : 0;
  if (length == 0 || length > available) return 0;
  code = length == 1 ? lead : lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((bytes[k] & 0xC0) != 0x80) return 0;
    code = (code << 6) | (bytes[k] & 0x3F);
  }
  const long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

// Code points a terminal acts on rather than shows: C0 and C1 controls, DEL, and the
// characters that reorder or break the text shown around them.
bool acts_on_terminal(long code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
         (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

// True for the characters a terminal shows two columns wide: the East Asian wide and
// full-width blocks (CJK, Hangul, kana, full-width forms) and the emoji blocks.
bool is_wide(long code) {
  struct Range {
    long first;
    long last;
  };
  static const Range wide[] = {
      {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
      {0x2614, 0x2615},   {0x2648, 0x2653},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},
      {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},
      {0xA000, 0xA4CF},   {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
      {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},
      {0x1B000, 0x1B2FF}, {0x1F300, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F900, 0x1F9FF},
      {0x20000, 0x3FFFD},
  };
  for (const Range& range : wide) {
    if (code >= range.first && code <= range.last) return true;
  }
  return false;
}

// The characters a terminal shows as a blank or as nothing, which a report names.
struct InvisibleCharacter {
  long first;
  long last;
  const char* name;
};
const InvisibleCharacter invisible_characters[] = {
    {0x00A0, 0x00A0, words::no_break_space},
    {0x00AD, 0x00AD, words::soft_hyphen},
    {0x2000, 0x200A, words::typographic_space},
    {0x200B, 0x200B, words::zero_width_space},
    {0x202F, 0x202F, words::narrow_no_break_space},
    {0x205F, 0x205F, words::mathematical_space},
    {0x2060, 0x2060, words::word_joiner},
    {0x3000, 0x3000, words::ideographic_space},
    {0xFEFF, 0xFEFF, words::zero_width_no_break_space},
};

// The entry of the character `code`, nullptr when it is none of them.
const InvisibleCharacter* invisible_character(long code) {
  for (const InvisibleCharacter& character : invisible_characters) {
    if (code >= character.first && code <= character.last) return &character;
  }
  return nullptr;
}

// The escape of one byte: a C escape where one exists, else "\xHH".
void escape_byte(unsigned char byte, char (&shown)[shown_capacity]) {
  static const char named[] = "\a\b\t\n\v\f\r\x1b\\";
  static const char* const names[] = {"\\a", "\\b", "\\t", "\\n", "\\v",
                                      "\\f", "\\r", "\\e", "\\\\"};
  const char* found = byte != 0 ? std::strchr(named, byte) : nullptr;
  if (found != nullptr) {
    std::strcpy(shown, names[found - named]);
  } else {
    std::snprintf(shown, sizeof shown, "\\x%02X", byte);
  }
}

}  // namespace

int shown_character(const unsigned char* bytes, int available, bool utf8,
                    char (&shown)[shown_capacity], int& width) {
  long code = 0;
  const int length = utf8 || bytes[0] < 0x80 ? utf8_length(bytes, available, code) : 0;
  width = 1;
  if (length > 0 && !acts_on_terminal(code) && code != '\\' &&
      invisible_character(code) == nullptr) {
    std::memcpy(shown, bytes, static_cast<std::size_t>(length));
    shown[length] = '\0';
    width = is_wide(code) ? 2 : 1;
    return length;
  }
  escape_byte(bytes[0], shown);
  width = static_cast<int>(std::strlen(shown));
  return 1;
}

const char* invisible_character_name(const unsigned char* bytes, int available) {
  long code = 0;
  if (utf8_length(bytes, available, code) == 0) return nullptr;
  const InvisibleCharacter* character = invisible_character(code);
  return character != nullptr ? character->name : nullptr;
}

long column_of(const char* text, int length, int offset) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  long column = 1;
  for (int at = 0; at < offset && at < length; ++column) {
    long code = 0;
    const int size = utf8_length(bytes + at, length - at, code);
    at += size > 0 ? size : 1;
  }
  return column + (offset > length ? offset - length : 0);
}
